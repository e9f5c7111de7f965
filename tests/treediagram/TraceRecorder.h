#pragma once
// The trace of the diagram tests: a debug-output server that records every line it receives
// (errors as "error: TEXT", sections as "begin: TEXT" and "end: TEXT"), installed at start.

#include "browser/support/L1DebugWindow.h"

#include <memory>
#include <string>
#include <vector>

inline std::vector<std::string> &TraceLines()
{
    static std::vector<std::string> lines;
    return lines;
}

class RecordingServer : public IDebugWindow {
public:
    void WriteLine(const std::string &text) override { TraceLines().push_back(text); }
    void WriteError(const std::string &text) override { TraceLines().push_back("error: " + text); }
    int MajorVersion() override { return 5; }
    void BeginSection(const std::string &text) override { TraceLines().push_back("begin: " + text); }
    void EndSection(const std::string &text) override { TraceLines().push_back("end: " + text); }
};

inline const bool kTraceInstalled = [] {
    SetDebugWindowFactory([] { return std::make_unique<RecordingServer>(); });
    return true;
}();
