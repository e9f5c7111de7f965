// qmk: read and build runtime databases and compound files from the command line.
// Errors: the message on stderr, naming the file, exit status 1; wrong usage: one line saying
// what was wrong, exit status 2.

#include "tools/qmk/Commands.h"
#include "tools/qmk/HelpCommands.h"

#include "platform/core/Exception.h"

#include <filesystem>
#include <iostream>

namespace {

const char kUsage[] =
    "usage: qmk COMMAND [ARGS]\n"
    "\n"
    "Runtime databases:\n"
    "  info FILE [--json]               library name and counts\n"
    "  list KIND FILE [--owners]        units|classes|interfaces|routines|properties|methods|events;\n"
    "                                   --owners adds each class's or interface's unit\n"
    "  unit FILE UNIT                   the unit's interfaces, classes and routines\n"
    "  members FILE NAME                a class's or interface's members (NAME or UNIT.NAME)\n"
    "  diagram FILE CLASS [--vertical]  a stored inheritance diagram\n"
    "  at FILE CLASS X Y [--vertical]   the diagram node at a point\n"
    "  build -o OUT.QMK [--name LIBRARY] [-I DIR]... [--quiet] PATH...\n"
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
    "  storage mkdir FILE PATH          create a storage and its missing parents\n"
    "\n"
    "  --help                           this text\n"
    "  --version                        the program's version\n";

// A command and the function that runs it, given the arguments after the command's name
// (the database commands get their name too, as they share one parser).
struct Command {
    const char *name;
    int (*run)(const Args &args);
    bool passName;
};

const Command kCommands[] = {
    {"info", RunDatabaseCommand, true},    {"list", RunDatabaseCommand, true},
    {"unit", RunDatabaseCommand, true},    {"members", RunDatabaseCommand, true},
    {"diagram", RunDatabaseCommand, true}, {"at", RunDatabaseCommand, true},
    {"build", RunBuildCommand, false},    {"storage", RunStorageCommand, false},
    {"topic", RunTopicCommand, false},    {"see", RunSeeCommand, false},
};

} // namespace

int UsageError(const std::string &what)
{
    std::cerr << "qmk: " << what << " (see 'qmk --help')" << std::endl;
    return 2;
}

int Usage()
{
    return UsageError("wrong arguments");
}

void PrintUsage(std::ostream &out)
{
    out << kUsage;
}

int main(int argc, char **argv)
{
    Args args(argv + 1, argv + argc);
    if (args.empty())
        return UsageError("no command given");
    const std::string &command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    if (command == "--version") {
        std::cout << "qmk " QMK_VERSION "\n";
        return 0;
    }
    try {
        for (const Command &c : kCommands)
            if (command == c.name)
                return c.run(c.passName ? args : Args(args.begin() + 1, args.end()));
        return UsageError("unknown command '" + command + "'");
    } catch (const EAbort &) {
        return 1;
    } catch (const Exception &e) {
        std::cerr << e.Message() << std::endl;
        return 1;
    } catch (const std::filesystem::filesystem_error &e) {
        std::cerr << "qmk: " << e.path1().string() << ": " << e.code().message() << std::endl;
        return 1;
    } catch (const std::exception &e) {
        std::cerr << e.what() << std::endl;
        return 1;
    }
}
