#pragma once
// What both graph readers need: a GUI application for the box (offscreen) and the stored classes.

#include "kavgraph/KVObjsBox.h"

#include <QApplication>

using namespace kavgraph;

// Each target includes this once: it starts the application before the first input.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    return 0;
}
