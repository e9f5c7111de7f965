#include "browser/support/L1miscProgressBar.h"
#include "platform/ui/PanelStatusBar.h"

#include <QProgressBar>

#include <memory>

#include <gtest/gtest.h>

TEST(ProgressReporter, TaskSavesAndRestoresStatusText)
{
    QProgressBar bar;
    PanelStatusBar status;
    status.AddPanel();
    status.AddPanel();
    TL1ProgressBarStatusReporter r(&bar, &status);
    r.ActivePanel = 1;
    r.SetStatusBarText("Ready");
    r.SetTaskText("Loading");
    r.SetStatusBarText("Ready");
    r.BeginTask(10);
    EXPECT_EQ(bar.maximum(), 9);
    EXPECT_EQ(status.PanelText(1), "Loading");
    r.SetProgress(7);
    EXPECT_EQ(r.GetProgress(), 7);
    r.EndTask();
    EXPECT_EQ(status.PanelText(1), "Ready");
    EXPECT_EQ(r.GetProgress(), 0);
    EXPECT_EQ(status.PanelText(0), "");
}

TEST(ProgressReporter, SimpleModeAndMissingPanel)
{
    PanelStatusBar status;
    TL1ProgressBarStatusReporter r(nullptr, &status);
    status.SetSimplePanel(true);
    r.SetStatusBarText("Simple");
    EXPECT_EQ(r.GetStatusBarText(), "Simple");
    EXPECT_EQ(r.GetProgress(), 0);
    status.SetSimplePanel(false);
    try {
        r.SetStatusBarText("x");
        FAIL();
    } catch (const Exception &e) {
        EXPECT_NE(e.Message().find("TL1ProgressBarStatusReporter.SetStatusBarText"), std::string::npos);
        EXPECT_NE(e.Message().find("fStatusBar.Panels.Count > ActivePanel"), std::string::npos);
    }
    TL1ProgressBarStatusReporter none;
    none.SetStatusBarText("ignored");
    EXPECT_EQ(none.GetStatusBarText(), "");
}

TEST(ProgressReporter, ANegativeActivePanelIsRefusedLikeOnePastTheEnd)
{
    PanelStatusBar status;
    status.AddPanel();
    TL1ProgressBarStatusReporter r(nullptr, &status);
    for (int panel : {-1, 1}) {
        r.ActivePanel = panel;
        EXPECT_THROW(r.SetStatusBarText("x"), Exception) << panel;
        EXPECT_THROW(r.GetStatusBarText(), Exception) << panel;
    }
    r.ActivePanel = 0;
    r.SetStatusBarText("x");
    EXPECT_EQ(r.GetStatusBarText(), "x");
}

TEST(ProgressReporter, TheWindowThatOwnsTheBarsInstallsIt)
{
    EXPECT_EQ(&CurrentStatusReporter(), &DefaultStatusReporter());
    {
        auto bar = std::make_unique<QProgressBar>();
        PanelStatusBar status;
        status.SetSimplePanel(true);
        ProgressBarReporterInstallation installed(bar.get(), &status);
        EXPECT_EQ(&CurrentStatusReporter(), &ProgressBarStatusReporter());
        CurrentStatusReporter().SetStatusBarText("Loading");
        EXPECT_EQ(status.SimpleText(), "Loading");
    }
    // The window is gone: the plain reporter is current again and the bars are forgotten.
    EXPECT_EQ(&CurrentStatusReporter(), &DefaultStatusReporter());
    ProgressBarStatusReporter().SetProgress(3);
    EXPECT_EQ(ProgressBarStatusReporter().GetStatusBarText(), "");
}

#include "browser/support/L1UserInterface.h"

#include <QGuiApplication>

TEST(QtServices, WaitCursorShowsHourglassUntilOutermostTurnOff)
{
    L1InstallQtServices();
    // The plain reporter stays current until a window with a progress bar installs its own.
    EXPECT_EQ(&CurrentStatusReporter(), &DefaultStatusReporter());
    {
        WaitCursorBracket outer;
        {
            WaitCursorBracket inner;
            ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    TL1WaitCursor::SetHook(nullptr);
}

#include "browser/support/L1ListBoxes.h"

#include <QListView>
#include <QStringListModel>

TEST(ListBoxes, SelectByTextPointAndKeys)
{
    QStringListModel model({"TButton", "TEdit", "TLabel"});
    QListView view;
    view.setModel(&model);
    view.resize(200, 200);
    EXPECT_EQ(SelectedListText(&view), "");
    EXPECT_TRUE(SelectListItem(&view, "TEdit"));
    EXPECT_EQ(SelectedListText(&view), "TEdit");
    // Names compare without regard to letter case; an entry spelt exactly so comes first.
    EXPECT_TRUE(SelectListItem(&view, "tlabel"));
    EXPECT_EQ(SelectedListText(&view), "TLabel");
    EXPECT_FALSE(SelectListItem(&view, "TMemo"));
    QStringListModel twins({"Tedit", "TEdit"});
    view.setModel(&twins);
    EXPECT_TRUE(SelectListItem(&view, "TEdit"));
    EXPECT_EQ(view.currentIndex().row(), 1);
    view.setModel(&model);
    QRect first = view.visualRect(model.index(0, 0));
    EXPECT_EQ(SelectListItemAt(&view, first.center()), 0);
    EXPECT_EQ(SelectListItemAt(&view, QPoint(5, 190)), -1);
    int runs = 0;
    EXPECT_TRUE(ListKeyAsDoubleClick(&view, 13, [&] { ++runs; }));
    EXPECT_TRUE(ListKeyAsDoubleClick(&view, 32, [&] { ++runs; }));
    EXPECT_FALSE(ListKeyAsDoubleClick(&view, 65, [&] { ++runs; }));
    EXPECT_FALSE(ListKeyAsDoubleClick(&view, 13, nullptr));
    EXPECT_EQ(runs, 2);
}
