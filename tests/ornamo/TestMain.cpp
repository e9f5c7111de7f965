// The editor's windows need a widget application (offscreen under ctest) and settings kept away
// from the user's own.

#include "platform/ui/Settings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    UseSettingsFolder(settings.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
