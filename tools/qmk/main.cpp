// qmk: inspect and build runtime databases and compound files from the command line.
// Errors: the system's message on stderr, exit status 1; wrong usage: exit status 2.

#include "tools/qmk/Commands.h"
#include "tools/qmk/HelpCommands.h"

#include "platform/core/Exception.h"

#include <iostream>

namespace {

const char kUsage[] =
    "usage: qmk COMMAND [ARGS]\n"
    "\n"
    "Runtime databases:\n"
    "  info FILE [--json]               library name and counts\n"
    "  list KIND FILE                   units|classes|interfaces|routines|properties|methods|events\n"
    "  unit FILE UNIT                   the unit's interfaces, classes and routines\n"
    "  members FILE NAME                a class's or interface's members\n"
    "  diagram FILE CLASS [--vertical]  a stored inheritance diagram\n"
    "  at FILE CLASS X Y [--vertical]   the diagram node at a point\n"
    "  build -o OUT.QMK [--name LIBRARY] PATH...\n"
    "                                   build a database from Object Pascal sources\n"
    "        [--help-from FILE.xct --help-source PATH]  also OUT.topics, the help topic map\n"
    "  topic FILE unit U | class C | interface I | routine U R | member OWNER M\n"
    "                                   the help topic the browser opens, and its page\n"
    "  see FILE unit U | class U C | routine U R | property|method|event U C M\n"
    "                                   insert a see tag in the running authoring application\n"
    "\n"
    "Compound files:\n"
    "  storage ls FILE                  every element, depth first\n"
    "  storage cat FILE PATH            a stream's bytes on stdout\n"
    "  storage put FILE PATH            stdin becomes that stream\n"
    "  storage mkdir FILE PATH          create a storage and its missing parents\n";

} // namespace

int Usage()
{
    std::cerr << kUsage;
    return 2;
}

int main(int argc, char **argv)
{
    Args args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    const std::string &command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    try {
        if (command == "storage")
            return RunStorageCommand(Args(args.begin() + 1, args.end()));
        if (command == "topic")
            return RunTopicCommand(Args(args.begin() + 1, args.end()));
        if (command == "see")
            return RunSeeCommand(Args(args.begin() + 1, args.end()));
        if (command == "build")
            return RunBuildCommand(Args(args.begin() + 1, args.end()));
        if (command == "info" || command == "list" || command == "unit" || command == "members" ||
            command == "diagram" || command == "at")
            return RunInspectCommand(args);
        return Usage();
    } catch (const EAbort &) {
        return 1;
    } catch (const Exception &e) {
        std::cerr << e.Message() << std::endl;
        return 1;
    } catch (const std::exception &e) {
        std::cerr << e.what() << std::endl;
        return 1;
    }
}
