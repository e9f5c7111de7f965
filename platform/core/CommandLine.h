#pragma once
// The two questions every program answers before it starts a window (so without a display):
// "--help" / "-h" as the first argument prints the usage, "--version" the program's version.

namespace cmdline {

// The exit status when the first argument asked one of them (0, or 1 when standard output could
// not be written); -1 when it did not and the program goes on.
int AnswerHelpOrVersion(int argc, char **argv, const char *usage, const char *program, const char *version);

} // namespace cmdline
