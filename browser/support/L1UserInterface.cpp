// Installs the Qt implementations of the support layer's services.

#include "browser/support/L1UserInterface.h"

#include "browser/support/L1DebugWindowDBus.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"

#include <QGuiApplication>

void L1InstallQtServices(QWidget *dialogParent)
{
    static QtPrompts prompts;
    prompts = QtPrompts(dialogParent);
    InstallPrompts(&prompts);
    TL1WaitCursor::SetHook(SetBusyCursor);
    UseDebugWindowService();
    DebugWindow().SetApplicationName(ToCp1252(QGuiApplication::applicationDisplayName()));
}
