// kvgraph: style libraries and graph files from the command line. Uses Qt Gui for fonts and
// pictures but never opens a window.
// Errors: the system's message on stderr, exit status 1; wrong usage: exit status 2.

#include "tools/kvgraph/Commands.h"

#include "platform/core/Exception.h"
#include "platform/text/Windows1252.h"

#include <QGuiApplication>

#include <iostream>

namespace {

const char kUsage[] =
    "usage: kvgraph COMMAND [ARGS]\n"
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
    "                                   a text interchange file as a graph file\n"
    "  graph render IN -o OUT.png [--scale PERCENT]\n"
    "                                   a picture of the whole diagram\n"
    "  graph pages IN                   printer pages: COLUMNS ROWS\n"
    "  graph print IN -o OUT.pdf [--pages C,R ...]\n"
    "                                   every page, or the pages listed\n";

// Qt's own notes (fonts, runtime folders) would mix with the command's messages on stderr.
void QuietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << std::endl;
}

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
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return 0;
    }
    // No window is ever shown: the offscreen platform works with any display or none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQt);
    QGuiApplication app(argc, argv); // fonts and pictures; the diagram needs no widgets
    try {
        if (args[0] == "slb")
            return RunSlbCommand(Args(args.begin() + 1, args.end()));
        if (args[0] == "graph")
            return RunGraphCommand(Args(args.begin() + 1, args.end()));
        return Usage();
    } catch (const EAbort &) {
        return 1;
    } catch (const Exception &e) {
        std::cerr << text::Cp1252ToUtf8(e.Message()) << std::endl;
        return 1;
    } catch (const std::exception &e) {
        std::cerr << e.what() << std::endl;
        return 1;
    }
}
