// The style items: streaming, copying, placement and painting.

#include "kavgraph/KVObjs.h"
#include "kavgraph/KVStyles.h"
#include "kavgraph/KVStylesFields.h"

#include <algorithm>

namespace kavgraph {

namespace {

// round(v * factor), kept within +-2^30 so that sums of a few such values never overflow.
std::int32_t S(std::int64_t v, double factor) { return std::clamp(WorldToScreenF64(v, factor), -(1 << 30), 1 << 30); }

struct Axis {
    std::int64_t pos, size, extent, defaultSize;
    bool percentage;
    int align; // 0 none, 1 near, 2 far, 3 both, 4 centre
};

// One direction of the placement rules; values beyond the known alignments count as none.
std::pair<std::int32_t, std::int32_t> Place(const Axis &a)
{
    std::int64_t x = 0, w = 0;
    if (!a.percentage) {
        switch (a.align) {
        case 1: x = 0; w = a.size; break;
        case 2: x = a.extent - a.size; w = a.size; break;
        case 3: x = 0; w = a.extent; break;
        case 4: x = RoundHalfEven(double(a.extent - a.size) * 0.5); w = a.size; break;
        default: x = a.pos; w = a.size; break;
        }
    } else {
        const std::int64_t p = a.size != 0 ? RoundHalfEven(double(a.size) * double(a.extent) * 0.01) : a.defaultSize;
        switch (a.align) {
        case 1: x = 0; w = p; break;
        case 2: x = a.extent - p; w = p; break;
        case 3: x = 0; w = a.size != 0 ? a.extent : a.defaultSize; break;
        case 4: x = RoundHalfEven(double(a.extent - p) * 0.5); w = p; break;
        default: x = RoundHalfEven(double(a.pos) * double(a.extent) * 0.01); w = p; break;
        }
    }
    return {Saturate(x), Saturate(w)};
}

// The lines of a text, as WrapString gives them one by one.
std::vector<std::string_view> SplitLines(std::string_view text, std::string_view magic, bool wordWrap)
{
    if (!wordWrap || magic.empty())
        return {text};
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find(magic); at != std::string_view::npos; at = text.find(magic, start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + magic.size();
    }
    lines.push_back(text.substr(start));
    return lines;
}

bool IsOldDataItemVersion(std::string_view version) { return version == "SL0.95" || version == "SL1.00"; }

} // namespace

// ---- routines ---------------------------------------------------------------------------------

std::int32_t Percent(std::int32_t A, std::int32_t B) { return RoundHalfEven(double(A) * double(B) * 0.01); }

std::int32_t WrapLines(std::string_view Text, std::string_view Magic, bool WordWrap)
{
    if (!WordWrap || Magic.empty())
        return 1;
    std::int32_t lines = 1;
    for (std::size_t at = Text.find(Magic); at != std::string_view::npos; at = Text.find(Magic, at + Magic.size()))
        ++lines;
    return lines;
}

std::string WrapString(std::string_view Text, std::int32_t Index, std::string_view Magic, bool WordWrap)
{
    if (!WordWrap || Magic.empty())
        return std::string(Text);
    std::size_t start = 0;
    for (std::int32_t i = 0; i < Index; ++i) {
        const std::size_t at = Text.find(Magic, start);
        if (at == std::string_view::npos)
            break;
        start = at + Magic.size();
    }
    const std::size_t end = Text.find(Magic, start);
    return std::string(Text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string MaxWidthLine(std::string_view Text, std::string_view Magic, bool WordWrap, TCanvas &Canvas)
{
    if (!WordWrap || Magic.empty())
        return std::string(Text);
    std::string_view widest;
    int widestWidth = -1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = Text.find(Magic, start);
        const std::string_view segment = Text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        const int width = Canvas.TextWidth(segment);
        if (width > widestWidth) {
            widest = segment;
            widestWidth = width;
        }
        if (at == std::string_view::npos)
            break;
        start = at + Magic.size();
    }
    return std::string(widest);
}

// ---- pictures -----------------------------------------------------------------------------------

void WriteFieldBitmap(TKVWriter &Writer, const TBitmap &Bitmap)
{
    const int w = Bitmap.Width(), h = Bitmap.Height();
    Writer.WriteInteger(w);
    Writer.WriteInteger(h);
    Writer.Reserve(Writer.Data().size() + std::size_t(w) * std::size_t(h) * 5 + 2);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            const std::uint32_t argb = Bitmap.ScanLine(y)[x];
            Writer.WriteInteger(RGBToColor(qRed(argb), qGreen(argb), qBlue(argb)));
        }
}

void ReadFieldBitmap(TKVReader &Reader, TBitmap &Bitmap)
{
    const std::int32_t w = Reader.ReadInteger();
    const std::int32_t h = Reader.ReadInteger();
    const std::uint64_t pixels = w > 0 && h > 0 ? std::uint64_t(w) * std::uint64_t(h) : 0;
    // Every stored pixel takes at least two bytes: refuse sizes the data cannot hold before
    // allocating anything.
    if (pixels > Reader.Remaining() / 2)
        throw EKVReadError(SReadError);
    Bitmap.SetSize(int(pixels ? w : 0), int(pixels ? h : 0));
    for (std::int32_t x = 0; x < w && pixels; ++x)
        for (std::int32_t y = 0; y < h; ++y) {
            const TColor c = ColorToRGB(Reader.ReadInteger());
            Bitmap.ScanLine(y)[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
}

// ---- field lists ------------------------------------------------------------------------------

namespace {

// Files of libraries before 1.01 end the data item at its text alignment.
bool HasWordWrap(std::string_view version) { return !IsOldDataItemVersion(version); }

} // namespace

std::span<const TKVField<TKVStyleItem>> TKVStyleItem::Fields()
{
    static const auto fields = StyleItemFields<TKVStyleItem>({});
    return fields;
}

std::span<const TKVField<TKVDrawItem>> TKVDrawItem::Fields()
{
    using R = TKVDrawItem;
    static const auto fields = StyleItemFields<R>({
        KV_INT(R, "Shape", r.Shape, r.Shape = EnumFromOrdinal<TKVShape>(v)),
        KV_PEN(R, fkPen, nullptr, "Pen", Pen),
        KV_BRUSH(R, nullptr, "Brush", Brush),
    });
    return fields;
}

std::span<const TKVField<TKVBitmapItem>> TKVBitmapItem::Fields()
{
    using R = TKVBitmapItem;
    static const auto fields = StyleItemFields<R>({
        TKVField<R>{"Bitmap", fkBitmap, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 [](R &r) -> TBitmap & { return r.Bitmap; }},
        KV_BOOL(R, "LockAspectRatio", r.LockAspectRatio, r.LockAspectRatio = v != 0),
        KV_BOOL(R, "Visible", r.Visible, r.Visible = v != 0),
    });
    return fields;
}

std::span<const TKVField<TKVDataItem>> TKVDataItem::Fields()
{
    using R = TKVDataItem;
    static const auto fields = StyleItemFields<R>({
        KV_TEXT(R, "Text", Text),
        KV_FONT(R, nullptr, "Font", Font),
        KV_BRUSH(R, nullptr, "Brush", Brush),
        KV_INT(R, "TextAlign", r.TextAlign, r.TextAlign = static_cast<std::uint8_t>(v)),
        KV_FIELD(R, fkBoolean, nullptr, HasWordWrap, "WordWrap", r.WordWrap, r.WordWrap = v != 0),
        KV_TEXT_GATED(R, nullptr, HasWordWrap, "WrapMagic", WrapMagic),
    });
    return fields;
}

// ---- TKVStyleItem -------------------------------------------------------------------------------

void TKVStyleItem::Save(TKVWriter &Writer) const { WriteFields(Writer, *this, Fields()); }

void TKVStyleItem::Load(TKVReader &Reader, std::string_view Version) { ReadFields(Reader, *this, Fields(), Version); }

void TKVStyleItem::Assign(const TKVStyleItem &Source) { CopyFields(*this, Source, Fields()); }

TKVItemPlacement TKVStyleItem::AdjustCoordinates(const TKVRect &Rect, std::int32_t DefaultWidth,
                                                 std::int32_t DefaultHeight) const
{
    const bool percentage = CoordMode == cmPercentage;
    const auto [x, w] = Place({Left, Width, std::int64_t(Rect.Right) - Rect.Left, DefaultWidth, percentage, HorzAlign});
    const auto [y, h] = Place({Top, Height, std::int64_t(Rect.Bottom) - Rect.Top, DefaultHeight, percentage, VertAlign});
    return {x, y, w, h};
}

// ---- TKVDrawItem --------------------------------------------------------------------------------

void TKVDrawItem::Save(TKVWriter &Writer) const { WriteFields(Writer, *this, Fields()); }

void TKVDrawItem::Load(TKVReader &Reader, std::string_view Version) { ReadFields(Reader, *this, Fields(), Version); }

void TKVDrawItem::Assign(const TKVDrawItem &Source)
{
    CopyFields(*this, Source, Fields());
    OnDrawCustomDrawItem = Source.OnDrawCustomDrawItem;
}

void TKVDrawItem::Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode PaintMode,
                       TKVPoint Offset, TKVObject *Parent)
{
    Canvas.Pen = Pen;
    Canvas.Brush = Brush;
    const TKVItemPlacement p =
        AdjustCoordinates(Rect, Rect.Right - Rect.Left, Saturate(std::int64_t(Rect.Bottom) - Rect.Top));
    const std::int64_t left = std::int64_t(Rect.Left) + p.X - Offset.X;
    const std::int64_t top = std::int64_t(Rect.Top) + p.Y - Offset.Y;
    const std::int32_t x1 = S(left, ScaleFactor), y1 = S(top, ScaleFactor);
    const std::int32_t x2 = S(left + p.W, ScaleFactor), y2 = S(top + p.H, ScaleFactor);
    switch (Shape) {
    case diRectangle: Canvas.Rectangle(x1, y1, x2, y2); break;
    case diRoundRect: Canvas.RoundRect(x1, y1, x2, y2, S(20, ScaleFactor), S(20, ScaleFactor)); break;
    case diEllipse: Canvas.Ellipse(x1, y1, x2, y2); break;
    case diLine:
        Canvas.MoveTo(x1, y1);
        Canvas.LineTo(x2, y2);
        break;
    case diDiamond: {
        const std::int32_t xm = S(left + RoundHalfEven(p.W * 0.5), ScaleFactor);
        const std::int32_t ym = S(top + RoundHalfEven(p.H * 0.5), ScaleFactor);
        Canvas.Polygon({{x1, ym}, {xm, y1}, {x2, ym}, {xm, y2}});
        break;
    }
    case diCustom:
        if (OnDrawCustomDrawItem)
            OnDrawCustomDrawItem(Canvas, RoundHalfEven(ScaleFactor * 100), PaintMode, Offset, TKVRect{x1, y1, x2, y2},
                                 Parent, this);
        break;
    default: break; // shapes this library does not know paint nothing
    }
}

// ---- TKVBitmapItem ------------------------------------------------------------------------------

void TKVBitmapItem::Save(TKVWriter &Writer) const { WriteFields(Writer, *this, Fields()); }

void TKVBitmapItem::Load(TKVReader &Reader, std::string_view Version) { ReadFields(Reader, *this, Fields(), Version); }

void TKVBitmapItem::Assign(const TKVBitmapItem &Source)
{
    CopyFields(*this, Source, Fields());
}

void TKVBitmapItem::Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode, TKVPoint Offset,
                         TKVObject *)
{
    if (!Visible)
        return;
    const std::int32_t bw = Bitmap.Width(), bh = Bitmap.Height();
    const std::int32_t rw = Saturate(std::int64_t(Rect.Right) - Rect.Left);
    const std::int32_t rh = Saturate(std::int64_t(Rect.Bottom) - Rect.Top);
    TKVItemPlacement p = AdjustCoordinates(Rect, std::max(rw, bw), std::max(rh, bh));
    if (LockAspectRatio && bh != 0 && p.H != 0) {
        // A zero height leaves both ratios undefined: the size stays as placed.
        const double rb = double(bw) / bh;
        const double ri = double(p.W) / p.H;
        if (rb != ri) {
            if (ri > rb)
                p.W = RoundHalfEven(p.H * rb);
            else if (rb != 0)
                p.H = RoundHalfEven((1 / rb) * p.W);
        }
    }
    const std::int64_t left = std::int64_t(Rect.Left) + p.X - Offset.X;
    const std::int64_t top = std::int64_t(Rect.Top) + p.Y - Offset.Y;
    Canvas.StretchDraw(S(left, ScaleFactor), S(top, ScaleFactor), S(left + p.W, ScaleFactor),
                       S(top + p.H, ScaleFactor), Bitmap);
}

// ---- TKVDataItem --------------------------------------------------------------------------------

void TKVDataItem::Save(TKVWriter &Writer) const { WriteFields(Writer, *this, Fields()); }

void TKVDataItem::Load(TKVReader &Reader, std::string_view Version) { ReadFields(Reader, *this, Fields(), Version); }

void TKVDataItem::Assign(const TKVDataItem &Source)
{
    CopyFields(*this, Source, Fields());
}

void TKVDataItem::Draw(const TKVRect &Rect, TCanvas &Canvas, double ScaleFactor, TKVPaintMode, TKVPoint Offset,
                       TKVObject *)
{
    Canvas.Font = Font;
    Canvas.Brush = Brush;
    LineCount = WrapLines(Text, WrapMagic, WordWrap);
    Canvas.Font.Size = RoundHalfEven(Font.Size * ScaleFactor);
    const std::string widest = MaxWidthLine(Text, WrapMagic, WordWrap, Canvas);
    const std::int32_t tw = Canvas.TextWidth(widest);
    const std::int32_t th = Canvas.TextHeight(widest);
    const TKVRect sr{S(Rect.Left, ScaleFactor), S(Rect.Top, ScaleFactor), S(Rect.Right, ScaleFactor),
                     S(Rect.Bottom, ScaleFactor)};
    const TKVItemPlacement line = AdjustCoordinates(sr, tw, th);
    const TKVItemPlacement block = AdjustCoordinates(sr, tw, Saturate(std::int64_t(th) * LineCount));
    const std::int64_t bx = S(std::int64_t(Rect.Left) - Offset.X, ScaleFactor);
    const std::int64_t by = S(std::int64_t(Rect.Top) - Offset.Y, ScaleFactor);
    const std::int64_t x = bx + line.X;
    const std::vector<std::string_view> lines = SplitLines(Text, WrapMagic, WordWrap);
    for (std::int32_t i = 0; i < LineCount; ++i) {
        const std::string_view text = lines[std::size_t(i)];
        const std::int64_t y = by + block.Y + std::int64_t(i) * line.H;
        std::int64_t tx = x;
        if (TextAlign == 1)
            tx = x + line.W - Canvas.TextWidth(text);
        else if (TextAlign == 2)
            tx = x + RoundHalfEven((line.W - Canvas.TextWidth(text)) * 0.5);
        Canvas.TextRect(Saturate(x), Saturate(y), Saturate(x + line.W), Saturate(y + line.H), Saturate(tx),
                        Saturate(y), text);
    }
}

} // namespace kavgraph
