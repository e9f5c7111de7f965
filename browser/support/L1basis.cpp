// Reports, status reporters, the wait cursor, message boxes and the small text routines.

#include "browser/support/L1basis.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Prompts.h"

#include <cstdio>

const std::string CrLf = "\r\n";

// ---- Reports ------------------------------------------------------------------------

std::string PreconditionViolatedText(const std::string &routine, const std::string &message)
{
    return "Precondition violated in: " + routine + CrLf + CrLf + message + CrLf + CrLf +
           "This is most likely a bug!" + CrLf + CrLf + "Contact support if this event is utterly surprising!";
}

std::string UnexpectedErrorText(const std::string &routine, const std::string &message)
{
    return "Unknown error occurred in " + routine + "." + CrLf + CrLf + message + CrLf + CrLf +
           "Contact support if this message is completely unexpected!";
}

void CheckPrecondition(bool condition, const std::string &routine, const std::string &conditionText)
{
    if (!condition)
        PreconditionViolated(routine, "The following condition was not satisfied:" + CrLf + conditionText);
}

void PreconditionViolated(const std::string &routine, const std::string &message)
{
    throw Exception(PreconditionViolatedText(routine, message));
}

void UnexpectedError(const std::string &routine, const std::string &message)
{
    throw Exception(UnexpectedErrorText(routine, message));
}

void NotImplementedYet(const std::string &feature)
{
    ShowInformation("Sorry, this feature/command is not implemented yet:" + CrLf + CrLf + feature + CrLf + CrLf +
                    "If it seems like we've totally forgotten this feature, please contact support!");
    SilentAbort();
}

void SilentAbort()
{
    throw EAbort("You're not supposed to see this message!" + CrLf + CrLf + "Contact Support!");
}

// ---- Message boxes --------------------------------------------------------------------

void ShowInformation(const std::string &text) { CurrentPrompts().Information(text); }

bool ConfirmOkCancel(const std::string &text) { return CurrentPrompts().ConfirmOkCancel(text); }

// ---- Status reporters -------------------------------------------------------------------

namespace {
TL1StatusReporter gDefaultReporter;
TL1StatusReporter *gCurrentReporter = nullptr;
} // namespace

TL1StatusReporter &DefaultStatusReporter() { return gDefaultReporter; }
TL1StatusReporter &CurrentStatusReporter() { return gCurrentReporter ? *gCurrentReporter : gDefaultReporter; }

TL1StatusReporter *SetCurrentStatusReporter(TL1StatusReporter *r)
{
    TL1StatusReporter *previous = gCurrentReporter;
    gCurrentReporter = r;
    return previous;
}

// ---- Wait cursor ------------------------------------------------------------------------

namespace {
TL1WaitCursor::Hook gWaitHook = nullptr;
}

void TL1WaitCursor::SetHook(Hook hook) { gWaitHook = hook; }

void TL1WaitCursor::TurnOn()
{
    ++fCounter;
    if (gWaitHook)
        gWaitHook(true);
}

void TL1WaitCursor::TurnOff()
{
    --fCounter;
    CheckPrecondition(fCounter >= 0, "TL1WaitCursor.TurnOff", "unbalanced On Off" + CrLf + "(Too many offs)");
    if (fCounter < 1 && gWaitHook)
        gWaitHook(false);
}

TL1WaitCursor &WaitCursor()
{
    static TL1WaitCursor cursor;
    return cursor;
}

WaitCursorBracket::~WaitCursorBracket() noexcept(false)
{
    if (std::uncaught_exceptions() == fUncaught) {
        WaitCursor().TurnOff();
        return;
    }
    try {
        WaitCursor().TurnOff();
    } catch (const Exception &e) {
        DebugWindow().WriteError(e.Message());
    }
}

// ---- Small text routines ------------------------------------------------------------------

namespace {
bool IsBlankChar(char c) { return static_cast<unsigned char>(c) <= ' '; }
} // namespace

std::string Trim(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && IsBlankChar(text[b]))
        ++b;
    while (e > b && IsBlankChar(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

bool IsBlank(std::string_view text) { return Trim(text).empty(); }

std::string TextBefore(const std::string &text, const std::string &part)
{
    size_t p = text.find(part);
    return p == std::string::npos ? text : text.substr(0, p);
}

std::string TextBetween(const std::string &text, const std::string &opening, const std::string &closing)
{
    size_t close = text.find(closing);
    if (close == std::string::npos || opening.empty())
        return {};
    size_t open = text.rfind(opening, close < opening.size() ? std::string::npos : close - opening.size());
    if (close < opening.size() || open == std::string::npos)
        return {};
    size_t start = open + opening.size();
    return text.substr(start, close - start);
}

int LastPos(const std::string &part, const std::string &text)
{
    if (part.empty())
        return 0;
    size_t p = text.rfind(part);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string LeftChars(const std::string &text, int n) { return n <= 0 ? std::string() : text.substr(0, n); }

std::string RightChars(const std::string &text, int n)
{
    if (n <= 0)
        return {};
    return static_cast<size_t>(n) >= text.size() ? text : text.substr(text.size() - n);
}

std::string WithTrailingBackslash(const std::string &path)
{
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

std::string WithoutTrailingBackslash(const std::string &path)
{
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

std::string FileTitle(const std::string &path)
{
    // ":" is an ordinary character in file names here, not a drive separator.
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string HexStatus(uint32_t value)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", value);
    return buf;
}

// ---- File dates -------------------------------------------------------------------------

std::time_t L1FileDate(const std::string &fileName)
{
    std::time_t time = 0;
    switch (fsys::LastWriteTime(fileName, time)) {
    case fsys::TimeResult::Ok: return time;
    case fsys::TimeResult::NoTime: UnexpectedError("L1FileDate", "FileGetDate returned -1.");
    case fsys::TimeResult::CannotOpen: break;
    }
    if (fsys::Exists(fileName))
        UnexpectedError("L1FileDate", "Couldn't open file:" + fileName + ".");
    UnexpectedError("L1FileDate", "Tried to get the DateTime of the file: " + fileName + ", but this file doesn't exist.");
}

std::time_t L1FileDateIfExists(const std::string &fileName)
{
    if (!fsys::Exists(fileName))
        return 0;
    return L1FileDate(fileName);
}
