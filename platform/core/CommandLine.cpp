// Answers --help and --version before a program starts its window.

#include "platform/core/CommandLine.h"

#include <cstdio>
#include <cstring>

namespace cmdline {

int AnswerHelpOrVersion(int argc, char **argv, const char *usage, const char *program, const char *version)
{
    if (argc < 2)
        return -1;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        std::fputs(usage, stdout);
    else if (std::strcmp(argv[1], "--version") == 0)
        std::printf("%s %s\n", program, version);
    else
        return -1;
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace cmdline
