// A small diagram editor built only from the Kavgraph components: a diagram box in a scroll area,
// the edit, add-vertex, add-edge and zoom actors on a tool bar, an overview, a print preview,
// graph files, text interchange files, pictures for documents and a style library.

#include "EditorWindow.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <string>

using namespace kavgraph;

namespace {

const char kUsage[] =
    "usage: %s [--slb LIBRARY] [FILE.kvg | FILE.kvi]\n"
    "\n"
    "Draws diagrams of vertices and edges in the styles of a style library.\n"
    "\n"
    "  FILE.kvg       a graph file to open; FILE.kvi: a text interchange file to read\n"
    "  --slb LIBRARY  the style library for new vertices and edges (the sample library\n"
    "                 when not given)\n"
    "  -h, --help     this text\n"
    "  --version      the program's version\n";

// The style library that ships in samples/, found beside the program (in the build tree) or where
// it is installed.
QString SampleLibrary()
{
    const QString dir = QApplication::applicationDirPath();
    for (const QString &candidate : {dir + "/kavgraph-sample.slb", dir + "/../share/quillmark/samples/kavgraph-sample.slb"})
        if (QFileInfo::exists(candidate))
            return candidate;
    return {};
}

// The name the program was started by (it is installed under another name than it is built).
std::string gProgram = "diagram-editor";

int WrongUsage(const std::string &what)
{
    std::fprintf(stderr, "%s: %s (see '%s --help')\n", gProgram.c_str(), what.c_str(), gProgram.c_str());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    // The command line is read before the application starts, so that --help needs no display.
    if (argc > 0 && argv[0][0] != '\0') {
        gProgram = argv[0];
        gProgram = gProgram.substr(gProgram.find_last_of('/') + 1);
    }
    QString library, file;
    bool libraryGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::printf(kUsage, gProgram.c_str());
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (a == "--version") {
            std::printf("%s %s\n", gProgram.c_str(), EDITOR_VERSION);
            return 0;
        }
        if (a == "--slb") {
            if (i + 1 >= argc)
                return WrongUsage("--slb needs a style library");
            library = QString::fromLocal8Bit(argv[++i]);
            libraryGiven = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return WrongUsage("unknown option '" + a + "'");
        } else if (file.isEmpty()) {
            file = QString::fromLocal8Bit(argv[i]);
        } else {
            return WrongUsage("one file at a time, not '" + a + "' as well");
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavgraph Diagram Editor");
    QApplication::setApplicationVersion(EDITOR_VERSION);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());

    EditorWindow window;
    window.LoadLibrary(libraryGiven ? library : SampleLibrary());
    if (!file.isEmpty())
        window.Open(file);
    window.show();
    return app.exec();
}
