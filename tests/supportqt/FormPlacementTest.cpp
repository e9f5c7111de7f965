#include "browser/support/L1Registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const std::string kKey = "\\Software\\Vardelin\\QuillmarkBrowser\\TestForm";

void Store(std::initializer_list<std::pair<const char *, int>> values)
{
    TL1Registry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    for (auto [name, value] : values)
        reg.WriteInteger(name, value);
    reg.Flush();
}

void Forget()
{
    TL1Registry reg;
    if (reg.OpenKey(kKey, false))
        for (const char *n : {"Left", "Top", "Width", "Height", "Maximized"})
            reg.DeleteValue(n);
}

TEST(FormPlacement, SaveThenLoadRoundTrips)
{
    Forget();
    QWidget a;
    a.setGeometry(40, 50, 300, 200);
    ASSERT_TRUE(L1Form_SaveStateToRegistry(&a, kKey));
    QWidget b;
    b.setGeometry(0, 0, 120, 120);
    ASSERT_TRUE(L1Form_LoadStateFromRegistry(&b, kKey));
    EXPECT_EQ(b.geometry(), QRect(40, 50, 300, 200));
}

TEST(FormPlacement, ClampsToScreenAndMinimumSize)
{
    Forget();
    QSize screen = QGuiApplication::primaryScreen()->size();
    Store({{"Left", -50}, {"Top", 100000}, {"Width", 20}, {"Height", 99}});
    QWidget w;
    w.setGeometry(10, 10, 300, 300);
    ASSERT_TRUE(L1Form_LoadStateFromRegistry(&w, kKey));
    EXPECT_EQ(w.x(), 0);
    EXPECT_EQ(w.y(), screen.height() - 100);
    EXPECT_EQ(w.width(), 100);
    EXPECT_EQ(w.height(), 100);
}

TEST(FormPlacement, MissingKeyOrValuesLeaveTheForm)
{
    Forget();
    QWidget w;
    w.setGeometry(10, 20, 300, 200);
    EXPECT_FALSE(L1Form_LoadStateFromRegistry(&w, kKey));
    Store({{"Width", 400}});
    EXPECT_TRUE(L1Form_LoadStateFromRegistry(&w, kKey));
    EXPECT_EQ(w.geometry(), QRect(10, 20, 400, 200));
}

TEST(FormPlacement, MaximizedAppliesNothingElse)
{
    Forget();
    Store({{"Left", 5}, {"Maximized", 1}});
    QWidget w;
    w.setGeometry(30, 30, 200, 200);
    ASSERT_TRUE(L1Form_LoadStateFromRegistry(&w, kKey));
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
}

} // namespace
