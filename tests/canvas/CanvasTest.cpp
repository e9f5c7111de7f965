// Pixel coverage of the canvas: shapes cover [left, right) x [top, bottom), lines leave out their
// last pixel, and not-XOR drawing twice restores the surface.

#include "platform/ui/Canvas.h"

#include "platform/text/Windows1252.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;

QImage Blank(int w = 24, int h = 24)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The smallest rectangle holding every pixel that is not white; empty when none is.
QRect Covered(const QImage &image)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite)
                r |= QRect(x, y, 1, 1);
    return r;
}

QImage Noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return image;
}

TEST(Canvas, RectangleCoversLeftTopInclusiveRightBottomExclusive)
{
    QImage image = Blank();
    {
        TCanvas c(&image);
        c.Brush.Color = clRed;
        c.Rectangle(2, 3, 7, 9);
    }
    EXPECT_EQ(Covered(image), QRect(QPoint(2, 3), QPoint(6, 8)));
    for (int x = 2; x < 7; ++x) {
        EXPECT_EQ(image.pixel(x, 3), kBlack);
        EXPECT_EQ(image.pixel(x, 8), kBlack);
    }
    for (int y = 3; y < 9; ++y) {
        EXPECT_EQ(image.pixel(2, y), kBlack);
        EXPECT_EQ(image.pixel(6, y), kBlack);
    }
    for (int y = 4; y < 8; ++y)
        for (int x = 3; x < 6; ++x)
            EXPECT_EQ(image.pixel(x, y), kRed) << x << "," << y;
}

TEST(Canvas, PenWidthStyleAndBrushDecideCoverage)
{
    struct Case {
        TPenStyle style;
        int width;
        TBrushStyle brush;
        QRect expected;
    } cases[] = {
        {psSolid, 3, bsSolid, QRect(QPoint(3, 4), QPoint(11, 13))},    // wide pen centred on the frame
        {psInsideFrame, 3, bsSolid, QRect(QPoint(4, 5), QPoint(10, 12))},
        {psClear, 1, bsSolid, QRect(QPoint(4, 5), QPoint(10, 12))},    // brush only
        {psDash, 1, bsClear, QRect(QPoint(4, 5), QPoint(10, 12))},
    };
    for (const Case &k : cases) {
        QImage image = Blank();
        {
            TCanvas c(&image);
            c.Pen.Style = k.style;
            c.Pen.Width = k.width;
            c.Brush.Color = clRed;
            c.Brush.Style = k.brush;
            c.Rectangle(4, 5, 11, 13);
        }
        EXPECT_EQ(Covered(image), k.expected) << int(k.style) << " width " << k.width;
    }
    QImage image = Blank();
    {
        TCanvas c(&image);
        c.Brush.Style = bsClear;
        c.Rectangle(4, 5, 11, 13);
    }
    EXPECT_EQ(image.pixel(7, 8), kWhite) << "clear brush leaves the inside";
}

TEST(Canvas, LinesLeaveOutTheirLastPixel)
{
    struct Case {
        QPoint from, to;
        QRect expected;
    } cases[] = {
        {{2, 5}, {9, 5}, QRect(QPoint(2, 5), QPoint(8, 5))},
        {{9, 5}, {2, 5}, QRect(QPoint(3, 5), QPoint(9, 5))},
        {{4, 1}, {4, 7}, QRect(QPoint(4, 1), QPoint(4, 6))},
        {{1, 1}, {6, 6}, QRect(QPoint(1, 1), QPoint(5, 5))},
    };
    for (const Case &k : cases) {
        QImage image = Blank();
        {
            TCanvas c(&image);
            c.MoveTo(k.from.x(), k.from.y());
            c.LineTo(k.to.x(), k.to.y());
            EXPECT_EQ(c.PenPos(), k.to);
        }
        EXPECT_EQ(Covered(image), k.expected);
    }
}

TEST(Canvas, CurvedShapesStayInsideTheirRectangleAndTouchEachSide)
{
    for (int shape = 0; shape < 3; ++shape) {
        QImage image = Blank(40, 40);
        {
            TCanvas c(&image);
            c.Brush.Color = clRed;
            if (shape == 0)
                c.Ellipse(5, 6, 30, 25);
            else if (shape == 1)
                c.RoundRect(5, 6, 30, 25, 10, 10);
            else
                c.Polygon({{5, 15}, {17, 6}, {29, 15}, {17, 24}});
        }
        EXPECT_EQ(Covered(image), QRect(QPoint(5, 6), QPoint(29, 24))) << "shape " << shape;
        EXPECT_EQ(image.pixel(17, 15), kRed) << "shape " << shape;
    }
}

TEST(Canvas, NotXorTwiceRestoresTheSurface)
{
    const QImage background = Noise(40, 40);
    QImage image = background;
    TCanvas c(&image);
    c.Pen.Mode = pmNotXor;
    c.Brush.Style = bsClear;
    auto draw = [&] {
        c.Rectangle(3, 4, 20, 18);
        c.Polyline({{25, 2}, {35, 2}, {35, 12}, {25, 20}});
        c.Pen.Style = psDot;
        c.MoveTo(2, 30);
        c.LineTo(38, 30);
        c.Pen.Style = psSolid;
    };
    draw();
    // Every pixel of the figure was inverted exactly once: ~(black ^ d) == d for a black pen.
    // The frame's corners and the polyline's joints are therefore changed, not restored.
    for (QPoint p : {QPoint(3, 4), QPoint(19, 4), QPoint(19, 17), QPoint(3, 17), QPoint(35, 2), QPoint(35, 12),
                     QPoint(30, 2)})
        EXPECT_EQ(image.pixel(p) & 0xFFFFFF, ~background.pixel(p) & 0xFFFFFF) << p.x() << "," << p.y();
    EXPECT_EQ(image.pixel(10, 10), background.pixel(10, 10)) << "inside untouched";
    draw();
    c.Painter().end();
    EXPECT_EQ(image, background);
}

TEST(Canvas, NotXorOfABlackPenOnWhiteIsBlack)
{
    QImage image = Blank();
    {
        TCanvas c(&image);
        c.Pen.Mode = pmNotXor;
        c.Brush.Style = bsClear;
        c.Rectangle(2, 2, 10, 10);
    }
    EXPECT_EQ(image.pixel(2, 2), kBlack);
    EXPECT_EQ(Covered(image), QRect(QPoint(2, 2), QPoint(9, 9)));
}

TEST(Canvas, IsotropicMappingScalesAndMovesShapes)
{
    QImage image = Blank(40, 40);
    {
        TCanvas c(&image);
        c.SetMapMode(TMapMode::Isotropic);
        c.SetWindowExt(100, 100);
        c.SetViewportExt(50, 80); // the smaller scale wins on both axes
        c.SetViewportOrg(3, 4);
        c.Brush.Color = clRed;
        c.Rectangle(0, 0, 20, 40);
        EXPECT_EQ(c.LPtoDP(QPoint(20, 40)), QPoint(13, 24));
        EXPECT_EQ(c.DPtoLP(QPoint(13, 24)), QPoint(20, 40));
    }
    EXPECT_EQ(Covered(image), QRect(QPoint(3, 4), QPoint(12, 23)));
}

TEST(Canvas, TextRectFillsAndClipsToItsRectangle)
{
    QImage image = Blank(80, 40);
    int width = 0, height = 0;
    {
        TCanvas c(&image);
        c.Font.Name = "Arial";
        c.Font.Size = 20;
        c.Font.Color = clBlack;
        width = c.TextWidth("Wide text");
        height = c.TextHeight("Wide text");
        c.Brush.Color = clRed;
        c.TextRect(10, 5, 30, 25, 4, 5, "Wide text");
    }
    EXPECT_GT(width, 60);
    EXPECT_GT(height, 15);
    EXPECT_EQ(Covered(image), QRect(QPoint(10, 5), QPoint(29, 24)));
    int ink = 0;
    for (int y = 5; y < 25; ++y)
        for (int x = 10; x < 30; ++x)
            ink += image.pixel(x, y) != kRed;
    EXPECT_GT(ink, 10) << "some text inside the rectangle";
}

TEST(Canvas, TextOutPaintsTheCellOnlyWithASolidBrush)
{
    for (TBrushStyle style : {bsSolid, bsClear}) {
        QImage image = Blank(80, 40);
        int width = 0, height = 0;
        {
            TCanvas c(&image);
            c.Font.Size = 12;
            c.Brush.Color = clRed;
            c.Brush.Style = style;
            width = c.TextWidth("Hello");
            height = c.TextHeight("Hello");
            c.TextOut(5, 6, "Hello");
        }
        const QRect covered = Covered(image);
        if (style == bsSolid)
            EXPECT_EQ(covered, QRect(5, 6, width, height));
        else
            EXPECT_TRUE(QRect(5, 6, width, height).contains(covered));
        EXPECT_EQ(image.pixel(5, 6) == kRed, style == bsSolid);
    }
}

// Texts are kept shaped, and finished cells copied, from one canvas to the next: every drawing,
// first or repeated, must match the painter's own text drawing pixel for pixel.
TEST(Canvas, TextOutDrawsWhatThePainterDrawsEveryTime)
{
    struct Case {
        const char *text;
        TBrushStyle brush;
        bool italic, underline;
        int size;
    };
    const Case cases[] = {
        {"TObject", bsSolid, false, false, 8}, {"TClass1234", bsClear, false, false, 8},
        {"fj Wavy", bsSolid, true, false, 14}, {"Hello", bsSolid, false, true, 12},
        {"\xe9t\xe9 \x80", bsSolid, false, false, 10}, {"tab\there", bsSolid, false, false, 9},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.text);
        QImage expected = Blank(160, 40);
        {
            TCanvas c(&expected);
            c.Font.Size = k.size;
            c.Font.Italic = k.italic;
            c.Font.Underline = k.underline;
            const int width = c.TextWidth(k.text), height = c.TextHeight(k.text);
            QPainter &p = c.Painter();
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(static_cast<int>(std::lround(k.size * 96 / 72.0)));
            font.setItalic(k.italic);
            font.setUnderline(k.underline);
            p.setFont(font);
            if (k.brush == bsSolid)
                p.fillRect(QRect(7, 9, width, height), ToQColor(c.Brush.Color));
            p.setPen(ToQColor(c.Font.Color));
            p.drawText(QPoint(7, 9 + QFontMetrics(font).ascent()), QString::fromUtf16(text::Cp1252ToUtf16(k.text).c_str()));
        }
        for (int round = 0; round < 2; ++round) {
            QImage image = Blank(160, 40);
            {
                TCanvas c(&image);
                c.Font.Size = k.size;
                c.Font.Italic = k.italic;
                c.Font.Underline = k.underline;
                c.Brush.Style = k.brush;
                c.TextOut(7, 9, k.text);
            }
            EXPECT_EQ(image, expected) << "drawing " << round;
        }
    }
}

TEST(Canvas, StretchDrawScalesTheBitmapIntoTheRectangle)
{
    TBitmap bitmap(2, 1);
    bitmap.SetPixel(0, 0, clRed);
    bitmap.SetPixel(1, 0, clBlue);
    EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
    EXPECT_EQ(bitmap.Pixel(1, 0), clBlue);
    QImage image = Blank();
    {
        TCanvas c(&image);
        c.StretchDraw(4, 4, 8, 6, bitmap);
    }
    EXPECT_EQ(Covered(image), QRect(QPoint(4, 4), QPoint(7, 5)));
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(6, 4), 0xFF0000FFu);
}

TEST(Colors, PlainAndSystemColours)
{
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToRGB(0x02123456), 0x123456) << "the top byte of a plain colour is dropped";
    EXPECT_EQ(ColorToRGB(clInfoBk), FromQColor(QGuiApplication::palette().color(QPalette::ToolTipBase)));
    EXPECT_EQ(ColorToRGB(clWindowText), FromQColor(QGuiApplication::palette().color(QPalette::Text)));
    EXPECT_EQ(ColorToRGB(clBtnFace), FromQColor(QGuiApplication::palette().color(QPalette::Button)));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
