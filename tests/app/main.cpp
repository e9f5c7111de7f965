// Test program of the browser application: a widget application with its settings in a
// temporary folder and a recording trace server.
#include "tests/app/AppFixture.h"

#include "platform/ui/Settings.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

fixture::TraceRecord &fixture::Trace()
{
    static TraceRecord record;
    return record;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    UseSettingsFolder(settings.path());
    SetDebugWindowFactory([] { return std::make_unique<fixture::RecordingDebugWindow>(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
