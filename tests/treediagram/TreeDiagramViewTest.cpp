// The diagram view on screen (offscreen platform): scroll ranges and offsets, pixels of boxes,
// shadows, lines and the selection frame, hover feedback and clicks.

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "browser/treediagram/L1TreeDiagram.h"
#include "tests/fixtures/QmkFixture.h"
#include "tests/treediagram/TraceRecorder.h"

#include "platform/core/Prompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace fixture;

namespace {

// The application object lives in main: one destroyed after main returns crashes on exit.
QApplication &App() { return *static_cast<QApplication *>(QCoreApplication::instance()); }

constexpr TColor kNavy = 0x800000, kRed = 0x0000FF, kBlack = 0, kWhite = 0xFFFFFF;
constexpr TColor kSlate = (128 << 16) | (104 << 8) | 80;

// A window-less host: a scroll box of the given size around a paint box.
struct AppFirst {
    AppFirst() { App(); }
};

struct Host : AppFirst {
    TvdScrollBox scrollBox;
    TvdPaintBox *paintBox = new TvdPaintBox;

    explicit Host(QSize size = {400, 300})
    {
        scrollBox.setWidget(paintBox);
        scrollBox.resize(size);
        scrollBox.show();
        QApplication::processEvents();
    }
    // What the user sees of the paint box, as 0x00BBGGRR at paint-box pixel (x, y).
    TColor Pixel(int x, int y)
    {
        QApplication::processEvents();
        const QImage image = paintBox->grab(QRect(x, y, 1, 1)).toImage();
        const QRgb rgb = image.pixel(0, 0);
        return RGBToColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
};

// A generic view with fixed bounds that counts its paints.
class BoundsView : public TvdDiagram {
public:
    TRect bounds{0, 0, 300, 200};
    int paints = 0;
    void CalculateBoundsRect(TRect &rect) override { rect = bounds; }
    void Paint() override
    {
        ++paints;
        TvdDiagram::Paint();
    }
};

TEST(DiagramView, ScrollRangesAndOffsetsFollowBoundsAndZoom)
{
    Host host({60, 60});
    BoundsView view;
    view.AttachTo(host.paintBox, &host.scrollBox);
    TRect r;
    view.GetBounds(r);
    EXPECT_EQ(host.scrollBox.HorzRange(), 300);
    EXPECT_EQ(host.scrollBox.VertRange(), 200);

    view.SetZoom(50);
    EXPECT_EQ(host.scrollBox.HorzRange(), 150);
    EXPECT_EQ(host.scrollBox.VertRange(), 100);
    host.scrollBox.SetPositions(40, 0);
    ASSERT_EQ(host.scrollBox.HorzPosition(), 40);
    view.UpdateScrollOffsets();
    EXPECT_EQ(view.ScrollOffsetX(), 80);

    // The left and top of the bounds do not enter: the scrollable area starts at 0.
    view.bounds = {100, 100, 300, 200};
    view.RecalculateBounds();
    EXPECT_EQ(host.scrollBox.HorzRange(), 150);
}

TEST(DiagramView, ZoomToTheSameValueNeitherRepaintsNorTraces)
{
    Host host;
    BoundsView view;
    view.AttachTo(host.paintBox, &host.scrollBox);
    QApplication::processEvents();
    TraceLines().clear();
    const int paints = view.paints;
    view.SetZoom(100);
    QApplication::processEvents();
    EXPECT_EQ(view.paints, paints);
    EXPECT_TRUE(TraceLines().empty());

    view.SetZoom(200);
    EXPECT_GT(view.paints, paints);
    EXPECT_EQ(TraceLines(), std::vector<std::string>{"Zoom-refresh"});
    // A zoom of 0 would divide by zero when offsets are converted: refused.
    EXPECT_THROW(view.SetZoom(0), Exception);
    EXPECT_EQ(view.Zoom(), 200);
}

TEST(DiagramView, WithoutControlsBoundsAreComputedAndPaintReportsTheMissingCanvas)
{
    App();
    BoundsView view;
    TRect r;
    view.GetBounds(r);
    EXPECT_EQ(r, (TRect{0, 0, 300, 200}));
    try {
        view.Paint();
        FAIL();
    } catch (const Exception &e) {
        EXPECT_NE(e.Message().find("Precondition violated in: TvdDiagram.Draw"), std::string::npos);
        EXPECT_NE(e.Message().find("fCanvas<>nil"), std::string::npos);
    }
}

TEST(DiagramView, HintControllerHidesAndDisablesItsTimer)
{
    App();
    TvdHintController hint;
    EXPECT_TRUE(hint.Timer().isActive()); // enabled when created
    hint.Hide();
    EXPECT_FALSE(hint.Timer().isActive());
    EXPECT_FALSE(hint.HintWindow()->isVisible());

    hint.Show(QPoint(30, 40), "Left or right click on a class");
    EXPECT_TRUE(hint.HintWindow()->isVisible());
    EXPECT_EQ(hint.HintWindow()->pos(), QPoint(30, 40));
    EXPECT_EQ(hint.HintWindow()->text(), QString("Left or right click on a class"));
    EXPECT_TRUE(hint.Timer().isActive());
    EXPECT_TRUE(hint.HintWindow()->testAttribute(Qt::WA_ShowWithoutActivating));
    hint.Hide();
    EXPECT_FALSE(hint.HintWindow()->isVisible());
}

TEST(DiagramObjectView, HitTestLeavesRightAndBottomOutAndDrawingIsNotImplemented)
{
    App();
    BoundsView view;
    view.AddObjectView("a", new Tvd_DiagramObject_View(TRect{0, 0, 10, 10}));
    view.AddObjectView("b", new Tvd_DiagramObject_View(TRect{5, 5, 20, 20}));
    EXPECT_EQ(view.ViewAt({5, 5}), view.ObjectViews().Objects(0));
    EXPECT_EQ(view.ViewAt({10, 9}), view.ObjectViews().Objects(1));
    EXPECT_EQ(view.ViewAt({20, 20}), nullptr);

    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(&image);
    EXPECT_THROW(static_cast<Tvd_DiagramObject_View *>(view.ObjectViews().Objects(0))->DrawTo(canvas), EAbort);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("Tvd_DiagramObject_View.DrawTo(const i_canvas: TCanvas);"), std::string::npos);
}

// ---- The visual tree diagram ------------------------------------------------------------

// Root at the left; child A's centre is 1 below the root's, child B's 2 below... and far down.
Node HorizontalTree()
{
    return Node{"TRoot",
                {10, 100, 70, 120},
                {Node{"TA", {100, 101, 160, 121}, {}}, Node{"TB", {100, 160, 160, 180}, {}},
                 Node{"TC", {100, 42, 160, 62}, {}}}};
}

struct VisualFixture : ::testing::Test {
    Host host{{400, 300}};
    TvdVisualTreeDiagram view;
    std::unique_ptr<TvdTreeDiagram> diagram = MakeDiagram(HorizontalTree(), true);
    TL1OPascalSymbolTable table{"Lib"};
    TL1HelpDisplayer help;
    TRecordingHelpEngine engine;
    IHelpEngine *previousEngine = nullptr;

    void SetUp() override
    {
        view.AttachTo(host.paintBox, &host.scrollBox);
        auto *unit = table.AddUnit("Units");
        unit->AddClass("TRoot");
        unit->AddClass("TA");
        table.EnsureDenormalized();
        help.SetSymbolTable(&table);
        help.SetHelpFile(0, "/docs/lib.HLP");
        previousEngine = InstallHelpEngine(&engine);
    }
    void TearDown() override { InstallHelpEngine(previousEngine); }
};

TEST_F(VisualFixture, BoxesShadowsLinesAndFrameLandWhereTheLayoutSays)
{
    view.ShowDiagram(diagram.get(), "TA");
    // Box: border slate, inside navy; the shadow 5 units to the right and below, in black.
    EXPECT_EQ(host.Pixel(10, 100), kSlate);
    EXPECT_EQ(host.Pixel(15, 103), kNavy);
    EXPECT_EQ(host.Pixel(72, 122), kBlack);
    EXPECT_EQ(host.Pixel(74, 124), kSlate);
    EXPECT_EQ(host.Pixel(75, 125), kWhite);
    // The name in (anti-aliased) white in the middle of the root's box, not at its edges.
    const QImage shot = host.paintBox->grab().toImage();
    int light = 0;
    for (int x = 12; x < 68; ++x)
        for (int y = 102; y < 118; ++y)
            light += qRed(shot.pixel(x, y)) > 160 ? (x > 18 && x < 62 ? 1 : -1000) : 0;
    EXPECT_GT(light, 10);
    // Child A's centre is 1 below the root's: the line stays on the root's centre (y 110).
    EXPECT_EQ(host.Pixel(85, 110), kBlack);
    EXPECT_EQ(host.Pixel(85, 111), kWhite);
    // Child B's centre is 2 or more away: the line ends at its centre (170), so it slopes.
    EXPECT_EQ(host.Pixel(85, 140), kBlack);
    // The selection frame around A: 5 outside the box, to the shadow plus 5, 2 pixels wide.
    EXPECT_EQ(host.Pixel(95, 96), kRed);
    EXPECT_EQ(host.Pixel(130, 96), kRed);
    EXPECT_EQ(host.Pixel(170, 130), kRed);
    EXPECT_EQ(host.Pixel(98, 128), kWhite);
}

TEST_F(VisualFixture, VerticalLinesStraightenWithinOneUnit)
{
    auto vertical = MakeDiagram(
        Node{"TRoot", {100, 10, 160, 30}, {Node{"TA", {101, 60, 161, 80}, {}}, Node{"TB", {200, 60, 260, 80}, {}}}},
        false);
    view.ShowDiagram(vertical.get(), "");
    EXPECT_EQ(host.Pixel(130, 45), kBlack); // A's centre is 1 away: straight down from 130
    EXPECT_EQ(host.Pixel(131, 45), kWhite);
    EXPECT_EQ(host.Pixel(180, 45), kBlack); // B's line ends at its centre
}

TEST_F(VisualFixture, RootNameSelectsNothingAndNoDiagramPaintsWhite)
{
    view.ShowDiagram(diagram.get(), "troot");
    EXPECT_EQ(view.SelectedNode(), nullptr);
    EXPECT_EQ(host.Pixel(5, 95), kWhite);
    view.MouseMove(0, 20, 105);
    ASSERT_NE(view.HoveredNode(), nullptr);
    view.ShowNoDiagram();
    EXPECT_EQ(view.TreeDiagram(), nullptr);
    EXPECT_EQ(view.HoveredNode(), nullptr); // nothing of a diagram that may be freed next
    EXPECT_EQ(host.Pixel(15, 103), kWhite);
    EXPECT_EQ(host.scrollBox.HorzRange(), 0);
    try {
        TRect r;
        view.CalculateBoundsRect(r);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_NE(e.Message().find("TvdVisualTreeDiagram.CalculateBoundsRect"), std::string::npos);
        EXPECT_NE(e.Message().find("fTreeDiagram<>nil"), std::string::npos);
    }
}

TEST_F(VisualFixture, HoverRedrawsOnlyTheBoxesInvolved)
{
    view.ShowDiagram(diagram.get(), "");
    view.MouseMove(0, 20, 105); // root
    EXPECT_EQ(host.Pixel(15, 103), kRed);
    view.MouseMove(0, 110, 105); // A
    EXPECT_EQ(host.Pixel(15, 103), kNavy);
    EXPECT_EQ(host.Pixel(105, 104), kRed);
    EXPECT_EQ(view.HoveredNode()->Name, "TA");
    EXPECT_EQ(view.PreviousNode()->Name, "TRoot");
    view.MouseMove(0, 300, 280); // empty space
    EXPECT_EQ(host.Pixel(105, 104), kNavy);
    EXPECT_EQ(view.HoveredNode(), nullptr);
    // A repaint puts every box back in navy.
    view.MouseMove(0, 110, 105);
    view.Paint();
    EXPECT_EQ(host.Pixel(105, 104), kNavy);
}

TEST_F(VisualFixture, HoverWhileScrolledDrawsAtTheScrolledPlaceEvenWhenAPaintIsPending)
{
    // A tall diagram, scrolled down by 100.
    auto tall = MakeDiagram(Node{"TRoot", {10, 10, 70, 30}, {Node{"TA", {100, 380, 160, 400}, {}}}}, true);
    view.ShowDiagram(tall.get(), "");
    host.scrollBox.SetPositions(0, 100);
    ASSERT_EQ(host.scrollBox.VertPosition(), 100);
    host.Pixel(0, 0);
    // A paint request waits in the queue when the mouse moves onto A.
    host.paintBox->update();
    view.MouseMove(0, 110, 385);
    ASSERT_NE(view.HoveredNode(), nullptr);
    EXPECT_EQ(host.Pixel(105, 384), kRed);
    EXPECT_EQ(host.Pixel(105, 284), kWhite);
}

TEST_F(VisualFixture, ClicksOpenTheClassTopicAndReportEveryButton)
{
    view.ShowDiagram(diagram.get(), "");
    view.SetHelpDisplayer(&help);
    std::vector<std::pair<std::string, int>> events;
    view.OnNodeMouseDown = [&](TvdTreeDiagramNode *node, TvdMouseButton button, TvdShiftState, int, int) {
        events.push_back({node->Name, button});
    };
    TraceLines().clear();
    view.MouseDown(mbLeft, 0, 110, 105);
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[0].command, HELP_FORCEFILE);
    EXPECT_EQ(engine.calls[1].macro, "JumpID(\"\",\"IDH_Class_TA\")");
    EXPECT_EQ(TraceLines(), (std::vector<std::string>{"begin: ShowClassTopic: TA", "end: ShowClassTopic: TA"}));

    view.MouseDown(mbRight, 0, 110, 105);
    EXPECT_EQ(engine.calls.size(), 2u);
    view.MouseDown(mbLeft, 0, 300, 280); // outside every box
    EXPECT_EQ(events, (std::vector<std::pair<std::string, int>>{{"TA", 0}, {"TA", 1}}));

    // A class the symbol table does not know has its help elsewhere.
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    view.MouseDown(mbLeft, 0, 110, 165);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, kOtherHelpFileText);
    EXPECT_EQ(engine.calls.size(), 2u);

    // Without a help displayer clicks do nothing at all.
    view.SetHelpDisplayer(nullptr);
    view.MouseDown(mbRight, 0, 110, 105);
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(VisualFixture, WheelAndKeysScrollAndLeavingTheScrollBoxHidesTheHint)
{
    auto tall = MakeDiagram(Node{"TRoot", {10, 10, 70, 30}, {Node{"TA", {100, 1000, 160, 1020}, {}}}}, true);
    view.ShowDiagram(tall.get(), "");
    QWheelEvent wheel(QPointF(50, 50), host.paintBox->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(host.scrollBox.viewport(), &wheel);
    EXPECT_GT(host.scrollBox.VertPosition(), 0);
    const int afterWheel = host.scrollBox.VertPosition();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(&host.scrollBox, &down);
    EXPECT_GT(host.scrollBox.VertPosition(), afterWheel);
    // The view follows the scroll position when it draws outside a paint event.
    host.scrollBox.SetPositions(0, host.scrollBox.VertRange());
    host.Pixel(0, 0);
    view.MouseMove(0, 110, 1005);
    EXPECT_EQ(host.Pixel(105, 1004), kRed);

    view.ShowHint(QPoint(10, 10), "TA");
    ASSERT_TRUE(view.HintController().HintWindow()->isVisible());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&host.scrollBox, &out);
    EXPECT_FALSE(view.HintController().HintWindow()->isVisible());
}

TEST_F(VisualFixture, RealMouseEventsReachTheView)
{
    view.ShowDiagram(diagram.get(), "");
    view.SetHelpDisplayer(&help);
    int clicks = 0;
    view.OnNodeMouseDown = [&](TvdTreeDiagramNode *, TvdMouseButton, TvdShiftState, int, int) { ++clicks; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(110, 105), QPointF(110, 105), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(host.paintBox, &press);
    EXPECT_EQ(clicks, 1);
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 105), QPointF(20, 105), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(host.paintBox, &move);
    EXPECT_EQ(view.HoveredNode(), diagram->RootNode());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
