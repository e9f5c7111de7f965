// The diagram box is a widget: a GUI application (offscreen under ctest).

#include "kavgraph/KVObjs.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace kavgraph;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
