// qmk: inspect runtime databases and compound files from the command line.
// Errors: the system's message on stderr, exit status 1; wrong usage: exit status 2.

#include "platform/core/Exception.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: qmk COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  --help                       this text\n";

int Usage()
{
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return 0;
    }
    try {
        return Usage();
    } catch (const Exception &e) {
        std::cerr << e.Message() << std::endl;
        return 1;
    }
}
