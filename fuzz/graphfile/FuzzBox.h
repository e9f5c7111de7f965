#pragma once
// What both graph readers need: a GUI application for fonts and pictures (offscreen) and the stored classes.

#include "kavgraph/KVObjsDiagram.h"

#include <QGuiApplication>

using namespace kavgraph;

// Each target includes this once: it starts the application before the first input.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    return 0;
}
