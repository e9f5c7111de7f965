#pragma once
// What both graph readers need: a GUI application for the box (offscreen) and the stored classes.

#include "kavgraph/KVObjsBox.h"

#include <QApplication>

inline void StartFuzzApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
}
