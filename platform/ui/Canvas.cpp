#include "platform/ui/Canvas.h"

#include "platform/text/Windows1252.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QGlyphRun>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

// Device coordinates are kept well inside the range the raster engine handles exactly.
constexpr double kDeviceLimit = 1 << 24;

int ClampDevice(double v)
{
    if (!(v > -kDeviceLimit))
        return static_cast<int>(-kDeviceLimit);
    if (v > kDeviceLimit)
        return static_cast<int>(kDeviceLimit);
    return static_cast<int>(std::lround(v));
}

QRect Span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

// ---- TBitmap ---------------------------------------------------------------------------

void TBitmap::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0) {
        fImage = QImage();
        return;
    }
    if (width == fImage.width() && height == fImage.height())
        return;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!fImage.isNull()) {
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, fImage);
    }
    fImage = image;
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return -1;
    const QRgb rgb = fImage.pixel(x, y);
    return RGBToColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TBitmap::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    const TColor rgb = ColorToRGB(color);
    fImage.setPixel(x, y, qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
}

void TBitmap::SetImage(const QImage &image)
{
    fImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

// ---- TCanvas ---------------------------------------------------------------------------

struct TCanvas::ShapedText {
    QString text;
    int advance = 0;                        // device pixels
    bool plain = true;                      // no control characters
    std::optional<QList<QGlyphRun>> glyphs; // laid out on its first drawing, baseline at 0
    // The text cell as drawn on a solid brush, for the last colours it was drawn with, and whether
    // its ink reaches out of the cell on surfaces of the format probed.
    QImage cell;
    TColor cellInk = 0, cellBack = 0;
    QImage::Format probed = QImage::Format_Invalid;
    bool spills = false;
};

struct TCanvas::ShapedTexts {
    TFont font;
    int pixelSize = 0;
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, ShapedText, Hash, std::equal_to<>> texts;
};

// The shaped texts of the fonts used last; a few fonts cover a view, a bound keeps others small.
std::shared_ptr<TCanvas::ShapedTexts> TCanvas::ShapedTextsOf(const TFont &font, int pixelSize)
{
    thread_local std::vector<std::shared_ptr<TCanvas::ShapedTexts>> recent;
    for (const auto &texts : recent)
        if (texts->pixelSize == pixelSize && texts->font == font)
            return texts;
    constexpr std::size_t kFonts = 16;
    if (recent.size() >= kFonts)
        recent.erase(recent.begin());
    auto texts = std::make_shared<TCanvas::ShapedTexts>();
    texts->font = font;
    texts->pixelSize = pixelSize;
    recent.push_back(texts);
    return texts;
}

TCanvas::TCanvas(QPaintDevice *device) : fDevice(device)
{
    fRaster = device->devType() == QInternal::Image;
    fPainter.begin(device);
    fPainter.setRenderHint(QPainter::Antialiasing, false);
    fVector = fPainter.paintEngine() && fPainter.paintEngine()->type() == QPaintEngine::SVG;
    fGlyphRuns = fPainter.paintEngine() && fPainter.paintEngine()->type() == QPaintEngine::Raster;
}

void TCanvas::SetAntialiased(bool on)
{
    fAntialiased = on;
    fAppliedMode.reset();
}

TCanvas::~TCanvas()
{
    if (fPainter.isActive())
        fPainter.end();
}

void TCanvas::SetMapMode(TMapMode mode)
{
    fMapMode = mode;
    if (mode == TMapMode::Text) {
        fWindowExt = QSize(1, 1);
        fViewportExt = QSize(1, 1);
    }
    fAppliedFont.reset();
}

void TCanvas::SetWindowExt(int cx, int cy)
{
    if (fMapMode == TMapMode::Text || cx == 0 || cy == 0)
        return;
    fWindowExt = QSize(cx, cy);
    fAppliedFont.reset();
}

void TCanvas::SetViewportExt(int cx, int cy)
{
    if (fMapMode == TMapMode::Text || cx == 0 || cy == 0)
        return;
    fViewportExt = QSize(cx, cy);
    fAppliedFont.reset();
}

void TCanvas::SetWindowOrg(int x, int y) { fWindowOrg = QPoint(x, y); }
void TCanvas::SetViewportOrg(int x, int y) { fViewportOrg = QPoint(x, y); }

double TCanvas::ScaleX() const
{
    const double sx = double(fViewportExt.width()) / fWindowExt.width();
    if (fMapMode != TMapMode::Isotropic)
        return sx;
    const double sy = double(fViewportExt.height()) / fWindowExt.height();
    return std::copysign(std::min(std::abs(sx), std::abs(sy)), sx);
}

double TCanvas::ScaleY() const
{
    const double sy = double(fViewportExt.height()) / fWindowExt.height();
    if (fMapMode != TMapMode::Isotropic)
        return sy;
    const double sx = double(fViewportExt.width()) / fWindowExt.width();
    return std::copysign(std::min(std::abs(sx), std::abs(sy)), sy);
}

QPoint TCanvas::LPtoDP(QPoint p) const
{
    return QPoint(ClampDevice((double(p.x()) - fWindowOrg.x()) * ScaleX() + fViewportOrg.x()),
                  ClampDevice((double(p.y()) - fWindowOrg.y()) * ScaleY() + fViewportOrg.y()));
}

QPoint TCanvas::DPtoLP(QPoint p) const
{
    return QPoint(ClampDevice((double(p.x()) - fViewportOrg.x()) / ScaleX() + fWindowOrg.x()),
                  ClampDevice((double(p.y()) - fViewportOrg.y()) / ScaleY() + fWindowOrg.y()));
}

TCanvas::DeviceRect TCanvas::ToDevice(int left, int top, int right, int bottom) const
{
    const QPoint a = LPtoDP(QPoint(left, top));
    const QPoint b = LPtoDP(QPoint(right, bottom));
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

int TCanvas::DeviceLength(int logical) const
{
    return ClampDevice(std::abs(double(logical) * ScaleX()));
}

QRect TCanvas::ClipRect() const
{
    const QRect device = fPainter.hasClipping() ? fPainter.clipBoundingRect().toAlignedRect()
                                                : QRect(0, 0, fDevice->width(), fDevice->height());
    const QPoint a = DPtoLP(device.topLeft());
    const QPoint b = DPtoLP(QPoint(device.left() + device.width(), device.top() + device.height()));
    return QRect(a, QSize(b.x() - a.x(), b.y() - a.y()));
}

void TCanvas::SetClipRect(const std::optional<QRect> &r)
{
    if (!r) {
        fPainter.setClipping(false);
        return;
    }
    const DeviceRect d = ToDevice(r->left(), r->top(), r->left() + r->width(), r->top() + r->height());
    fPainter.setClipRect(Span(d.left, d.top, d.right, d.bottom));
}

void TCanvas::ApplyMode()
{
    const TPenMode mode = fRaster ? Pen.Mode : pmCopy;
    if (fAppliedMode == mode)
        return;
    fPainter.setCompositionMode(mode == pmNotXor ? QPainter::RasterOp_NotSourceXorDestination
                                                 : QPainter::CompositionMode_SourceOver);
    fPainter.setRenderHint(QPainter::Antialiasing, fAntialiased && mode != pmNotXor);
    fAppliedMode = mode;
}

int TCanvas::DevicePenWidth() const
{
    return Pen.Width <= 1 ? 1 : std::max(1, DeviceLength(Pen.Width));
}

QBrush TCanvas::BrushOf(const TBrush &brush) const
{
    static const Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                              Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    const QColor color = ToQColor(brush.Color);
    if (brush.Style == bsSolid)
        return QBrush(color);
    if (brush.Style >= bsHorizontal && brush.Style <= bsDiagCross)
        return QBrush(color, kHatches[brush.Style - bsHorizontal]);
    return QBrush(Qt::NoBrush);
}

void TCanvas::ApplyBrush()
{
    if (fAppliedBrush == Brush)
        return;
    fPainter.setBrush(BrushOf(Brush));
    fAppliedBrush = Brush;
}

void TCanvas::FillDeviceRect(int left, int top, int right, int bottom, const TBrush &brush)
{
    if (right <= left || bottom <= top || brush.Style == bsClear)
        return;
    if (brush.Style == bsSolid)
        fPainter.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(brush.Color));
    else
        FillDeviceRect(left, top, right, bottom, BrushOf(brush));
}

void TCanvas::ApplyStrokePen()
{
    const int width = DevicePenWidth();
    if (fAppliedPen == Pen && fAppliedPenWidth == width)
        return;
    fAppliedPen = Pen;
    fAppliedPenWidth = width;
    if (!PenVisible()) {
        fPainter.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(Pen.Color));
    if (width <= 1) {
        pen.setWidth(0); // cosmetic: one device pixel
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        switch (Pen.Style) {
        case psDash: pen.setDashPattern({18, 6}); break;
        case psDot: pen.setDashPattern({3, 3}); break;
        case psDashDot: pen.setDashPattern({9, 6, 3, 6}); break;
        case psDashDotDot: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
        default: break;
        }
    } else {
        // Wide pens are solid with round ends, whatever the style.
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    fPainter.setPen(pen);
}

void TCanvas::FillDeviceRect(int left, int top, int right, int bottom, const QBrush &brush)
{
    if (right <= left || bottom <= top || brush.style() == Qt::NoBrush)
        return;
    fPainter.fillRect(QRect(left, top, right - left, bottom - top), brush);
}

void TCanvas::MoveTo(int x, int y) { fPenPos = QPoint(x, y); }

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = LPtoDP(fPenPos);
    const QPoint to = LPtoDP(QPoint(x, y));
    fPenPos = QPoint(x, y);
    if (!PenVisible() || from == to)
        return;
    ApplyMode();
    if (DevicePenWidth() > 1) {
        ApplyStrokePen();
        fPainter.drawLine(from, to);
        return;
    }
    DrawThinLine(from, to);
}

// A one-pixel line by Bresenham's walk, without its end point and with the pen's dash pattern.
// The pixels go out one by one, so a figure made of such lines touches every pixel once.
void TCanvas::DrawThinLine(QPoint from, QPoint to)
{
    static const std::vector<int> kSolid;
    static const std::vector<int> kPatterns[] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    const std::vector<int> &pattern =
        Pen.Style >= psDash && Pen.Style <= psDashDotDot ? kPatterns[Pen.Style - psDash] : kSolid;
    const long long dx = std::llabs(static_cast<long long>(to.x()) - from.x());
    const long long dy = -std::llabs(static_cast<long long>(to.y()) - from.y());
    const int sx = from.x() < to.x() ? 1 : -1, sy = from.y() < to.y() ? 1 : -1;
    if (fVector || (fAntialiased && (!fRaster || Pen.Mode != pmNotXor))) {
        // A smooth or vector line through the centres of the pixels the walk would light.
        ApplyStrokePen();
        fPainter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
        return;
    }
    const QRect visible = fPainter.hasClipping() ? fPainter.clipBoundingRect().toAlignedRect()
                                                 : QRect(0, 0, fDevice->width(), fDevice->height());
    if (std::max(dx, -dy) > 4LL * (visible.width() + visible.height())) {
        // Far beyond the surface: let the engine clip it rather than walk every pixel.
        ApplyStrokePen();
        fPainter.drawLine(from, to);
        return;
    }
    if (pattern.empty() && (dx == 0 || dy == 0)) {
        // A solid straight run lights a one-pixel band; the painter fills it in one go.
        const int left = sx > 0 ? from.x() : to.x() + 1, right = sx > 0 ? to.x() : from.x() + 1;
        const int top = sy > 0 ? from.y() : to.y() + 1, bottom = sy > 0 ? to.y() : from.y() + 1;
        const QRect band = dy == 0 ? QRect(left, from.y(), right - left, 1) : QRect(from.x(), top, 1, bottom - top);
        fPainter.fillRect(band & visible, ToQColor(Pen.Color));
        return;
    }
    fPoints.clear();
    long long err = dx + dy;
    int x = from.x(), y = from.y();
    std::size_t dash = 0;
    int left = pattern.empty() ? 0 : pattern[0];
    while (x != to.x() || y != to.y()) {
        if ((pattern.empty() || dash % 2 == 0) && visible.contains(x, y))
            fPoints.push_back(QPoint(x, y));
        if (!pattern.empty() && --left == 0) {
            dash = (dash + 1) % pattern.size();
            left = pattern[dash];
        }
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (fPoints.empty())
        return;
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(0);
    fPainter.setPen(pen);
    fAppliedPen.reset();
    fPainter.drawPoints(fPoints.data(), int(fPoints.size()));
}

void TCanvas::Polyline(const std::vector<QPoint> &points)
{
    if (points.empty())
        return;
    const QPoint keep = fPenPos;
    MoveTo(points[0].x(), points[0].y());
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].x(), points[i].y());
    fPenPos = keep;
}

void TCanvas::FillRect(int left, int top, int right, int bottom)
{
    const DeviceRect d = ToDevice(left, top, right, bottom);
    ApplyMode();
    FillDeviceRect(d.left, d.top, d.right, d.bottom, Brush);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    const DeviceRect d = ToDevice(left, top, right, bottom);
    if (d.right <= d.left || d.bottom <= d.top)
        return;
    ApplyMode();
    const TBrush fill = Brush;
    if (!PenVisible()) {
        FillDeviceRect(d.left, d.top, d.right, d.bottom, fill);
        return;
    }
    const int w = DevicePenWidth();
    DeviceRect outer = d;
    if (Pen.Style != psInsideFrame && w > 1) {
        const int before = (w - 1) / 2, after = w - 1 - before;
        outer = {d.left - before, d.top - before, d.right + after, d.bottom + after};
    }
    const bool solid = w > 1 || Pen.Style == psSolid || Pen.Style == psInsideFrame || Pen.Style > psInsideFrame;
    // Opaque paint in copy mode: the whole rectangle in the pen colour, then the interior over it.
    const bool opaque = solid && (fRaster ? Pen.Mode : pmCopy) == pmCopy && fill.Style == bsSolid;
    if (!opaque)
        FillDeviceRect(outer.left + w, outer.top + w, outer.right - w, outer.bottom - w, fill);
    if (solid) {
        // The frame as four bands that never overlap, so not-XOR touches each pixel once.
        const TBrush ink{Pen.Color, bsSolid};
        if (outer.right - outer.left <= 2 * w || outer.bottom - outer.top <= 2 * w) {
            FillDeviceRect(outer.left, outer.top, outer.right, outer.bottom, ink);
            return;
        }
        if (opaque) {
            FillDeviceRect(outer.left, outer.top, outer.right, outer.bottom, ink);
            FillDeviceRect(outer.left + w, outer.top + w, outer.right - w, outer.bottom - w, fill);
            return;
        }
        FillDeviceRect(outer.left, outer.top, outer.right, outer.top + w, ink);
        FillDeviceRect(outer.left, outer.bottom - w, outer.right, outer.bottom, ink);
        FillDeviceRect(outer.left, outer.top + w, outer.left + w, outer.bottom - w, ink);
        FillDeviceRect(outer.right - w, outer.top + w, outer.right, outer.bottom - w, ink);
        return;
    }
    const QPoint corners[] = {{d.left, d.top}, {d.right - 1, d.top}, {d.right - 1, d.bottom - 1}, {d.left, d.bottom - 1}};
    for (int i = 0; i < 4; ++i)
        DrawThinLine(corners[i], corners[(i + 1) % 4]);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    const DeviceRect d = ToDevice(left, top, right, bottom);
    if (d.right <= d.left || d.bottom <= d.top)
        return;
    QRectF r(d.left, d.top, d.right - d.left - 1, d.bottom - d.top - 1);
    if (Pen.Style == psInsideFrame && DevicePenWidth() > 1) {
        const double inset = (DevicePenWidth() - 1) / 2.0;
        r.adjust(inset, inset, -inset, -inset);
    }
    ApplyMode();
    ApplyStrokePen();
    ApplyBrush();
    fPainter.drawEllipse(r);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    const DeviceRect d = ToDevice(left, top, right, bottom);
    if (d.right <= d.left || d.bottom <= d.top)
        return;
    QRectF r(d.left, d.top, d.right - d.left - 1, d.bottom - d.top - 1);
    if (Pen.Style == psInsideFrame && DevicePenWidth() > 1) {
        const double inset = (DevicePenWidth() - 1) / 2.0;
        r.adjust(inset, inset, -inset, -inset);
    }
    const double rx = std::min(DeviceLength(ellipseWidth) / 2.0, r.width() / 2);
    const double ry = std::min(ClampDevice(std::abs(ellipseHeight * ScaleY())) / 2.0, r.height() / 2);
    ApplyMode();
    ApplyStrokePen();
    ApplyBrush();
    fPainter.drawRoundedRect(r, rx, ry);
}

void TCanvas::Polygon(const std::vector<QPoint> &points)
{
    if (points.size() < 2)
        return;
    QPolygon polygon;
    polygon.reserve(int(points.size()));
    for (const QPoint &p : points)
        polygon << LPtoDP(p);
    ApplyMode();
    ApplyStrokePen();
    ApplyBrush();
    fPainter.drawPolygon(polygon);
}

QString TCanvas::ToQString(std::string_view text) const
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(text.data(), qsizetype(text.size()));
    const std::u16string s = text::Cp1252ToUtf16(text);
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

void TCanvas::ApplyFont()
{
    const double pixels = std::abs(double(Font.Size) * PixelsPerInch / 72.0 * ScaleY());
    const int pixelSize = std::clamp(static_cast<int>(std::lround(std::min(pixels, 1e6))), 1, 4096);
    if (fAppliedFont && *fAppliedFont == Font && fAppliedFontPixels == pixelSize)
        return;
    QFont font(ToQString(Font.Name));
    font.setPixelSize(pixelSize);
    font.setBold(Font.Bold);
    font.setItalic(Font.Italic);
    font.setUnderline(Font.Underline);
    font.setStrikeOut(Font.StrikeOut);
    fPainter.setFont(font);
    fMetrics = std::make_unique<QFontMetrics>(font);
    fShaped = ShapedTextsOf(Font, pixelSize);
    fAppliedFont = Font;
    fAppliedFontPixels = pixelSize;
}

// Valid until the applied font changes; call ApplyFont first.
TCanvas::ShapedText &TCanvas::Shaped(std::string_view text)
{
    auto &texts = fShaped->texts;
    if (const auto found = texts.find(text); found != texts.end())
        return found->second;
    constexpr std::size_t kMaxShaped = 8192; // a bound for views that never repeat a text
    if (texts.size() >= kMaxShaped)
        texts.clear();
    ShapedText shaped;
    shaped.text = ToQString(text);
    shaped.advance = fMetrics->horizontalAdvance(shaped.text);
    shaped.plain = std::none_of(shaped.text.begin(), shaped.text.end(), [](QChar c) { return c.unicode() < 0x20; });
    return texts.emplace(std::string(text), std::move(shaped)).first->second;
}

const QList<QGlyphRun> &TCanvas::LaidOut(ShapedText &shaped)
{
    if (shaped.glyphs)
        return *shaped.glyphs;
    QTextLayout layout(shaped.text, fPainter.font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout.endLayout();
    const qreal ascent = line.isValid() ? line.ascent() : 0;
    shaped.glyphs = layout.glyphRuns();
    for (QGlyphRun &run : *shaped.glyphs) {
        QList<QPointF> positions = run.positions();
        for (QPointF &position : positions)
            position.ry() -= ascent;
        run.setPositions(positions);
    }
    return *shaped.glyphs;
}

void TCanvas::DrawShaped(QPoint topLeft, ShapedText &shaped)
{
    fPainter.setPen(ToQColor(Font.Color));
    fAppliedPen.reset();
    const QPoint baseline(topLeft.x(), topLeft.y() + fMetrics->ascent());
    // Glyph runs give the same pixels as drawing the text, except for the decoration lines, which
    // the painter places itself; those texts and control characters keep the painter's drawing.
    if (!fGlyphRuns || !shaped.plain || Font.Underline || Font.StrikeOut) {
        fPainter.drawText(baseline, shaped.text);
        return;
    }
    for (const QGlyphRun &run : LaidOut(shaped))
        fPainter.drawGlyphRun(baseline, run);
}

int TCanvas::TextWidth(std::string_view text)
{
    ApplyFont();
    return ClampDevice(Shaped(text).advance / std::abs(ScaleX()));
}

int TCanvas::TextHeight(std::string_view)
{
    ApplyFont();
    return ClampDevice(fMetrics->height() / std::abs(ScaleY()));
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    ApplyFont();
    ShapedText &shaped = Shaped(text);
    const QPoint p = LPtoDP(QPoint(x, y));
    fPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    fAppliedMode = pmCopy;
    if (Brush.Style == bsSolid) {
        if (const QImage *cell = Cell(shaped)) {
            fPainter.drawImage(p, *cell);
            return;
        }
        FillDeviceRect(p.x(), p.y(), p.x() + shaped.advance, p.y() + fMetrics->height(), Brush);
    }
    DrawShaped(p, shaped);
}

// Glyphs are blended pixel by pixel; a text on a solid cell looks the same wherever it is drawn
// (at whole pixels, on a raster image of one format), so the finished cell is kept and copied.
// The copy covers only the cell: texts whose ink reaches beyond it are drawn each time.
const QImage *TCanvas::Cell(ShapedText &shaped)
{
    if (!fGlyphRuns || fDevice->devType() != QInternal::Image || !shaped.plain || Font.Underline || Font.StrikeOut)
        return nullptr;
    const QTransform &t = fPainter.worldTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return nullptr;
    const QImage::Format format = static_cast<const QImage *>(fDevice)->format();
    const int width = shaped.advance, height = fMetrics->height();
    if (width <= 0 || height <= 0 || width > 4096)
        return nullptr;
    if (shaped.probed != format) {
        // Whether any ink falls outside the cell: white on black shows the faintest trace.
        const int margin = height;
        QImage probe(width + 2 * margin, height + 2 * margin, format);
        probe.fill(Qt::black);
        DrawGlyphs(probe, QPoint(margin, margin), Qt::white, shaped);
        const QRgb black = probe.pixel(0, 0);
        const auto touched = [&](int y, int from, int to) {
            for (int x = from; x < to; ++x)
                if (probe.pixel(x, y) != black)
                    return true;
            return false;
        };
        bool spills = false;
        for (int y = 0; y < probe.height() && !spills; ++y) {
            if (y < margin || y >= margin + height)
                spills = touched(y, 0, probe.width());
            else
                spills = touched(y, 0, margin) || touched(y, margin + width, probe.width());
        }
        shaped.probed = format;
        shaped.spills = spills;
        shaped.cell = QImage();
    }
    if (shaped.spills)
        return nullptr;
    if (shaped.cell.isNull() || shaped.cellInk != Font.Color || shaped.cellBack != Brush.Color) {
        shaped.cell = QImage(width, height, format);
        shaped.cell.fill(ToQColor(Brush.Color));
        DrawGlyphs(shaped.cell, QPoint(0, 0), ToQColor(Font.Color), shaped);
        shaped.cellInk = Font.Color;
        shaped.cellBack = Brush.Color;
    }
    return &shaped.cell;
}

void TCanvas::DrawGlyphs(QImage &image, QPoint topLeft, const QColor &color, ShapedText &shaped)
{
    QPainter painter(&image);
    painter.setFont(fPainter.font());
    painter.setPen(color);
    const QPoint baseline(topLeft.x(), topLeft.y() + fMetrics->ascent());
    for (const QGlyphRun &run : LaidOut(shaped))
        painter.drawGlyphRun(baseline, run);
}

void TCanvas::TextRect(int left, int top, int right, int bottom, int x, int y, std::string_view text)
{
    ApplyFont();
    const DeviceRect d = ToDevice(left, top, right, bottom);
    if (d.right <= d.left || d.bottom <= d.top)
        return;
    fPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    fAppliedMode = pmCopy;
    FillDeviceRect(d.left, d.top, d.right, d.bottom, BrushOf(Brush));
    const QPoint p = LPtoDP(QPoint(x, y));
    ShapedText &shaped = Shaped(text);
    // Clipping costs a painter state: only text that reaches out of the rectangle needs it.
    if (p.x() >= d.left && p.y() >= d.top && p.y() + fMetrics->height() <= d.bottom &&
        p.x() + shaped.advance <= d.right) {
        DrawShaped(p, shaped);
        return;
    }
    fPainter.save();
    fPainter.setClipRect(Span(d.left, d.top, d.right, d.bottom), Qt::IntersectClip);
    DrawShaped(p, shaped);
    fPainter.restore();
}

void TCanvas::StretchDraw(int left, int top, int right, int bottom, const TBitmap &bitmap)
{
    if (bitmap.Empty())
        return;
    const DeviceRect d = ToDevice(left, top, right, bottom);
    if (d.right <= d.left || d.bottom <= d.top)
        return;
    fPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    fAppliedMode = pmCopy;
    fPainter.drawImage(QRect(d.left, d.top, d.right - d.left, d.bottom - d.top), bitmap.Image());
}

void TCanvas::Draw(int x, int y, const TBitmap &bitmap)
{
    if (bitmap.Empty())
        return;
    const QPoint p = LPtoDP(QPoint(x, y));
    fPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    fAppliedMode = pmCopy;
    fPainter.drawImage(p, bitmap.Image());
}
