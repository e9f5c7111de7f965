#pragma once
// A drawing surface with the semantics of the Windows graphics device interface, over QPainter.
//
// Pen, brush and font live on the canvas and are applied at each drawing call. Coordinates are
// logical units mapped to device pixels by the mapping mode (text mode: one to one; isotropic:
// window and viewport extents and origins). Shapes cover their rectangle with the left and top
// edges inclusive and the right and bottom edges exclusive; a line leaves out its last pixel.
// Pen mode not-XOR inverts the combination of pen and surface (on raster images), so the same
// figure drawn twice leaves the surface as it was. Text is measured with QFontMetrics; a font's
// size is in points at the canvas's PixelsPerInch (96 unless set).

#include "platform/ui/Colors.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPaintDevice;

// Stored ordinals; do not reorder.
enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle : std::uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
enum TPenMode : std::uint8_t { pmCopy, pmNotXor };

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;
    TPenMode Mode = pmCopy;
    bool operator==(const TPen &) const = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TBrush &) const = default;
};

struct TFont {
    std::string Name = "Arial"; // Windows-1252
    int Size = 8;               // points
    TColor Color = clWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFont &) const = default;
};

// A device-independent picture of TColor pixels. Empty when either side is 0.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }

    int Width() const { return fImage.width(); }
    int Height() const { return fImage.height(); }
    bool Empty() const { return fImage.isNull(); }
    // New pixels are white. A side of 0 (or less) gives the empty bitmap.
    void SetSize(int width, int height);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Scan line y as 0xAARRGGBB words, for fast bulk access.
    std::uint32_t *ScanLine(int y) { return reinterpret_cast<std::uint32_t *>(fImage.scanLine(y)); }
    const std::uint32_t *ScanLine(int y) const { return reinterpret_cast<const std::uint32_t *>(fImage.constScanLine(y)); }

    const QImage &Image() const { return fImage; }
    void SetImage(const QImage &image);
    bool operator==(const TBitmap &other) const { return fImage == other.fImage; }

private:
    QImage fImage; // Format_RGB32, or null
};

enum class TMapMode { Text = 1, Isotropic = 7 };

class TCanvas {
public:
    // Paints on device until destroyed. The device must outlive the canvas.
    explicit TCanvas(QPaintDevice *device);
    ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    int PixelsPerInch = 96;

    // Mapping of logical units to device pixels.
    void SetMapMode(TMapMode mode);
    TMapMode MapMode() const { return fMapMode; }
    void SetWindowExt(int cx, int cy);
    void SetViewportExt(int cx, int cy);
    void SetWindowOrg(int x, int y);
    void SetViewportOrg(int x, int y);
    QPoint LPtoDP(QPoint p) const;
    QPoint DPtoLP(QPoint p) const;

    // The visible area in logical units.
    QRect ClipRect() const;
    // Further restricts drawing to r (logical units); an empty optional removes the restriction.
    void SetClipRect(const std::optional<QRect> &r);

    // Lines use the pen and leave out the end point.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint PenPos() const { return fPenPos; }
    void Polyline(const std::vector<QPoint> &points);

    // Filled shapes: outline with the pen, interior with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const QRect &r) { Rectangle(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
    void Ellipse(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    void Polygon(const std::vector<QPoint> &points);
    // The brush alone over [left, right) x [top, bottom).
    void FillRect(int left, int top, int right, int bottom);

    // Text in Windows-1252. (x, y) is the top-left corner of the text cell. With a solid brush the
    // cell is first filled with the brush colour; any other brush leaves the background.
    void TextOut(int x, int y, std::string_view text);
    // The same, clipped to r; with a brush other than clear, r itself is filled with the brush first.
    void TextRect(int left, int top, int right, int bottom, int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);

    // The bitmap scaled into the rectangle.
    void StretchDraw(int left, int top, int right, int bottom, const TBitmap &bitmap);
    void Draw(int x, int y, const TBitmap &bitmap);

    QPaintDevice *Device() const { return fDevice; }
    QPainter &Painter() { return fPainter; }

    // Smooth edges for lines and shapes drawn in copy mode; not-XOR figures stay pixel-exact, so
    // that drawing them twice still erases them. Off unless set.
    void SetAntialiased(bool on);
    bool Antialiased() const { return fAntialiased; }

private:
    struct DeviceRect {
        int left, top, right, bottom;
    };
    DeviceRect ToDevice(int left, int top, int right, int bottom) const;
    int DeviceLength(int logical) const;
    double ScaleX() const;
    double ScaleY() const;
    void ApplyMode();
    void ApplyBrush();
    void ApplyStrokePen();
    void ApplyFont();
    bool PenVisible() const { return Pen.Style != psClear && Pen.Width >= 0; }
    int DevicePenWidth() const;
    void FillDeviceRect(int left, int top, int right, int bottom, const QBrush &brush);
    void FillDeviceRect(int left, int top, int right, int bottom, const TBrush &brush);
    QBrush BrushOf(const TBrush &brush) const;
    void DrawThinLine(QPoint from, QPoint to);
    QString ToQString(std::string_view text) const;
    struct ShapedText;
    struct ShapedTexts;
    static std::shared_ptr<ShapedTexts> ShapedTextsOf(const TFont &font, int pixelSize);
    ShapedText &Shaped(std::string_view text);
    void DrawShaped(QPoint topLeft, ShapedText &shaped);
    const QList<QGlyphRun> &LaidOut(ShapedText &shaped);
    const QImage *Cell(ShapedText &shaped);
    void DrawGlyphs(QImage &image, QPoint topLeft, const QColor &color, ShapedText &shaped);

    QPaintDevice *fDevice;
    QPainter fPainter;
    bool fRaster = false;
    bool fVector = false; // a vector device (SVG): thin lines go out as lines, not as pixels
    bool fGlyphRuns = false; // the raster engine, which draws shaped glyphs as it draws text
    bool fAntialiased = false;
    TMapMode fMapMode = TMapMode::Text;
    QPoint fWindowOrg{0, 0}, fViewportOrg{0, 0};
    QSize fWindowExt{1, 1}, fViewportExt{1, 1};
    QPoint fPenPos{0, 0};

    // What the painter currently holds.
    std::optional<TPenMode> fAppliedMode;
    std::optional<TPen> fAppliedPen;
    int fAppliedPenWidth = 0;
    std::optional<TBrush> fAppliedBrush;
    std::optional<TFont> fAppliedFont;
    int fAppliedFontPixels = 0;
    std::unique_ptr<QFontMetrics> fMetrics;
    // Texts already shaped in the applied font, shared by the canvases of a thread: a view paints
    // the same labels over and over, on a new canvas each time, and shaping costs far more than
    // drawing the glyphs.
    std::shared_ptr<ShapedTexts> fShaped;
    std::vector<QPoint> fPoints;
};
