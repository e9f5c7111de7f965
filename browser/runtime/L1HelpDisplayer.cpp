// Help topics: identifiers, the JumpID macro and the displayers' checks.

#include "browser/runtime/L1HelpDisplayer.h"

#include "browser/support/L1basis.h"
#include "browser/symbols/L1OPascalSymbolTable.h"

#include <cstdio>

namespace {

class NoHelpEngine : public IHelpEngine {
public:
    bool WinHelp(THelpWindowHandle, const std::string &, std::uint32_t, std::uintptr_t) override { return false; }
};

NoHelpEngine gNoHelpEngine;
IHelpEngine *gHelpEngine = &gNoHelpEngine;

std::string Join(std::string_view a, std::string_view b, std::string_view c = {})
{
    std::string s;
    s.reserve(a.size() + b.size() + c.size());
    return s.append(a).append(b).append(c);
}

} // namespace

IHelpEngine &CurrentHelpEngine() { return *gHelpEngine; }

IHelpEngine *InstallHelpEngine(IHelpEngine *engine)
{
    IHelpEngine *previous = gHelpEngine == &gNoHelpEngine ? nullptr : gHelpEngine;
    gHelpEngine = engine ? engine : &gNoHelpEngine;
    return previous;
}

bool TRecordingHelpEngine::WinHelp(THelpWindowHandle window, const std::string &helpFile, std::uint32_t command,
                                   std::uintptr_t data)
{
    Call call{window, helpFile, command, data, {}};
    if (command == HELP_COMMAND) {
        call.data = 0;
        if (data)
            call.macro = reinterpret_cast<const char *>(data);
    }
    calls.push_back(std::move(call));
    return result;
}

const char kOtherHelpFileText[] = "Sorry, this version of Quillmark doesn't support jumping to another Help file. "
                                  "\r\n\r\nA future version will probably support this.";

std::string RoutineNotFoundText(const std::string &routine)
{
    return "Couldn't find unit containing the routine: " + routine + " in this help file.";
}

std::string UnitTopicId(std::string_view unit) { return Join("IDH_Unit_", unit); }
std::string ClassTopicId(std::string_view className) { return Join("IDH_Class_", className); }
std::string InterfaceTopicId(std::string_view interfaceName) { return Join("IDH_Interface_", interfaceName); }
std::string MemberTopicId(std::string_view owner, std::string_view member) { return Join("IDH_", owner, "_") + std::string(member); }
std::string RoutineTopicId(std::string_view unit, std::string_view routine) { return Join("IDH_", unit, "_") + std::string(routine); }

std::string JumpIdMacro(std::string_view topicId)
{
    std::string macro = Join("JumpID(\"\",\"", topicId, "\")");
    if (macro.size() > 255)
        macro.resize(255);
    return macro;
}

std::string ContextOfJumpIdMacro(std::string_view macro)
{
    constexpr std::string_view kStart = "JumpID(\"\",\"";
    if (macro.substr(0, kStart.size()) != kStart)
        return {};
    std::string_view rest = macro.substr(kStart.size());
    if (rest.size() >= 2 && rest.substr(rest.size() - 2) == "\")")
        rest.remove_suffix(2);
    else if (!rest.empty() && rest.back() == '"')
        rest.remove_suffix(1);
    return std::string(rest);
}

// ---- TL1SimpleHelpDisplayer ----------------------------------------------------------------

void TL1SimpleHelpDisplayer::SetHelpFile(THelpWindowHandle window, const std::string &helpFile)
{
    fWindow = window;
    fHelpFile = helpFile;
}

bool TL1SimpleHelpDisplayer::HelpCommand(std::uint32_t command, std::uintptr_t data)
{
    return CurrentHelpEngine().WinHelp(fWindow, fHelpFile, command, data);
}

void TL1SimpleHelpDisplayer::JumpToTopic(const std::string &topicId)
{
    HelpCommand(HELP_FORCEFILE, 0);
    // The macro is formatted into a buffer of 255 characters; longer ones are cut there.
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "JumpID(\"\",\"%s\")", topicId.c_str());
    HelpCommand(HELP_COMMAND, reinterpret_cast<std::uintptr_t>(buffer));
}

// ---- TL1HelpDisplayer ----------------------------------------------------------------------

void TL1HelpDisplayer::ShowUnitTopic(const std::string &unit) { JumpToTopic(UnitTopicId(unit)); }

void TL1HelpDisplayer::ShowClassTopic(const std::string &className)
{
    // Without the class in this library its help is in another file.
    if (fSymbolTable && fSymbolTable->GetHasClass(className))
        JumpToTopic(ClassTopicId(className));
    else
        ShowInformation(kOtherHelpFileText);
}

void TL1HelpDisplayer::ShowInterfaceTopic(const std::string &interfaceName)
{
    if (fSymbolTable && fSymbolTable->GetHasInterface(interfaceName))
        JumpToTopic(InterfaceTopicId(interfaceName));
    else
        ShowInformation(kOtherHelpFileText);
}

void TL1HelpDisplayer::ShowPropertyTopic(bool, const std::string &owner, const std::string &member)
{
    JumpToTopic(MemberTopicId(owner, member));
}

void TL1HelpDisplayer::ShowMethodTopic(bool, const std::string &owner, const std::string &member)
{
    JumpToTopic(MemberTopicId(owner, member));
}

void TL1HelpDisplayer::ShowEventTopic(bool, const std::string &owner, const std::string &member)
{
    JumpToTopic(MemberTopicId(owner, member));
}

std::string TL1HelpDisplayer::UnitForRoutine(const std::string &unit, const std::string &routine) const
{
    if (!fSymbolTable)
        return {};
    if (const TL1OPascalSymbolTable_Unit *u = fSymbolTable->FindUnit(unit); u && u->GetHasRoutine(routine))
        return unit;
    return fSymbolTable->FindUnitOfRoutine(routine);
}

void TL1HelpDisplayer::ShowRoutineTopic(const std::string &unit, const std::string &routine)
{
    const std::string owner = UnitForRoutine(unit, routine);
    if (owner.empty())
        ShowInformation(RoutineNotFoundText(routine));
    else
        JumpToTopic(RoutineTopicId(owner, routine));
}
