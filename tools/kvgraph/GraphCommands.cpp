// kvgraph graph: dump, export, import, render, pages and print graph files.

#include "tools/kvgraph/Commands.h"
#include "tools/kvgraph/Files.h"
#include "tools/kvgraph/Json.h"

#include "kavgraph/KVObjsDiagram.h"
#include "platform/text/Windows1252.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

using namespace kavgraph;

namespace {

enum Allowed : unsigned { kOutput = 1, kScale = 2, kPages = 4, kAntialias = 8 };

// FILE [OTHER] [--slb LIB] [-o OUT] [--scale P] [--antialias] [--pages C,R ...]
struct Options {
    std::vector<std::string> files;
    std::string slb;
    std::string out;
    std::optional<int> scale;
    bool antialias = false;
    std::vector<TKVPage> pages;
    bool pageList = false;
};

bool LooksLikePage(const std::string &a)
{
    const std::size_t comma = a.find(',');
    return comma != std::string::npos && a.find_first_not_of("-+0123456789,") == std::string::npos;
}

// The command line of one graph command; Names are the file arguments it expects, in order.
Options Parse(const Args &args, std::initializer_list<const char *> names, unsigned allowed)
{
    const std::string command = "graph " + args[0];
    const auto fail = [&](const std::string &what) { throw UsageError(command + ": " + what); };
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool more = i + 1 < args.size();
        if (a == "--slb") {
            if (!more)
                fail("--slb needs a style library");
            o.slb = args[++i];
        } else if (a == "-o" && (allowed & kOutput)) {
            if (!more)
                fail("-o needs a file name (- for standard output)");
            o.out = args[++i];
        } else if (a == "--scale" && (allowed & kScale)) {
            o.scale = ScaleArgument(command, more ? args[++i] : std::string());
        } else if (a == "--antialias" && (allowed & kAntialias)) {
            o.antialias = true;
        } else if (a == "--pages" && (allowed & kPages)) {
            o.pageList = true;
            while (i + 1 < args.size() && LooksLikePage(args[i + 1])) {
                int c = 0, r = 0;
                char tail = 0;
                const std::string &page = args[++i];
                if (std::sscanf(page.c_str(), "%d,%d%c", &c, &r, &tail) != 2 || c < 1 || r < 1)
                    fail("--pages takes pages as COLUMN,ROW counted from 1, not '" + page + "'");
                o.pages.push_back({c, r});
            }
            if (o.pages.empty())
                fail("--pages needs at least one page as COLUMN,ROW");
        } else if (a.size() > 1 && a[0] == '-') {
            fail("unknown option '" + a + "'");
        } else if (o.files.size() < names.size()) {
            o.files.push_back(a);
        } else {
            fail("unexpected argument '" + a + "'");
        }
    }
    if (o.files.size() < names.size())
        fail(std::string(names.begin()[o.files.size()]) + " is missing");
    if ((allowed & kOutput) && o.out.empty())
        fail("-o OUT is missing");
    return o;
}

// A box with its library, loaded from a graph file or a text file.
struct Loaded {
    TKVStyleLibrary library;
    TKVDiagram box;
    std::vector<std::string> sections;
    std::string libraryVersion;

    explicit Loaded(const Options &o)
    {
        // Graph files store vertices and edges of these classes.
        RegisterKVClass(TKVVertex::StaticClass());
        RegisterKVClass(TKVEdge::StaticClass());
        if (!o.slb.empty()) {
            const QByteArray bytes = ReadInput(o.slb);
            About(o.slb, [&] {
                TKVReader reader(std::string_view(bytes.constData(), std::size_t(bytes.size())));
                library.DoLoad(reader);
            });
        }
        // The texts stored in the file: there is no data provider here to fetch others.
        box.DataUpdate = duManual;
        box.OnLoadSection = [this](const std::string &section, const TKVReader &reader) {
            sections.push_back(section);
            if (section == "KVSTYLE") {
                TKVReader peek = reader;
                libraryVersion = peek.ReadString();
            }
        };
    }
    bool Has(const char *section) const { return std::find(sections.begin(), sections.end(), section) != sections.end(); }

    // The graph file; Bytes keeps what was read.
    void Load(const std::string &file, QByteArray *bytes = nullptr)
    {
        const QByteArray data = ReadInput(file);
        About(file, [&] { box.LoadFromBytes(std::string_view(data.constData(), std::size_t(data.size())), &library); });
        if (bytes)
            *bytes = data;
    }
};

// A vertex or an edge: its class name, then the fields of the records of the first of Classes it
// is an instance of.
template <typename... Classes> void DumpObject(Json &j, const TKVObject &o)
{
    j.BeginObject();
    j.Key("Class"), j.String(o.ClassName());
    const auto as = [&]<typename T>(const T *object) {
        if (object)
            WriteFieldsJson(j, TKVObjectRecord<T>{const_cast<T &>(*object)}, T::Fields());
        return object != nullptr;
    };
    (as(dynamic_cast<const Classes *>(&o)) || ...);
    j.EndObject();
}

int Dump(const Args &args)
{
    const Options o = Parse(args, {"FILE"}, 0);
    Loaded l(o);
    QByteArray bytes;
    l.Load(o.files[0], &bytes);
    const std::string_view data(bytes.constData(), std::size_t(bytes.size()));
    TKVDiagram &box = l.box;

    Json j;
    j.BeginObject();
    j.Key("Mark"), j.String(TKVReader(data).ReadString());
    j.Key("Sections");
    j.BeginArray();
    for (const std::string &s : l.sections)
        j.String(s);
    j.EndArray();
    j.Key("Options");
    if (l.Has("KVOPT")) {
        j.BeginObject();
        WriteFieldsJson(j, box, TKVDiagram::OptionFields());
        j.EndObject();
    } else {
        j.Null();
    }
    j.Key("Bitmap");
    if (l.Has("KVBMP")) {
        j.BeginObject();
        j.Key("Width"), j.Int(box.Bitmap().Width());
        j.Key("Height"), j.Int(box.Bitmap().Height());
        j.EndObject();
    } else {
        j.Null();
    }
    j.Key("Library");
    if (l.Has("KVSTYLE"))
        WriteLibraryJson(j, l.library, l.libraryVersion);
    else
        j.Null();

    j.Key("Vertices");
    j.BeginArray();
    for (const TKVObject *o : box.Vertices)
        DumpObject<TKVVertex, TKVCustomVertex>(j, *o);
    j.EndArray();
    j.Key("Edges");
    j.BeginArray();
    for (const TKVObject *o : box.Edges)
        DumpObject<TKVEdge, TKVCustomEdge>(j, *o);
    j.EndArray();
    j.EndObject();
    WriteStdout(j.Text());
    return 0;
}

int Export(const Args &args)
{
    const Options o = Parse(args, {"IN", "OUT.kvi"}, 0);
    Loaded l(o);
    l.Load(o.files[0]);
    WriteOutput(o.files[1], About(o.files[0], [&] { return l.box.ExportToBytes(&l.library); }));
    return 0;
}

int Import(const Args &args)
{
    const Options o = Parse(args, {"IN.kvi", "OUT"}, 0);
    Loaded l(o);
    const std::string &in = o.files[0];
    const QByteArray bytes = ReadInput(in);
    About(in, [&] {
        l.box.ImportFromBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), &l.library, Path(in));
    });
    // Objects whose style the library lacks keep the style's name but not its looks: say so once
    // per name.
    std::vector<std::string> reported;
    const auto check = [&](const std::string &name) {
        if (l.library.GetVertexStyle(name) || l.library.GetEdgeStyle(name) ||
            std::find(reported.begin(), reported.end(), name) != reported.end())
            return;
        reported.push_back(name);
        Warn(in, "the style library has no style '" + name + "'");
    };
    for (const TKVObject *o : l.box.Vertices)
        if (const auto *v = dynamic_cast<const TKVVertex *>(o))
            check(v->Style.Name);
    for (const TKVObject *o : l.box.Edges)
        if (const auto *e = dynamic_cast<const TKVEdge *>(o))
            check(e->Style.Name);
    WriteOutput(o.files[1], About(in, [&] { return l.box.SaveToBytes(&l.library); }));
    return 0;
}

bool EndsWith(const std::string &s, std::string_view tail)
{
    return s.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), s.end() - std::ptrdiff_t(tail.size()),
                      [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

int Render(const Args &args)
{
    const Options o = Parse(args, {"IN"}, kOutput | kScale | kAntialias);
    Loaded l(o);
    l.Load(o.files[0]);
    l.box.AutoSize = false;
    l.box.SetAntialiased(o.antialias);
    if (o.scale)
        l.box.SetScale(*o.scale);
    const TKVRect e = l.box.GetDiagramExtents();
    const QSize size(std::max(1, WorldToScreen(e.Right, l.box.Scale())), std::max(1, WorldToScreen(e.Bottom, l.box.Scale())));
    if (EndsWith(o.out, ".svg"))
        WriteOutput(o.out, About(o.files[0], [&] { return l.box.SvgBytes(size); }));
    else
        WriteOutput(o.out, PngBytes(About(o.files[0], [&] { return l.box.RenderImage(size); }), o.out));
    return 0;
}

int Pages(const Args &args)
{
    const Options o = Parse(args, {"IN"}, 0);
    Loaded l(o);
    l.Load(o.files[0]);
    const TKVPageCount count = l.box.GetPageCount();
    WriteStdout(std::to_string(count.Columns) + ' ' + std::to_string(count.Rows) + '\n');
    return 0;
}

int Print(const Args &args)
{
    const Options o = Parse(args, {"IN"}, kOutput | kPages);
    Loaded l(o);
    const std::string &in = o.files[0];
    l.Load(in);
    const TKVPageCount count = l.box.GetPageCount();
    for (const TKVPage &p : o.pages)
        if (p.Column > count.Columns || p.Row > count.Rows)
            throw FileError(in, "Page " + std::to_string(p.Column) + "," + std::to_string(p.Row) +
                                    " is outside the diagram's " + std::to_string(count.Columns) + " x " +
                                    std::to_string(count.Rows) + " pages");
    // The printer writes a file of its own; it is read back and written out as any output is, so
    // that standard output and a full disk are handled alike.
    QTemporaryDir folder;
    if (!folder.isValid())
        throw FileError(QDir::tempPath().toStdString(), "Cannot create a temporary folder");
    const QString pdf = folder.filePath("print.pdf");
    QPrinter *printer = l.box.Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    About(in, [&] { l.box.Print(o.pageList, o.pages); });
    const QByteArray bytes = ReadInput(pdf.toStdString());
    if (!bytes.trimmed().endsWith("%%EOF"))
        throw FileError(o.out, "Printing failed: the document was not completed");
    WriteOutput(o.out, bytes);
    return 0;
}

} // namespace

int RunGraphCommand(const Args &args)
{
    if (args.empty())
        throw UsageError("graph: no command given");
    const std::string &command = args[0];
    if (command == "dump")
        return Dump(args);
    if (command == "export")
        return Export(args);
    if (command == "import")
        return Import(args);
    if (command == "render")
        return Render(args);
    if (command == "pages")
        return Pages(args);
    if (command == "print")
        return Print(args);
    throw UsageError("unknown command 'graph " + command + "'");
}
