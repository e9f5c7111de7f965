// Fonts, palettes and pictures need a GUI application (offscreen under ctest); the library's
// diagrams, files and tool need no widgets, and this program keeps them honest about that.

#include "kavgraph/KVObjs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

// A widget application here would hide a diagram or file operation that needs one.
TEST(Application, IsNoWidgetApplication)
{
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(QCoreApplication::instance()->inherits("QApplication"));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // The classes graph files name, as an application registers them.
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
