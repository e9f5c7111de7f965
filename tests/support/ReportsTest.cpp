#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"
#include "platform/core/Prompts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A trace server that records what reaches it.
struct RecordingServer : IDebugWindow {
    static inline std::vector<std::string> lines;
    void WriteLine(const std::string &text) override { lines.push_back(text); }
    void WriteError(const std::string &text) override { lines.push_back("error: " + text); }
    int MajorVersion() override { return 5; }
    void BeginSection(const std::string &text) override { lines.push_back("begin: " + text); }
    void EndSection(const std::string &text) override { lines.push_back("end: " + text); }
};

bool Traced(const std::string &line)
{
    return std::find(RecordingServer::lines.begin(), RecordingServer::lines.end(), line) !=
           RecordingServer::lines.end();
}

// Runs first in this program: the program-wide trace client does not exist yet.
TEST(Trace, TheClientConnectsWhenTheProgramInstallsItsServiceAfterTheFirstTrace)
{
    DebugWindow().WriteLine("traced before the services are installed");
    EXPECT_FALSE(DebugWindow().Enabled());
    EXPECT_EQ(DebugWindow().ApplicationName(), "Application unspecified");

    SetDebugWindowFactory([] { return std::make_unique<RecordingServer>(); });
    DebugWindow().SetApplicationName("Quillmark Runtime Browser");
    EXPECT_TRUE(DebugWindow().Enabled());
    DebugWindow().WriteError("Couldn't open the file");
    EXPECT_TRUE(Traced("Service running..."));
    EXPECT_TRUE(Traced("error: Couldn't open the file   [Quillmark Runtime Browser]"));
    EXPECT_FALSE(Traced("traced before the services are installed"));

    // Installing again does not reconnect a connected client.
    RecordingServer::lines.clear();
    SetDebugWindowFactory([] { return std::make_unique<RecordingServer>(); });
    EXPECT_FALSE(Traced("Service running..."));
}

std::string MessageOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    return "(nothing raised)";
}

TEST(Reports, PreconditionTextIsExact)
{
    std::string m = MessageOf([] { CheckPrecondition(false, "TvdStream.SafeRead", "fComStream<>nil"); });
    EXPECT_EQ(m, "Precondition violated in: TvdStream.SafeRead\r\n"
                 "\r\n"
                 "The following condition was not satisfied:\r\n"
                 "fComStream<>nil\r\n"
                 "\r\n"
                 "This is most likely a bug!\r\n"
                 "\r\n"
                 "Contact support if this event is utterly surprising!");
    EXPECT_NO_THROW(CheckPrecondition(true, "X.Y", "a"));
}

TEST(Reports, UnexpectedErrorAndSilentAbortTexts)
{
    EXPECT_EQ(MessageOf([] { UnexpectedError("L1FileDate", "FileGetDate returned -1."); }),
              "Unknown error occurred in L1FileDate.\r\n\r\nFileGetDate returned -1.\r\n\r\n"
              "Contact support if this message is completely unexpected!");
    try {
        SilentAbort();
        FAIL();
    } catch (const EAbort &e) {
        EXPECT_EQ(e.Message(), "You're not supposed to see this message!\r\n\r\nContact Support!");
    }
}

TEST(Reports, NotImplementedYetShowsBoxThenAbortsSilently)
{
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    EXPECT_THROW(NotImplementedYet("Print"), EAbort);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Shown::Information);
    EXPECT_EQ(prompts.shown[0].text, "Sorry, this feature/command is not implemented yet:\r\n\r\nPrint\r\n\r\n"
                                     "If it seems like we've totally forgotten this feature, please contact support!");
}

TEST(WaitCursor, NestedBracketsAndImbalance)
{
    static std::vector<bool> calls;
    calls.clear();
    TL1WaitCursor::SetHook([](bool busy) { calls.push_back(busy); });
    TL1WaitCursor cursor;
    cursor.TurnOn();
    cursor.TurnOn();
    cursor.TurnOff();
    EXPECT_EQ(calls, (std::vector<bool>{true, true}));  // still busy after the inner bracket
    cursor.TurnOff();
    EXPECT_EQ(calls.back(), false);
    std::string m = MessageOf([&] { cursor.TurnOff(); });
    EXPECT_NE(m.find("TL1WaitCursor.TurnOff"), std::string::npos);
    EXPECT_NE(m.find("unbalanced On Off\r\n(Too many offs)"), std::string::npos);
    EXPECT_EQ(cursor.Counter(), -1);
    TL1WaitCursor::SetHook(nullptr);
}

TEST(WaitCursor, ABracketUnwoundByAnExceptionReportsTheImbalanceToTheTrace)
{
    ASSERT_TRUE(DebugWindow().Enabled()) << "needs the recording trace server of the first test";
    RecordingServer::lines.clear();
    const int before = WaitCursor().Counter();
    // The bracket's own TurnOff finds one TurnOff too many while an error unwinds the stack:
    // raising its report then would end the program.
    EXPECT_THROW(
        {
            WaitCursorBracket bracket;
            WaitCursor().TurnOff();
            WaitCursor().TurnOff();
        },
        Exception);
    EXPECT_EQ(WaitCursor().Counter(), before - 2);
    ASSERT_EQ(RecordingServer::lines.size(), 1u);
    EXPECT_NE(RecordingServer::lines[0].find("unbalanced On Off"), std::string::npos);
    while (WaitCursor().Counter() < before)
        WaitCursor().TurnOn();

    // Without an error in flight the bracket raises the report as TurnOff does.
    EXPECT_THROW(
        {
            WaitCursorBracket bracket;
            WaitCursor().TurnOff();
        },
        Exception);
    EXPECT_EQ(WaitCursor().Counter(), before - 1);
    WaitCursor().TurnOn();
}

TEST(FileDate, MissingFileReports)
{
    EXPECT_EQ(L1FileDateIfExists("/nonexistent/x.qmk"), 0);
    std::string m = MessageOf([] { L1FileDate("/nonexistent/x.qmk"); });
    EXPECT_NE(m.find("Tried to get the DateTime of the file: /nonexistent/x.qmk, but this file doesn't exist."),
              std::string::npos);
    EXPECT_GT(L1FileDate(VD_SOURCE_DIR "/CMakeLists.txt"), 0);
}

} // namespace
