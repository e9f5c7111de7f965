#include "browser/support/L1basis.h"
#include "platform/core/Prompts.h"

#include <gtest/gtest.h>

namespace {

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

TEST(FileDate, MissingFileReports)
{
    EXPECT_EQ(L1FileDateIfExists("/nonexistent/x.qmk"), 0);
    std::string m = MessageOf([] { L1FileDate("/nonexistent/x.qmk"); });
    EXPECT_NE(m.find("Tried to get the DateTime of the file: /nonexistent/x.qmk, but this file doesn't exist."),
              std::string::npos);
    EXPECT_GT(L1FileDate(VD_SOURCE_DIR "/CMakeLists.txt"), 0);
}

} // namespace
