#pragma once
// The diagnostic trace: lines, error lines and sections sent to an optional external
// debug-output window. Every call does nothing while the client is disabled and swallows
// every error of the server, so tracing without a server costs nothing and shows nothing.

#include <functional>
#include <memory>
#include <string>

// The server's interface. Every method may throw; the client swallows it.
class IDebugWindow {
public:
    virtual ~IDebugWindow() = default;
    virtual void WriteLine(const std::string &text) = 0;
    virtual void WriteError(const std::string &text) = 0;
    virtual int MajorVersion() = 0;
    virtual void BeginSection(const std::string &text) = 0;
    virtual void EndSection(const std::string &text) = 0;
};

// Creates the server object; returns nullptr or throws when no server is registered.
// A program installs the factory at start (the GUI and the trace-aware tools install the D-Bus
// one); without a factory there is no server. The program-wide client may already exist then
// (anything may trace before the program installs its services): if it is not connected, it
// connects through the new factory, keeping its application name.
using DebugWindowFactory = std::function<std::unique_ptr<IDebugWindow>()>;
void SetDebugWindowFactory(DebugWindowFactory factory);

class TL1DebugWindow {
public:
    // Connects through the installed factory and checks the server's major version.
    TL1DebugWindow();
    // Connects to the given server (nullptr: disabled).
    explicit TL1DebugWindow(std::unique_ptr<IDebugWindow> server);

    void WriteLine(const std::string &text);
    void WriteError(const std::string &text);
    void BeginSection(const std::string &text);
    void EndSection(const std::string &text);
    int GetMajorVersion();

    // Connects through the installed factory, unless already connected.
    void Connect();

    bool Enabled() const { return fEnabled; }
    const std::string &ApplicationName() const { return fApplicationName; }
    void SetApplicationName(const std::string &name) { fApplicationName = name; }

private:
    void Start(std::unique_ptr<IDebugWindow> server);

    bool fEnabled = false;
    std::unique_ptr<IDebugWindow> fServer;
    std::string fApplicationName = "Application unspecified";
};

// The program-wide trace client, created on first use; it connects when created and again when a
// factory is installed while it is not connected.
TL1DebugWindow &DebugWindow();

// Pairs BeginSection and EndSection with the same text around a scope.
class TraceSection {
public:
    explicit TraceSection(std::string text) : fText(std::move(text)) { DebugWindow().BeginSection(fText); }
    ~TraceSection() { DebugWindow().EndSection(fText); }
    TraceSection(const TraceSection &) = delete;
    TraceSection &operator=(const TraceSection &) = delete;

private:
    std::string fText;
};
