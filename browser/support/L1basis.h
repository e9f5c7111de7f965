#pragma once
// The browser's support layer: fixed error reports, exceptions, status reporters,
// the counted wait cursor, message boxes and small text and list routines.
// Plain C++: the GUI installs its prompts and its wait-cursor hook at start.

#include "platform/core/Exception.h"
#include "platform/text/Ascii.h"

#include <cstdint>
#include <ctime>
#include <exception>
#include <string>
#include <string_view>

// The library's base exception.
class E_Vardelin : public Exception {
public:
    using Exception::Exception;
};

// CR LF
extern const std::string CrLf;

// ---- Reports ----------------------------------------------------------------------
void CheckPrecondition(bool condition, const std::string &routine, const std::string &conditionText);
[[noreturn]] void PreconditionViolated(const std::string &routine, const std::string &message);
[[noreturn]] void UnexpectedError(const std::string &routine, const std::string &message);
[[noreturn]] void NotImplementedYet(const std::string &feature);
[[noreturn]] void SilentAbort();

// The composed texts, for callers that need them without raising.
std::string PreconditionViolatedText(const std::string &routine, const std::string &message);
std::string UnexpectedErrorText(const std::string &routine, const std::string &message);

// ---- Message boxes (through the installed Prompts) ----------------------------------
void ShowInformation(const std::string &text);
bool ConfirmOkCancel(const std::string &text);

// ---- Status reporters ------------------------------------------------------------
class IvdStatusReporter {
public:
    virtual ~IvdStatusReporter() = default;
    virtual void SetProgress(int position) = 0;
    virtual void SetStatusBarText(const std::string &text) = 0;
};

class TL1StatusReporter : public IvdStatusReporter {
public:
    void SetProgress(int) override {}
    void SetStatusBarText(const std::string &) override {}
    virtual int GetProgress() { return 0; }
    virtual void SetTaskText(const std::string &) {}
    virtual std::string GetTaskText() { return {}; }
    virtual std::string GetStatusBarText() { return {}; }
    virtual void BeginTask(int /*stepCount*/) {}
    virtual void EndTask() {}
};

// The program-wide reporter (a TL1StatusReporter until a program installs another).
TL1StatusReporter &CurrentStatusReporter();
TL1StatusReporter &DefaultStatusReporter();
// Installs r (not owned); nullptr restores the default. Returns the previous one.
TL1StatusReporter *SetCurrentStatusReporter(TL1StatusReporter *r);

// ---- Wait cursor ------------------------------------------------------------------
class TL1WaitCursor {
public:
    // Called with true when the hourglass should show, false when it should go.
    using Hook = void (*)(bool busy);

    void TurnOn();
    void TurnOff();
    int Counter() const { return fCounter; }
    static void SetHook(Hook hook);

private:
    int fCounter = 0;
};

TL1WaitCursor &WaitCursor();

// Brackets work with TurnOn and a guaranteed TurnOff. An imbalance found by the TurnOff is
// raised as usual, except while another exception unwinds the stack: raising then would end the
// program, so the report goes to the trace as an error line instead.
class WaitCursorBracket {
public:
    WaitCursorBracket() : fUncaught(std::uncaught_exceptions()) { WaitCursor().TurnOn(); }
    ~WaitCursorBracket() noexcept(false);
    WaitCursorBracket(const WaitCursorBracket &) = delete;
    WaitCursorBracket &operator=(const WaitCursorBracket &) = delete;

private:
    int fUncaught;
};

// ---- Small text routines (8-bit strings; positions 1-based) -------------------------
bool IsBlank(std::string_view text);
std::string TextBefore(const std::string &text, const std::string &part);
std::string TextBetween(const std::string &text, const std::string &opening, const std::string &closing);
int LastPos(const std::string &part, const std::string &text);
std::string LeftChars(const std::string &text, int n);
std::string RightChars(const std::string &text, int n);
std::string WithTrailingBackslash(const std::string &path);
std::string WithoutTrailingBackslash(const std::string &path);
// The file name without folder ("/" or "\\" before it) and without its extension.
std::string FileTitle(const std::string &path);
inline bool SameText(std::string_view a, std::string_view b) { return text::AsciiSameText(a, b); }
std::string Trim(std::string_view text);
// 8 upper-case hexadecimal digits
std::string HexStatus(uint32_t value);

inline int L1Max(int a, int b) { return a > b ? a : b; }
inline int L1Min(int a, int b) { return a < b ? a : b; }
inline int L1Clamp(int low, int value, int high) { return value < low ? low : value > high ? high : value; }

// Raises the general exception with the message when the storage reference is missing.
inline void RaiseIfNoStorage(const void *storage, const std::string &message)
{
    if (!storage)
        throw Exception(message);
}

// ---- File dates ------------------------------------------------------------------
// The file's last-write time as local time (seconds since the epoch).
std::time_t L1FileDate(const std::string &fileName);
// 0 for a missing file.
std::time_t L1FileDateIfExists(const std::string &fileName);
