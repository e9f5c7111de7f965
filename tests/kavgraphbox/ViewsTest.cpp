// Page arithmetic, printing, the overview box and the print preview.

#include "BoxTestUtil.h"
#include "kavgraph/KVPrint.h"
#include "kavgraph/KVView.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

const TKVPrinterMetrics kMetrics{4440, 6290, 1200}; // 3.7 printer pixels per screen pixel

void MouseEvent(QWidget *w, QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), b, held, {});
    QApplication::sendEvent(w, &e);
}

void Drag(QWidget *w, QPoint from, QPoint to, Qt::MouseButton b)
{
    MouseEvent(w, QEvent::MouseButtonPress, from, b, b);
    MouseEvent(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, b);
    MouseEvent(w, QEvent::MouseMove, to, Qt::NoButton, b);
    MouseEvent(w, QEvent::MouseButtonRelease, to, b, {});
}

TEST(Pages, Arithmetic)
{
    EXPECT_EQ(kvpages::PrinterPercent(kMetrics, 100), 370);
    EXPECT_EQ(kvpages::PrinterPercent(kMetrics, 50), 185);
    EXPECT_EQ(kvpages::PrinterPercent(kMetrics, 0), 1); // never 0
    EXPECT_EQ(kvpages::PageSize(kMetrics, 370), (TKVPoint{1200, 1700}));
    EXPECT_EQ(kvpages::PageSize({0, 0, 0}, 0), (TKVPoint{1, 1}));
    EXPECT_NEAR(kvpages::ToReal48(1.0 / 3), 1.0 / 3, 1e-12);
    EXPECT_NE(kvpages::ToReal48(1.0 / 3), 1.0 / 3);
    const struct {
        int right, bottom;
        TKVPageCount want;
    } cases[] = {
        {0, 0, {0, 0}},        // round(0.5) is 0
        {1199, 1699, {1, 1}},  // just inside one page
        {1201, 1701, {2, 2}},
        {2400, 3400, {2, 2}}, // exactly two pages: round(2.5) is 2
        {3600, 5100, {4, 4}}, // exactly three: round(3.5) is 4
    };
    for (const auto &c : cases)
        EXPECT_EQ(kvpages::PageCount({0, 0, c.right, c.bottom}, kMetrics, 100), c.want) << c.right;
}

TEST(Printing, PagesJoinUpOnPaper)
{
    TKVDiagramBox box;
    box.SetPrinterMetrics(kMetrics);
    AddVertex(box, 1000, 100, kvProgram)->Bounds = {1000, 100, 1400, 200}; // across the first page edge
    QImage pages[2];
    for (int i = 0; i < 2; ++i) {
        pages[i] = QImage(kMetrics.PageWidth, 1000, QImage::Format_RGB32);
        pages[i].fill(Qt::white);
        TCanvas canvas(&pages[i]);
        box.PaintObjects(canvas, pmPrinter, {1200 * i, 0});
    }
    const int top = WorldToScreenF(100, 3.7);
    EXPECT_EQ(pages[0].pixel(kMetrics.PageWidth - 1, top), qRgb(0, 0, 0));
    EXPECT_EQ(pages[1].pixel(0, top), qRgb(0, 0, 0));
    EXPECT_EQ(pages[1].pixel(WorldToScreenF(200, 3.7) - 1, top + 5), qRgb(0, 0, 0)); // the right side
    EXPECT_EQ(pages[1].pixel(WorldToScreenF(200, 3.7) + 1, top + 5), qRgb(255, 255, 255));
}

TEST(Printing, PrintsEveryPageOrTheListedOnes)
{
    QTemporaryDir dir;
    TKVDiagramBox box;
    QPrinter *printer = box.Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    const TKVPrinterMetrics m = box.PrinterMetrics();
    ASSERT_GT(m.PageWidth, 0);
    const TKVPoint page = kvpages::PageSize(m, kvpages::PrinterPercent(m, 100));
    AddVertex(box, 0, 0, kvProgram);
    AddVertex(box, page.X + 100, page.Y + 100, kvProgram); // a page down and to the right
    EXPECT_EQ(box.GetPageCount(), (TKVPageCount{2, 2}));
    const auto countPages = [](const QString &name) {
        QFile f(name);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page[^s]"));
    };
    printer->setOutputFileName(dir.filePath("all.pdf"));
    box.Print(false, {});
    EXPECT_EQ(countPages(dir.filePath("all.pdf")), 4);
    printer->setOutputFileName(dir.filePath("some.pdf"));
    box.Print(true, {{2, 2}, {1, 1}, {2, 1}});
    EXPECT_EQ(countPages(dir.filePath("some.pdf")), 3);
}

TEST(Printing, RefusesMorePagesThanThePrintoutCanTake)
{
    // A print scale as large as a file can hold spreads one box over billions of pages.
    QTemporaryDir dir;
    TKVDiagramBox box;
    box.SetPrinterMetrics(kMetrics);
    box.Printer()->setOutputFormat(QPrinter::PdfFormat);
    box.Printer()->setOutputFileName(dir.filePath("none.pdf"));
    AddVertex(box, 0, 0, kvProgram);
    box.SetPrintScale(0x7FFFFFFF);
    const auto error = [&](bool list, const std::vector<TKVPage> &pages) {
        try {
            box.Print(list, pages);
        } catch (const Exception &e) {
            return e.Message();
        }
        return std::string("printed");
    };
    EXPECT_EQ(error(false, {}).rfind("Too many pages: ", 0), 0u);
    EXPECT_EQ(error(true, std::vector<TKVPage>(10001)), "Too many pages: 10001");
    EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")));
}

// ---- Overview ---------------------------------------------------------------------------------------

struct OverviewFixture {
    QScrollArea area;
    TKVDiagramBox *box = new TKVDiagramBox;
    TKVOverviewBox overview;
    OverviewFixture()
    {
        area.resize(300, 300);
        box->AutoSize = true;
        AddVertex(*box, 0, 0, kvProgram);
        AddVertex(*box, 1890, 1890, kvProgram); // the extent is (-10, -10, 2000, 1950)
        area.setWidget(box);
        overview.resize(200, 200);
        overview.SetDiagramBox(box);
        overview.SetActive(true);
        area.show();
        overview.show();
        QApplication::processEvents();
        overview.grab(); // a paint: the frame and the scale are known
    }
};

TEST(Overview, FitsTheDiagramAndFramesTheVisiblePart)
{
    OverviewFixture f;
    EXPECT_EQ(f.overview.OverviewScale, 10); // round(99 / (2000 / 200))
    const int w = f.area.viewport()->width();
    EXPECT_EQ(f.overview.ViewRect, (TKVRect{0, 0, WorldToScreen(w, 10), WorldToScreen(f.area.viewport()->height(), 10)}));
    EXPECT_EQ(std::count(f.box->Views.begin(), f.box->Views.end(), QPointer<QWidget>(&f.overview)), 1);

    f.box->Clear();
    f.overview.grab();
    EXPECT_EQ(f.overview.OverviewScale, 1); // an empty diagram
}

TEST(Overview, LabelsKeepTheClickAreaTheScreenGaveThem)
{
    OverviewFixture f;
    auto *a = static_cast<TKVCustomVertex *>(f.box->Vertices[0]);
    TKVCustomVertex *b = AddVertex(*f.box, 0, 200, kvProgram);
    TKVCustomEdge *e = AddEdge(*f.box, a, b, kvProgram);
    e->SetText("a long label text");
    f.box->Invalidate();
    f.box->grab();
    const TKVRect onScreen = e->Adjacent->Bounds;
    ASSERT_GT(onScreen.Right - onScreen.Left, 20);
    f.overview.grab();
    EXPECT_EQ(e->Adjacent->Bounds, onScreen);
    EXPECT_EQ(f.box->FindObject({onScreen.Right - 2, (onScreen.Top + onScreen.Bottom) / 2}), e->Adjacent.get());
}

TEST(Overview, DraggingTheFrameToACornerScrollsThere)
{
    OverviewFixture f;
    const TKVPoint centre = f.overview.ViewCenter;
    const TKVRect frame = f.overview.ViewRect;
    // The frame's bottom-right corner to the overview's bottom-right corner.
    Drag(&f.overview, {centre.X, centre.Y}, {centre.X + 200 - frame.Right, centre.Y + 200 - frame.Bottom},
         Qt::LeftButton);
    EXPECT_EQ(f.area.horizontalScrollBar()->value(), f.area.horizontalScrollBar()->maximum());
    EXPECT_EQ(f.area.verticalScrollBar()->value(), f.area.verticalScrollBar()->maximum());
    f.overview.grab();
    Drag(&f.overview, {f.overview.ViewCenter.X, f.overview.ViewCenter.Y},
         {f.overview.ViewCenter.X - f.overview.ViewRect.Left, f.overview.ViewCenter.Y - f.overview.ViewRect.Top},
         Qt::LeftButton);
    EXPECT_EQ(f.area.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(f.area.verticalScrollBar()->value(), 0);
}

TEST(Overview, RightButtonZoomsToTheRectangleWithinTheLimits)
{
    OverviewFixture f;
    f.overview.MinZoom = 150;
    f.overview.MaxZoom = 400;
    std::vector<int> asked;
    f.overview.OnScaleChange = [&](int &scale) { asked.push_back(scale); };
    // A click without movement: the current scale, clamped.
    MouseEvent(&f.overview, QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton);
    MouseEvent(&f.overview, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, {});
    EXPECT_EQ(f.box->Scale(), 150);
    f.overview.grab();
    // A rectangle half the frame's width and height doubles the scale.
    const TKVRect frame = f.overview.ViewRect;
    const int w = frame.Right - frame.Left, h = frame.Bottom - frame.Top;
    Drag(&f.overview, {20, 20}, {20 + w / 2, 20 + h / 2}, Qt::RightButton);
    EXPECT_NEAR(f.box->Scale(), 150.0 * w / (w / 2), 12); // w / 2 drops the half pixel of an odd w
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(f.area.horizontalScrollBar()->value(),
              std::min(f.area.horizontalScrollBar()->maximum(), WorldToScreen(ScreenToWorld(20, 10), f.box->Scale())));
}

TEST(Overview, WithoutAScrollAreaOnlyTheFrameIsDrawnAndTheMouseDoesNothing)
{
    TKVDiagramBox box;
    AddVertex(box, 0, 0, kvProgram);
    TKVOverviewBox overview;
    overview.resize(100, 100);
    overview.SetColor(clWhite);
    overview.MinZoom = 10;
    overview.MaxZoom = 500;
    overview.SetDiagramBox(&box);
    overview.SetActive(true);
    const QImage shown = overview.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(50, 50), qRgb(255, 255, 255));
    Drag(&overview, {10, 10}, {60, 60}, Qt::RightButton);
    EXPECT_EQ(box.Scale(), 100);

    // Another box takes the overview out of the first one's views.
    TKVDiagramBox second;
    overview.SetDiagramBox(&second);
    EXPECT_TRUE(box.Views.empty());
    EXPECT_EQ(second.Views.size(), 1u);
}

// ---- Print preview -----------------------------------------------------------------------------------

struct PreviewFixture {
    TKVDiagramBox box;
    TKVPrintPreview preview;
    PreviewFixture()
    {
        box.SetPrinterMetrics(kMetrics); // a page is 1200 x 1700 world units
        preview.resize(200, 200);
        preview.SetDiagramBox(&box);
    }
};

TEST(PrintPreview, ScalesByTheWiderSideAndDrawsThePageGrid)
{
    PreviewFixture f;
    AddVertex(f.box, 0, 0, kvProgram)->Bounds = {0, 0, 2390, 1190}; // extent 2400 x 1200
    const QImage shown = f.preview.grab().toImage();
    EXPECT_EQ(f.preview.PreviewScale(), RoundHalfEven(99.0 * 200 / 2400));
    const int x = RoundHalfEven(1200 * f.preview.PreviewScale() * 0.01); // the first column line
    EXPECT_EQ(shown.pixel(x, 150), qRgb(0, 0, 0));
    EXPECT_EQ(f.box.Views.size(), 1u);
    f.preview.SetDiagramBox(nullptr);
    EXPECT_TRUE(f.box.Views.empty());
}

TEST(PrintPreview, ClicksToggleMarksButNotOnGridLines)
{
    PreviewFixture f;
    AddVertex(f.box, 0, 0, kvProgram)->Bounds = {0, 0, 2390, 3390}; // two by two pages
    f.preview.grab();
    const int s = f.preview.PreviewScale();
    const int line = WorldToScreen(1200, s);
    const auto click = [&](QPoint p) {
        QTest::mouseClick(&f.preview, Qt::LeftButton, {}, p);
    };
    click({line, 10}); // exactly on the column line
    EXPECT_TRUE(f.preview.MarkedPages().empty());
    click({line + 5, 10});
    EXPECT_TRUE(f.preview.GetPage(2, 1));
    click({5, WorldToScreen(1700, s) + 5});
    EXPECT_TRUE(f.preview.GetPage(1, 2));
    click({line + 5, 10});
    EXPECT_FALSE(f.preview.GetPage(2, 1));
    QTest::mouseClick(&f.preview, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(f.preview.GetPage(1, 1));
    ASSERT_EQ(f.preview.MarkedPages().size(), 1u);
    EXPECT_EQ(f.preview.MarkedPages()[0].Column, 1);
    EXPECT_EQ(f.preview.MarkedPages()[0].Row, 2);
    // The marked page is framed with the pen.
    f.preview.Pen = TPen{clRed, psSolid, 3};
    const QImage shown = f.preview.grab().toImage();
    EXPECT_EQ(shown.pixel(3, WorldToScreen(1700, s) + 20), qRgb(255, 0, 0));

    // Outside the 50 x 50 table nothing is kept.
    f.preview.SetPage(51, 1, true);
    f.preview.SetPage(0, 3, true);
    EXPECT_FALSE(f.preview.GetPage(51, 1));
    EXPECT_FALSE(f.preview.GetPage(0, 3));
}

TEST(PrintPreview, AnEmptyDiagramKeepsTheLastPicture)
{
    PreviewFixture f;
    f.preview.SetColor(clWhite);
    AddVertex(f.box, 0, 0, kvProgram);
    const QImage before = f.preview.grab().toImage();
    f.box.Clear();
    EXPECT_EQ(f.preview.grab().toImage(), before);
    TKVPrintPreview lonely; // and no box at all is no error either
    lonely.resize(50, 50);
    EXPECT_FALSE(lonely.grab().isNull());
}

} // namespace
