// Pictures of a box for documents (cropped image and SVG), smoothing, and which marked pages of
// the print preview are printed.

#include "BoxTestUtil.h"
#include "kavgraph/KVPrint.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

int Colours(const QImage &image)
{
    QSet<QRgb> set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            set.insert(image.pixel(x, y));
    return int(set.size());
}

// Two boxes joined by a slanted edge: the slant is where smoothing shows.
void Slanted(TKVDiagramBox &box)
{
    box.SetColor(clWhite);
    box.resize(400, 300);
    AddEdge(box, AddVertex(box, 10, 10, kvProgram), AddVertex(box, 250, 200, kvProgram), kvProgram);
}

TEST(Antialiased, OffByDefaultAndSmoothsWhenOn)
{
    TKVDiagramBox box;
    Slanted(box);
    EXPECT_FALSE(box.Antialiased());
    const QImage plain = box.RenderImage();
    EXPECT_EQ(Colours(plain), 2) << "black on white, pixel for pixel";
    box.SetAntialiased(true);
    const QImage smooth = box.RenderImage();
    EXPECT_GT(Colours(smooth), 5);
    // Lines along the axes stay sharp: the box outline is still one black pixel wide.
    EXPECT_EQ(smooth.pixel(10, 40), qRgb(0, 0, 0));
    EXPECT_EQ(smooth.pixel(11, 40), qRgb(255, 255, 255));
}

// Rubber bands and drag outlines are drawn in not-XOR so that drawing them again erases them:
// smoothing must leave them exactly as without it.
TEST(Antialiased, NeverForNotXorFigures)
{
    const auto figures = [](bool smooth, int times) {
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas c(&image);
        c.Pen = TPen{clBlue, psSolid, 1, pmCopy};
        c.MoveTo(0, 60);
        c.LineTo(120, 70);
        c.SetAntialiased(smooth);
        for (int i = 0; i < times; ++i) {
            c.Pen = TPen{clBlack, psSolid, 1, pmNotXor};
            c.Brush.Style = bsClear;
            c.MoveTo(3, 5);
            c.LineTo(110, 97);
            c.Ellipse(10, 20, 90, 70);
            c.Pen.Width = 3;
            c.Polygon({{5, 100}, {60, 80}, {115, 115}});
        }
        c.Painter().end();
        return image;
    };
    EXPECT_EQ(figures(true, 1), figures(false, 1));
    EXPECT_EQ(figures(true, 2), figures(true, 0));

    TKVDiagramBox box;
    Slanted(box);
    box.SetAntialiased(true);
    const QImage shown = box.grab().toImage();
    box.DrawDrag({20, 20, 200, 150});
    box.DrawDrag({20, 20, 200, 150});
    EXPECT_EQ(box.grab().toImage(), shown);
}

TEST(DiagramPicture, CroppedWhiteAndWithoutSelectionMarks)
{
    TKVDiagramBox box;
    box.SetColor(clYellow);
    box.resize(2000, 2000);
    TKVCustomVertex *v = AddVertex(box, 1000, 1000, kvProgram);
    box.AddToSelection(v, false);
    const QImage image = box.DiagramImage();
    ASSERT_EQ(image.size(), QSize(120, 70)); // the 100 x 50 box and 10 on each side
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));  // its corner
    EXPECT_EQ(image.pixel(7, 7), qRgb(255, 255, 255)); // where a selection handle would be
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    box.SetScale(200);
    EXPECT_EQ(box.DiagramImage().size(), QSize(240, 140));

    const QByteArray svg = box.DiagramSvg();
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(300).toStdString();
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 240 140\"")) << svg.left(600).toStdString();

    TKVDiagramBox empty;
    EXPECT_TRUE(empty.DiagramImage().isNull());
    EXPECT_THROW(empty.DiagramSvg(), Exception);
}

TEST(DiagramPicture, SvgOfTheBoxAsPainted)
{
    TKVDiagramBox box;
    Slanted(box);
    const QByteArray svg = box.SvgBytes();
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 400 300\"")) << svg.left(600).toStdString();
    // Lines are vector lines, not a point for every pixel.
    EXPECT_LT(svg.size(), 20000);
}

// A mark kept from when the diagram reached further would print a blank page.
TEST(PrintPreview, MarkedPagesBeyondThePageCountAreNotPrinted)
{
    TKVDiagramBox box;
    box.SetPrinterMetrics(TKVPrinterMetrics{4440, 6290, 1200}); // a page is 1200 x 1700 world units
    TKVPrintPreview preview;
    preview.resize(200, 200);
    preview.SetDiagramBox(&box);
    TKVCustomVertex *v = AddVertex(box, 0, 0, kvProgram);
    v->Bounds = {0, 0, 2390, 1190}; // two pages across
    preview.SetPage(1, 1, true);
    preview.SetPage(2, 1, true);
    ASSERT_EQ(preview.MarkedPages().size(), 2u);

    v->Bounds = {0, 0, 1000, 1000}; // one page
    ASSERT_EQ(box.GetPageCount(), (TKVPageCount{1, 1}));
    const std::vector<TKVPage> pages = preview.MarkedPages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Column, 1);
    EXPECT_TRUE(preview.GetPage(2, 1)) << "the mark itself is kept";

    v->Bounds = {0, 0, 2390, 1190};
    EXPECT_EQ(preview.MarkedPages().size(), 2u);
}

} // namespace
