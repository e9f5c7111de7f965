#include "browser/support/L1miscProgressBar.h"
#include "platform/ui/PanelStatusBar.h"

#include <QProgressBar>

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

#include "browser/support/L1UserInterface.h"

#include <QGuiApplication>

TEST(QtServices, WaitCursorShowsHourglassUntilOutermostTurnOff)
{
    L1InstallQtServices();
    EXPECT_EQ(&CurrentStatusReporter(), &ProgressBarStatusReporter());
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
    SetCurrentStatusReporter(nullptr);
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
    EXPECT_FALSE(SelectListItem(&view, "tedit"));
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
