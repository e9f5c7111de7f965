// Pictures of a diagram for documents: the surface as painted, or the diagram alone cropped to
// what it covers, as an image or as SVG with vector shapes and text; and the smoothing switch.

#include "kavgraph/KVObjsBox.h"
#include "kavgraph/KVObjsDiagram.h"

#include "platform/core/Exception.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace kavgraph {

namespace {

// Sides beyond these would be pictures nobody can open; bad scales or coordinates read from a file
// must not allocate them.
constexpr std::int64_t kMaxSide = 32767;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

// Paints into an SVG document of Size; the document is complete when the painting ends.
QByteArray Svg(const QSize &Size, const QString &Title, const std::function<void(QPaintDevice *Device)> &Paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(96);
    generator.setSize(Size);
    generator.setViewBox(QRect(QPoint(0, 0), Size));
    generator.setTitle(Title);
    Paint(&generator);
    // The generator gives the size in millimetres, which other renderers round up to one pixel
    // more; the picture's own size is exact.
    static const QRegularExpression size(QStringLiteral("<svg width=\"[0-9.]+mm\" height=\"[0-9.]+mm\""));
    const QString head = QString::fromUtf8(bytes.left(400));
    const QRegularExpressionMatch m = size.match(head);
    if (m.hasMatch())
        bytes.replace(m.capturedStart(), m.capturedLength(),
                      QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(Size.width()).arg(Size.height()).toUtf8());
    return bytes;
}

} // namespace

void TKVDiagram::SetAntialiased(bool V)
{
    if (fAntialiased == V)
        return;
    fAntialiased = V;
    Q_EMIT Changed();
}

QByteArray TKVDiagram::SvgBytes(const QSize &Control)
{
    if (Control.isEmpty())
        throw Exception("Picture is empty");
    return Svg(Control, QStringLiteral("Diagram"), [&](QPaintDevice *device) {
        TCanvas canvas(device);
        RenderInto(canvas, QRect(QPoint(0, 0), Control), Control);
    });
}

void TKVDiagramBox::SaveSvg(const QString &FileName)
{
    const QByteArray bytes = SvgBytes();
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file " + FileName.toStdString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Exception("Stream write error");
}

namespace {

// The screen rectangle of a world area at a scale, and the world offset its corner stands for.
struct TKVPictureFrame {
    QSize Size;
    TKVPoint Offset;
};

std::optional<TKVPictureFrame> Frame(const TKVRect &World, std::int32_t Scale)
{
    if (World.Left >= World.Right || World.Top >= World.Bottom)
        return std::nullopt;
    const TKVPoint topLeft = WorldToScreenPt({World.Left, World.Top}, Scale);
    const TKVPoint bottomRight = WorldToScreenPt({World.Right, World.Bottom}, Scale);
    const std::int64_t w = std::int64_t(bottomRight.X) - topLeft.X, h = std::int64_t(bottomRight.Y) - topLeft.Y;
    if (w <= 0 || h <= 0)
        return std::nullopt;
    if (w > kMaxSide || h > kMaxSide || w * h > kMaxPixels)
        throw Exception("Picture too large");
    return TKVPictureFrame{QSize(int(w), int(h)), {ScreenToWorld(topLeft.X, Scale), ScreenToWorld(topLeft.Y, Scale)}};
}

} // namespace

QImage TKVDiagram::DiagramImage()
{
    TKVObjectList all = Vertices;
    all.insert(all.end(), Edges.begin(), Edges.end());
    const auto frame = Frame(PictureArea(all), fScale);
    if (!frame)
        return QImage();
    QImage image(frame->Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    canvas.SetAntialiased(fAntialiased);
    PaintObjects(canvas, pmClipboard, frame->Offset);
    return image;
}

QByteArray TKVDiagram::DiagramSvg()
{
    TKVObjectList all = Vertices;
    all.insert(all.end(), Edges.begin(), Edges.end());
    const auto frame = Frame(PictureArea(all), fScale);
    if (!frame)
        throw Exception("Picture is empty");
    return Svg(frame->Size, QStringLiteral("Diagram"), [&](QPaintDevice *device) {
        TCanvas canvas(device);
        canvas.Brush = TBrush{clWhite, bsSolid};
        canvas.FillRect(0, 0, frame->Size.width(), frame->Size.height());
        PaintObjects(canvas, pmClipboard, frame->Offset);
    });
}

} // namespace kavgraph
