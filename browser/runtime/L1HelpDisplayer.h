#pragma once
// Help topics: the identifier scheme every help file built for the browser follows, and the
// displayers that hand a help engine the commands to show a topic. The engine is an interface:
// the browser installs its own help viewer, tests a recording engine, and a program without
// one gets an engine that shows nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TL1OPascalSymbolTable;

using THelpWindowHandle = std::uintptr_t;

// The help engine's commands.
constexpr std::uint32_t HELP_CONTEXT = 0x0001;
constexpr std::uint32_t HELP_QUIT = 0x0002;
constexpr std::uint32_t HELP_CONTENTS = 0x0003;
constexpr std::uint32_t HELP_FORCEFILE = 0x0009;
constexpr std::uint32_t HELP_COMMAND = 0x0102;

// The engine behind the help function. For HELP_COMMAND, data is the address of the
// zero-terminated macro text, valid during the call only.
class IHelpEngine {
public:
    virtual ~IHelpEngine() = default;
    virtual bool WinHelp(THelpWindowHandle window, const std::string &helpFile, std::uint32_t command,
                         std::uintptr_t data) = 0;
};

// The installed engine; one that shows nothing and reports failure until a program installs one.
IHelpEngine &CurrentHelpEngine();
// Installs engine (not owned; nullptr restores the default). Returns the previous one.
IHelpEngine *InstallHelpEngine(IHelpEngine *engine);

// Records every call in order, for tests and for tools that only want the commands.
class TRecordingHelpEngine : public IHelpEngine {
public:
    struct Call {
        THelpWindowHandle window;
        std::string helpFile;
        std::uint32_t command;
        std::uintptr_t data; // 0 for HELP_COMMAND: the macro is in macro
        std::string macro;
    };
    std::vector<Call> calls;
    bool result = true;

    bool WinHelp(THelpWindowHandle window, const std::string &helpFile, std::uint32_t command,
                 std::uintptr_t data) override;
};

// The context strings of the help files.
std::string UnitTopicId(std::string_view unit);
std::string ClassTopicId(std::string_view className);
std::string InterfaceTopicId(std::string_view interfaceName);
std::string MemberTopicId(std::string_view owner, std::string_view member);
std::string RoutineTopicId(std::string_view unit, std::string_view routine);

// The macro that jumps to a topic, as sent: cut at 255 characters.
std::string JumpIdMacro(std::string_view topicId);
// The context string of a JumpID macro of the current help file; empty when the text is not one.
// A macro cut short still gives what it holds of the identifier.
std::string ContextOfJumpIdMacro(std::string_view macro);

class TL1SimpleHelpDisplayer {
public:
    virtual ~TL1SimpleHelpDisplayer() = default;

    void SetHelpFile(THelpWindowHandle window, const std::string &helpFile);
    const std::string &HelpFile() const { return fHelpFile; }
    THelpWindowHandle Window() const { return fWindow; }

    // One call of the help engine with the stored window and file.
    bool HelpCommand(std::uint32_t command, std::uintptr_t data);
    // Forces the help file, then jumps to the topic.
    void JumpToTopic(const std::string &topicId);

private:
    std::string fHelpFile;
    THelpWindowHandle fWindow = 0;
};

// Checks what the symbol table knows before jumping, and says so when a topic is elsewhere.
class TL1HelpDisplayer : public TL1SimpleHelpDisplayer {
public:
    // The current symbol table (not owned); set after each database is opened.
    void SetSymbolTable(TL1OPascalSymbolTable *table) { fSymbolTable = table; }
    TL1OPascalSymbolTable *SymbolTable() const { return fSymbolTable; }

    void ShowUnitTopic(const std::string &unit);
    void ShowClassTopic(const std::string &className);
    void ShowInterfaceTopic(const std::string &interfaceName);
    void ShowPropertyTopic(bool ownerIsClass, const std::string &owner, const std::string &member);
    void ShowMethodTopic(bool ownerIsClass, const std::string &owner, const std::string &member);
    void ShowEventTopic(bool ownerIsClass, const std::string &owner, const std::string &member);
    void ShowRoutineTopic(const std::string &unit, const std::string &routine);

    // The unit whose topic ShowRoutineTopic opens; empty when no unit declares the routine.
    std::string UnitForRoutine(const std::string &unit, const std::string &routine) const;

private:
    TL1OPascalSymbolTable *fSymbolTable = nullptr;
};

// The two information texts.
extern const char kOtherHelpFileText[];
std::string RoutineNotFoundText(const std::string &routine);
