#pragma once
// Shared pieces of the application tests: a trace server that records, and a small library
// written as a runtime database.

#include "browser/support/L1DebugWindow.h"
#include "tests/fixtures/QmkFixture.h"
#include "tests/fixtures/StreamFixture.h"

#include <string>
#include <vector>

namespace fixture {

struct TraceRecord {
    std::vector<std::string> lines, errors;
    void Clear()
    {
        lines.clear();
        errors.clear();
    }
};
TraceRecord &Trace();

class RecordingDebugWindow : public IDebugWindow {
public:
    void WriteLine(const std::string &text) override { Trace().lines.push_back(text); }
    void WriteError(const std::string &text) override { Trace().errors.push_back(text); }
    int MajorVersion() override { return 5; }
    void BeginSection(const std::string &text) override { Trace().lines.push_back("> " + text); }
    void EndSection(const std::string &text) override { Trace().lines.push_back("< " + text); }
};

// Two units: Classes (TAlpha with members, TBeta without, interface IGamma) and Utils (routines
// only; Format is declared in both units).
inline void WriteSmallLibrary(const std::string &path, const std::string &extraClass = {})
{
    QmkDatabase db;
    TL1OPascalSymbolTable_Unit *classes = db.table.AddUnit("Classes");
    TL1OPascalSymbolTable_Class *alpha = classes->AddClass("TAlpha", "TObject");
    alpha->Properties.Add("Caption");
    alpha->Properties.Add("Width");
    alpha->Methods.Add("Paint");
    alpha->Events.Add("OnClick");
    classes->AddClass("TBeta", "TAlpha");
    if (!extraClass.empty())
        classes->AddClass(extraClass, "TObject");
    TL1OPascalSymbolTable_Interface *gamma = classes->AddInterface("IGamma", "IUnknown");
    gamma->Methods.Add("QueryGamma");
    gamma->Properties.Add("GammaValue");
    classes->AddRoutine("Format");
    TL1OPascalSymbolTable_Unit *utils = db.table.AddUnit("Utils");
    utils->AddRoutine("Format");
    utils->AddRoutine("IntToStr");
    // Both classes' diagrams in both directions; TAlpha's tree also names a class of another file.
    for (bool horizontal : {true, false}) {
        Node tree{"TAlpha", {0, 0, 40, 20}, {{"TBeta", {0, 40, 40, 60}, {}}, {"TElsewhere", {50, 40, 90, 60}, {}}}};
        db.AddDiagram("TAlpha", tree, horizontal);
        db.AddDiagram("TBeta", tree, horizontal);
    }
    db.Write(path);
}

} // namespace fixture
