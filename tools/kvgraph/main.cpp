// kvgraph: style libraries and graph files from the command line. Uses Qt Gui for fonts and
// pictures but never opens a window.
// Errors: "kvgraph: FILE: REASON" on stderr, exit status 1; a wrong command line: one line that
// says what was wrong, exit status 2.

#include "tools/kvgraph/Commands.h"
#include "tools/kvgraph/Files.h"

#include "platform/text/Windows1252.h"

#include <QGuiApplication>

#include <algorithm>
#include <iostream>

namespace {

const char kUsage[] =
    "usage: kvgraph COMMAND [ARGS]\n"
    "       kvgraph --help | --version\n"
    "\n"
    "Style libraries:\n"
    "  slb dump FILE                    the library as JSON\n"
    "  slb copy IN OUT                  load IN and save it as OUT (current version)\n"
    "  slb render FILE STYLE -o OUT.png [--scale PERCENT]\n"
    "                                   a preview of one vertex or edge style\n"
    "\n"
    "Graph files:\n"
    "  graph dump FILE [--slb LIB]      the diagram as JSON\n"
    "  graph export IN OUT.kvi [--slb LIB]\n"
    "                                   the diagram as a text interchange file\n"
    "  graph import IN.kvi OUT [--slb LIB]\n"
    "                                   a text interchange file as a graph file; warns about\n"
    "                                   style names the library lacks\n"
    "  graph render IN -o OUT.png|OUT.svg [--scale PERCENT] [--antialias]\n"
    "                                   a picture of the whole diagram (PNG, or SVG by the\n"
    "                                   name's extension)\n"
    "  graph pages IN                   printer pages: COLUMNS ROWS\n"
    "  graph print IN -o OUT.pdf [--pages C,R ...]\n"
    "                                   every page, or the pages listed\n"
    "\n"
    "An output named - is written to standard output.\n";

// Qt's own notes (fonts, runtime folders) would mix with the command's messages on stderr.
void QuietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << std::endl;
}

int Report(const std::string &what, int code)
{
    std::cerr << "kvgraph: " << what << std::endl;
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    const Args args(argv + 1, argv + argc);
    try {
        if (args.empty())
            throw UsageError("no command given");
        if (std::any_of(args.begin(), args.end(), [](const std::string &a) { return a == "--help" || a == "-h"; }) ||
            args[0] == "help") {
            WriteStdout(kUsage);
            return 0;
        }
        if (args[0] == "--version") {
            WriteStdout("kvgraph " KVGRAPH_VERSION "\n");
            return 0;
        }
        if (args[0] != "slb" && args[0] != "graph")
            throw UsageError("unknown command '" + args[0] + "'");

        // Never a window: the same output with any platform setting, and no display needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQt);
        QGuiApplication app(argc, argv); // fonts and pictures; the diagram needs no widgets
        const Args rest(args.begin() + 1, args.end());
        return args[0] == "slb" ? RunSlbCommand(rest) : RunGraphCommand(rest);
    } catch (const UsageError &e) {
        return Report(e.Message() + " (see 'kvgraph --help')", 2);
    } catch (const FileError &e) {
        return Report(e.File() + ": " + text::Cp1252ToUtf8(e.Message()), 1);
    } catch (const EAbort &) {
        return 1;
    } catch (const Exception &e) {
        return Report(text::Cp1252ToUtf8(e.Message()), 1);
    } catch (const std::exception &e) {
        return Report(e.what(), 1);
    }
}
