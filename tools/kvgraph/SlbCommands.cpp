// kvgraph slb: dump, copy and render style libraries.

#include "tools/kvgraph/Commands.h"
#include "tools/kvgraph/Files.h"
#include "tools/kvgraph/Json.h"

#include "kavgraph/KVObjs.h"
#include "platform/text/Windows1252.h"
#include "platform/ui/Canvas.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <sstream>

using namespace kavgraph;

namespace {

template <typename Item> void Items(Json &j, const char *key, const std::vector<std::unique_ptr<Item>> &items)
{
    j.Key(key);
    j.BeginArray();
    for (const auto &i : items) {
        j.BeginObject();
        WriteFieldsJson(j, *i, Item::Fields());
        j.EndObject();
    }
    j.EndArray();
}

void VertexStyle(Json &j, const TKVVertexStyle &s)
{
    j.BeginObject();
    WriteFieldsJson(j, s, TKVVertexStyle::Fields());
    Items(j, "DrawItems", s.DrawItems);
    Items(j, "DataItems", s.DataItems);
    Items(j, "BitmapItems", s.BitmapItems);
    j.EndObject();
}

void EdgeStyle(Json &j, const TKVEdgeStyle &s)
{
    j.BeginObject();
    WriteFieldsJson(j, s, TKVEdgeStyle::Fields());
    j.EndObject();
}

// The command's file arguments, exactly Count of them, named by Names in messages.
void ExpectFiles(const Args &args, std::size_t count, const char *command, std::initializer_list<const char *> names)
{
    for (std::size_t i = 1; i < args.size(); ++i)
        if (args[i].size() > 1 && args[i][0] == '-')
            throw UsageError(std::string(command) + ": unknown option '" + args[i] + "'");
    if (args.size() - 1 < count)
        throw UsageError(std::string(command) + ": " + names.begin()[args.size() - 1] + " is missing");
    if (args.size() - 1 > count)
        throw UsageError(std::string(command) + ": unexpected argument '" + args[count + 1] + "'");
}

void LoadLibrary(TKVStyleLibrary &library, const std::string &file, std::string *version = nullptr)
{
    const QByteArray bytes = ReadInput(file);
    const std::string_view data(bytes.constData(), std::size_t(bytes.size()));
    About(file, [&] {
        TKVReader reader(data);
        library.DoLoad(reader);
        if (version)
            *version = TKVReader(data).ReadString();
    });
}

int Dump(const Args &args)
{
    ExpectFiles(args, 1, "slb dump", {"FILE"});
    TKVStyleLibrary library;
    std::string version;
    LoadLibrary(library, args[1], &version);

    Json j;
    WriteLibraryJson(j, library, version);
    WriteStdout(j.Text());
    return 0;
}

int Copy(const Args &args)
{
    ExpectFiles(args, 2, "slb copy", {"IN", "OUT"});
    TKVStyleLibrary library;
    LoadLibrary(library, args[1]);
    TKVWriter writer;
    library.DoSave(writer);
    WriteOutput(args[2], writer.Data());
    return 0;
}

// ---- render -----------------------------------------------------------------------------------

// The smallest rectangle holding every pixel that is not white.
QRect Inked(const QImage &image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) != 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

int Render(const Args &args)
{
    std::string file, style, out;
    int scale = 100;
    const char *command = "slb render";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool more = i + 1 < args.size();
        if (a == "-o") {
            if (!more)
                throw UsageError(std::string(command) + ": -o needs a file name");
            out = args[++i];
        } else if (a == "--scale") {
            scale = ScaleArgument(command, more ? args[++i] : std::string());
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError(std::string(command) + ": unknown option '" + a + "'");
        } else if (file.empty()) {
            file = a;
        } else if (style.empty()) {
            style = a;
        } else {
            throw UsageError(std::string(command) + ": unexpected argument '" + a + "'");
        }
    }
    if (file.empty())
        throw UsageError(std::string(command) + ": FILE is missing");
    if (style.empty())
        throw UsageError(std::string(command) + ": STYLE is missing");
    if (out.empty())
        throw UsageError(std::string(command) + ": -o OUT.png is missing");

    TKVStyleLibrary library;
    library.OnGetData = [](std::int32_t, const std::string &field, TKVDataObject *) { return field; };
    LoadLibrary(library, file);
    const std::string name = text::Utf8ToCp1252(style);
    const double factor = scale * 0.01;

    // A generous canvas: items may reach beyond the vertex; the picture is cropped afterwards.
    constexpr int kLimit = 4096;
    std::vector<std::unique_ptr<TKVObject>> objects;
    TKVRect extent;
    if (library.GetVertexStyle(name)) {
        auto vertex = std::make_unique<TKVVertex>(TKVPoint{0, 0}, &library, name);
        extent = vertex->Bounds;
        objects.push_back(std::move(vertex));
    } else if (library.GetEdgeStyle(name)) {
        auto source = std::make_unique<TKVCustomVertex>(TKVPoint{30, 30});
        auto target = std::make_unique<TKVCustomVertex>(TKVPoint{190, 90});
        for (TKVCustomVertex *v : {source.get(), target.get()}) {
            const TKVPoint c = v->Center();
            v->Bounds = {c.X - 10, c.Y - 10, c.X + 10, c.Y + 10};
            v->AdjustHandles();
        }
        auto edge = std::make_unique<TKVEdge>(source.get(), target.get(), source->Center(), target->Center(), name,
                                              &library);
        extent = {source->Bounds.Left, source->Bounds.Top, target->Bounds.Right, target->Bounds.Bottom};
        // Edges go first and die first: they unhook from their vertices.
        objects.push_back(std::move(edge));
        objects.push_back(std::move(source));
        objects.push_back(std::move(target));
    } else {
        throw FileError(file, "Style not found: " + name);
    }
    const int width = std::min<long long>(kLimit, 3LL * WorldToScreenF64(std::int64_t(extent.Right) - extent.Left, factor) + 400);
    const int height = std::min<long long>(kLimit, 3LL * WorldToScreenF64(std::int64_t(extent.Bottom) - extent.Top, factor) + 400);
    // The offset that puts the extent's centre in the middle of the picture.
    const double centreX = (double(extent.Left) + extent.Right) / 2, centreY = (double(extent.Top) + extent.Bottom) / 2;
    const TKVPoint offset{RoundHalfEven(centreX - width / 2.0 / factor), RoundHalfEven(centreY - height / 2.0 / factor)};

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        // Edges below vertices, as a diagram paints them.
        for (const auto &o : objects)
            if (o->ObjectType == otEdge)
                o->Draw(canvas, pmScreen, factor, duAutomatic, offset);
        for (const auto &o : objects)
            if (o->ObjectType == otVertex)
                o->Draw(canvas, pmScreen, factor, duAutomatic, offset);
    }
    QRect inked = Inked(image);
    if (inked.isEmpty())
        inked = QRect(width / 2, height / 2, 1, 1);
    // A white margin of 10 pixels round what was drawn.
    QImage picture(inked.width() + 20, inked.height() + 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.drawImage(QPoint(10, 10), image, inked);
    }

    WriteOutput(out, PngBytes(picture, out));
    return 0;
}

} // namespace

void WriteLibraryJson(Json &j, const TKVStyleLibrary &library, const std::string &version)
{
    j.BeginObject();
    j.Key("Version"), j.String(version);
    j.Key("LibraryName"), j.String(library.LibraryName);
    j.Key("VertexStyles");
    j.BeginArray();
    for (const auto &s : library.VertexStyles)
        VertexStyle(j, *s);
    j.EndArray();
    j.Key("EdgeStyles");
    j.BeginArray();
    for (const auto &s : library.EdgeStyles)
        EdgeStyle(j, *s);
    j.EndArray();
    j.EndObject();
}

int RunSlbCommand(const Args &args)
{
    if (args.empty())
        throw UsageError("slb: no command given");
    if (args[0] == "dump")
        return Dump(args);
    if (args[0] == "copy")
        return Copy(args);
    if (args[0] == "render")
        return Render(args);
    throw UsageError("unknown command 'slb " + args[0] + "'");
}
