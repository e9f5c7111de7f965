// The diagnostic trace client.

#include "browser/support/L1DebugWindow.h"

namespace {
DebugWindowFactory &Factory()
{
    static DebugWindowFactory factory;
    return factory;
}

std::unique_ptr<IDebugWindow> CreateServer()
{
    try {
        if (Factory())
            return Factory()();
    } catch (...) {
    }
    return nullptr;
}

TL1DebugWindow *gProgramWide = nullptr;
} // namespace

void SetDebugWindowFactory(DebugWindowFactory factory)
{
    Factory() = std::move(factory);
    if (gProgramWide)
        gProgramWide->Connect();
}

TL1DebugWindow::TL1DebugWindow() { Start(CreateServer()); }

void TL1DebugWindow::Connect()
{
    if (!fEnabled)
        Start(CreateServer());
}

TL1DebugWindow::TL1DebugWindow(std::unique_ptr<IDebugWindow> server) { Start(std::move(server)); }

void TL1DebugWindow::Start(std::unique_ptr<IDebugWindow> server)
{
    fServer = std::move(server);
    if (!fServer)
        return;
    try {
        fServer->WriteLine("Service running...");
        fEnabled = true;
        if (GetMajorVersion() < 5) {
            const std::string text = "This version requires major version 5 of DebugWindow (or newer version).";
            fServer->WriteLine(text);
            fServer->WriteError(text);
            fEnabled = false;
        }
    } catch (...) {
        fEnabled = false;
    }
    if (!fEnabled)
        fServer.reset();
}

void TL1DebugWindow::WriteLine(const std::string &text)
{
    if (!fEnabled)
        return;
    try {
        fServer->WriteLine(text);
    } catch (...) {
    }
}

void TL1DebugWindow::WriteError(const std::string &text)
{
    if (!fEnabled)
        return;
    try {
        fServer->WriteError(text + "   [" + fApplicationName + "]");
    } catch (...) {
    }
}

void TL1DebugWindow::BeginSection(const std::string &text)
{
    if (!fEnabled)
        return;
    try {
        fServer->BeginSection(text);
    } catch (...) {
    }
}

void TL1DebugWindow::EndSection(const std::string &text)
{
    if (!fEnabled)
        return;
    try {
        fServer->EndSection(text);
    } catch (...) {
    }
}

int TL1DebugWindow::GetMajorVersion()
{
    if (!fEnabled)
        return 0;
    try {
        return fServer->MajorVersion();
    } catch (...) {
        return 0;
    }
}

TL1DebugWindow &DebugWindow()
{
    static TL1DebugWindow window;
    gProgramWide = &window;
    return window;
}
