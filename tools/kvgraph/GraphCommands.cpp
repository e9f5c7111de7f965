// kvgraph graph: dump, export, import, render, pages and print graph files.

#include "tools/kvgraph/Commands.h"
#include "tools/kvgraph/Json.h"

#include "kavgraph/KVObjsDiagram.h"
#include "platform/text/Windows1252.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QSaveFile>

#include <filesystem>
#include <iostream>
#include <optional>

using namespace kavgraph;

namespace {

QString Path(const std::string &arg) { return QString::fromLocal8Bit(arg.c_str()); }

// The classes graph files of this library store.
void RegisterClasses()
{
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
}

// FILE [OTHER] [--slb LIB] [-o OUT] [--scale P] [--pages C,R ...]
struct Options {
    std::vector<std::string> files;
    std::string slb;
    std::string out;
    std::optional<int> scale;
    std::vector<TKVPage> pages;
    bool pageList = false;
};

std::optional<Options> Parse(const Args &args, std::size_t files, bool output, bool scale, bool pages)
{
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool more = i + 1 < args.size();
        if (a == "--slb" && more) {
            o.slb = args[++i];
        } else if (a == "-o" && output && more) {
            o.out = args[++i];
        } else if (a == "--scale" && scale && more) {
            try {
                o.scale = std::stoi(args[++i]);
            } catch (const std::exception &) {
                return std::nullopt;
            }
        } else if (a == "--pages" && pages) {
            o.pageList = true;
            while (i + 1 < args.size() && args[i + 1].rfind("-", 0) != 0) {
                int c = 0, r = 0;
                char tail = 0;
                if (std::sscanf(args[++i].c_str(), "%d,%d%c", &c, &r, &tail) != 2 || c < 1 || r < 1)
                    return std::nullopt;
                o.pages.push_back({c, r});
            }
        } else if (a.rfind("-", 0) != 0 && o.files.size() < files) {
            o.files.push_back(a);
        } else {
            return std::nullopt;
        }
    }
    if (o.files.size() != files || (output && o.out.empty()) || (o.scale && (*o.scale < 1 || *o.scale > 10000)))
        return std::nullopt;
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
        RegisterClasses();
        if (!o.slb.empty())
            library.Load(Path(o.slb));
        box.OnLoadSection = [this](const std::string &section, const TKVReader &reader) {
            sections.push_back(section);
            if (section == "KVSTYLE") {
                TKVReader peek = reader;
                libraryVersion = peek.ReadString();
            }
        };
    }
    bool Has(const char *section) const { return std::find(sections.begin(), sections.end(), section) != sections.end(); }
};

void Point(Json &j, TKVPoint p)
{
    j.BeginArray();
    j.Int(p.X);
    j.Int(p.Y);
    j.EndArray();
}

int Dump(const Args &args)
{
    const auto o = Parse(args, 1, false, false, false);
    if (!o)
        return Usage();
    const QByteArray bytes = [&] {
        QFile file(Path(o->files[0]));
        if (!file.open(QIODevice::ReadOnly))
            throw Exception("Cannot open file " + text::Utf8ToCp1252(o->files[0]));
        return file.readAll();
    }();
    const std::string_view data(bytes.constData(), std::size_t(bytes.size()));
    Loaded l(*o);
    l.box.LoadFromBytes(data, &l.library);
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
        // The fields as the record stores them; a group (the save options) as the list of its
        // members that are set.
        const char *group = nullptr;
        for (const TKVField<TKVDiagram> &f : TKVDiagram::OptionFields()) {
            if (f.Group) {
                if (!group) {
                    j.Key(f.Group);
                    j.BeginArray();
                    group = f.Group;
                }
                if (f.Get(box))
                    j.String(f.Name);
                continue;
            }
            j.Key(f.Name);
            f.Kind == fkBoolean ? j.Bool(f.Get(box) != 0) : j.Int(f.Get(box));
        }
        j.EndArray();
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
    for (const TKVObject *o : box.Vertices) {
        const auto *v = dynamic_cast<const TKVCustomVertex *>(o);
        const auto *styled = dynamic_cast<const TKVVertex *>(o);
        j.BeginObject();
        j.Key("Class"), j.String(o->ClassName());
        j.Key("Id"), j.Int(o->Id);
        j.Key("Left"), j.Int(v ? v->Bounds.Left : 0);
        j.Key("Top"), j.Int(v ? v->Bounds.Top : 0);
        j.Key("Right"), j.Int(v ? v->Bounds.Right : 0);
        j.Key("Bottom"), j.Int(v ? v->Bounds.Bottom : 0);
        if (styled)
            j.Key("StyleName"), j.String(styled->Style.Name);
        j.Key("HasData"), j.Bool(styled && styled->DataObject);
        j.EndObject();
    }
    j.EndArray();

    j.Key("Edges");
    j.BeginArray();
    for (const TKVObject *o : box.Edges) {
        const auto *e = dynamic_cast<const TKVCustomEdge *>(o);
        const auto *styled = dynamic_cast<const TKVEdge *>(o);
        j.BeginObject();
        j.Key("Class"), j.String(o->ClassName());
        j.Key("Id"), j.Int(o->Id);
        if (e) {
            j.Key("Source"), j.Int(e->Source ? e->Source->Id : 0);
            j.Key("Target"), j.Int(e->Target ? e->Target->Id : 0);
            j.Key("Handles");
            j.BeginArray();
            for (const auto &h : e->Handles)
                Point(j, h->Position);
            j.EndArray();
            j.Key("Text"), j.String(e->Text());
            j.Key("LabelPoint"), Point(j, e->Adjacent->Position);
            const TKVRect &r = e->Adjacent->Bounds;
            j.Key("LabelRect");
            j.BeginArray();
            for (std::int32_t v : {r.Left, r.Top, r.Right, r.Bottom})
                j.Int(v);
            j.EndArray();
            j.Key("LabelHandle"), Point(j, e->Adjacent->Handle->Position);
        }
        if (styled)
            j.Key("StyleName"), j.String(styled->Style.Name);
        j.Key("HasData"), j.Bool(styled && styled->DataObject);
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    std::cout << j.Text();
    return 0;
}

int Export(const Args &args)
{
    const auto o = Parse(args, 2, false, false, false);
    if (!o)
        return Usage();
    Loaded l(*o);
    l.box.Load(Path(o->files[0]), &l.library);
    l.box.Export(Path(o->files[1]), &l.library);
    return 0;
}

int Import(const Args &args)
{
    const auto o = Parse(args, 2, false, false, false);
    if (!o)
        return Usage();
    Loaded l(*o);
    l.box.Import(Path(o->files[0]), &l.library);
    l.box.Save(Path(o->files[1]), &l.library);
    return 0;
}

int Render(const Args &args)
{
    const auto o = Parse(args, 1, true, true, false);
    if (!o)
        return Usage();
    Loaded l(*o);
    l.box.Load(Path(o->files[0]), &l.library);
    l.box.AutoSize = false;
    l.box.DataUpdate = duManual; // the texts stored in the file; there is no data provider here
    if (o->scale)
        l.box.SetScale(*o->scale);
    const TKVRect e = l.box.GetDiagramExtents();
    const QImage image = l.box.RenderImage(
        QSize(std::max(1, WorldToScreen(e.Right, l.box.Scale())), std::max(1, WorldToScreen(e.Bottom, l.box.Scale()))));
    QSaveFile file(Path(o->out));
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file " + text::Utf8ToCp1252(o->out));
    if (!image.save(&file, "PNG") || !file.commit())
        throw Exception("Stream write error");
    return 0;
}

int Pages(const Args &args)
{
    const auto o = Parse(args, 1, false, false, false);
    if (!o)
        return Usage();
    Loaded l(*o);
    l.box.Load(Path(o->files[0]), &l.library);
    const TKVPageCount count = l.box.GetPageCount();
    std::cout << count.Columns << ' ' << count.Rows << '\n';
    return 0;
}

int Print(const Args &args)
{
    const auto o = Parse(args, 1, true, false, true);
    if (!o)
        return Usage();
    Loaded l(*o);
    l.box.Load(Path(o->files[0]), &l.library);
    // Printed beside the target and renamed over it when complete.
    const std::filesystem::path target(o->out);
    std::filesystem::path temporary = target;
    temporary += ".printing";
    QPrinter *printer = l.box.Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(Path(temporary.string()));
    try {
        l.box.Print(o->pageList, o->pages);
        std::filesystem::rename(temporary, target);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    return 0;
}

} // namespace

int RunGraphCommand(const Args &args)
{
    if (args.empty())
        return Usage();
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
    return Usage();
}
