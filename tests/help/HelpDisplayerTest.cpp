// Help topics: identifiers, the commands a help engine receives, the displayers' checks and
// the topic map reader.

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/runtime/L1HelpTopicMap.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/core/Exception.h"
#include "platform/core/Prompts.h"

#include <gtest/gtest.h>

namespace {

struct Displayer : ::testing::Test {
    TL1OPascalSymbolTable table{"Lib"};
    TL1HelpDisplayer help;
    TRecordingHelpEngine engine;
    ScriptedPrompts prompts;
    PromptsGuard guard{prompts};
    IHelpEngine *previous = nullptr;

    void SetUp() override
    {
        auto *classes = table.AddUnit("Classes");
        classes->AddClass("TPersistent");
        classes->AddRoutine("FreeAndNil");
        classes->AddInterface("IStreamPersist");
        auto *sysutils = table.AddUnit("SysUtils");
        sysutils->AddRoutine("FreeAndNil");
        sysutils->AddRoutine("Format");
        table.EnsureDenormalized();
        help.SetSymbolTable(&table);
        help.SetHelpFile(42, "/docs/Lib.HLP");
        previous = InstallHelpEngine(&engine);
    }
    void TearDown() override { InstallHelpEngine(previous); }

    std::vector<std::string> Macros() const
    {
        std::vector<std::string> macros;
        for (const auto &c : engine.calls)
            if (c.command == HELP_COMMAND)
                macros.push_back(c.macro);
        return macros;
    }
};

TEST_F(Displayer, EveryElementJumpsToItsIdentifierAfterForcingTheFile)
{
    help.ShowUnitTopic("Classes");
    help.ShowClassTopic("TPersistent");
    help.ShowInterfaceTopic("IStreamPersist");
    help.ShowPropertyTopic(true, "TPersistent", "Owner");
    help.ShowMethodTopic(false, "IStreamPersist", "LoadFromStream"); // an interface owns it alike
    help.ShowEventTopic(true, "TPersistent", "OnChange");
    help.ShowRoutineTopic("SysUtils", "Format");
    EXPECT_EQ(Macros(), (std::vector<std::string>{
                            "JumpID(\"\",\"IDH_Unit_Classes\")", "JumpID(\"\",\"IDH_Class_TPersistent\")",
                            "JumpID(\"\",\"IDH_Interface_IStreamPersist\")", "JumpID(\"\",\"IDH_TPersistent_Owner\")",
                            "JumpID(\"\",\"IDH_IStreamPersist_LoadFromStream\")",
                            "JumpID(\"\",\"IDH_TPersistent_OnChange\")", "JumpID(\"\",\"IDH_SysUtils_Format\")"}));
    ASSERT_EQ(engine.calls.size(), 14u);
    for (size_t i = 0; i < engine.calls.size(); i += 2) {
        EXPECT_EQ(engine.calls[i].command, HELP_FORCEFILE);
        EXPECT_EQ(engine.calls[i].data, 0u);
        EXPECT_EQ(engine.calls[i].window, 42u);
        EXPECT_EQ(engine.calls[i + 1].helpFile, "/docs/Lib.HLP");
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Displayer, ClassesAndInterfacesOfOtherLibrariesShowTheOtherFileText)
{
    help.ShowClassTopic("TComponent");          // only an ancestor in some diagram
    help.ShowInterfaceTopic("TPersistent");     // a class, not an interface
    help.ShowClassTopic("tpersistent");         // names compare without case in the table
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, "Sorry, this version of Quillmark doesn't support jumping to another Help file. "
                                     "\r\n\r\nA future version will probably support this.");
    EXPECT_EQ(Macros(), std::vector<std::string>{"JumpID(\"\",\"IDH_Class_tpersistent\")"});
}

TEST_F(Displayer, RoutinesFallBackToTheFirstUnitThatDeclaresThem)
{
    help.ShowRoutineTopic("Wrong", "FreeAndNil");
    help.ShowRoutineTopic("", "Format");
    help.ShowRoutineTopic("SysUtils", "FreeAndNil");
    help.ShowRoutineTopic("Classes", "Nowhere");
    EXPECT_EQ(Macros(), (std::vector<std::string>{"JumpID(\"\",\"IDH_Classes_FreeAndNil\")",
                                                  "JumpID(\"\",\"IDH_SysUtils_Format\")",
                                                  "JumpID(\"\",\"IDH_SysUtils_FreeAndNil\")"}));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Couldn't find unit containing the routine: Nowhere in this help file.");
}

TEST_F(Displayer, LongMacrosAreCutAt255Characters)
{
    const std::string id(300, 'x');
    help.JumpToTopic(id);
    ASSERT_EQ(Macros().size(), 1u);
    EXPECT_EQ(Macros()[0].size(), 255u);
    EXPECT_EQ(Macros()[0], JumpIdMacro(id));
    EXPECT_EQ(ContextOfJumpIdMacro(Macros()[0]), std::string(255 - 11, 'x'));
    EXPECT_EQ(ContextOfJumpIdMacro("JumpID(\"\",\"IDH_A\")"), "IDH_A");
    EXPECT_EQ(ContextOfJumpIdMacro("CloseWindow(\"main\")"), "");
}

TEST(TopicMap, ReadsSourceAndTopicsWithTheFirstOfADuplicateWinning)
{
    const THelpTopicMap map = ParseHelpTopicMap("\xEF\xBB\xBFsource\tlcl.chm\r\n"
                                                "IDH_Unit_Forms\tforms/index.html\r\n"
                                                "\n"
                                                "IDH_TForm_Show\tforms/tcustomform.show.html#a b\n"
                                                "IDH_Unit_Forms\tother.html\n"
                                                "idh_unit_forms\tlower.html");
    EXPECT_EQ(map.source, "lcl.chm");
    ASSERT_EQ(map.topics.size(), 4u);
    EXPECT_EQ(*map.PageOf("IDH_Unit_Forms"), "forms/index.html");
    EXPECT_EQ(*map.PageOf("IDH_TForm_Show"), "forms/tcustomform.show.html#a b");
    EXPECT_EQ(*map.PageOf("idh_unit_forms"), "lower.html"); // exact comparison
    EXPECT_EQ(map.PageOf("IDH_Unit_Menus"), nullptr);
}

TEST(TopicMap, BadMapsSayWhatIsWrong)
{
    const struct {
        const char *text;
        const char *message;
    } cases[] = {
        {"", "does not name the help source"},
        {"\n\n", "does not name the help source"},
        {"IDH_A\ta.html\n", "line 1 does not name the help source"},
        {"source lcl.chm\n", "line 1 has no TAB"},
        {"source\t\n", "line 1 names an empty help source"},
        {"source\tx\nIDH_A a.html\n", "line 2 has no TAB"},
        {"source\tx\n\tpage.html\n", "line 2 has an empty context string or page"},
        {"source\tx\nIDH_A\t\n", "line 2 has an empty context string or page"},
    };
    for (const auto &c : cases) {
        try {
            ParseHelpTopicMap(c.text);
            ADD_FAILURE() << c.text;
        } catch (const Exception &e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
        }
    }
}

TEST(TopicMap, PathsBesideTheHelpFile)
{
    EXPECT_EQ(TopicMapPathFor("/docs/Lib.HLP"), "/docs/Lib.topics");
    EXPECT_EQ(TopicMapPathFor("/docs/lib.hlp"), "/docs/lib.topics");
    EXPECT_EQ(ResolveHelpSource("/docs/Lib.topics", "html/../pages"), "/docs/pages");
    EXPECT_EQ(ResolveHelpSource("/docs/Lib.topics", "/usr/share/doc/x.chm"), "/usr/share/doc/x.chm");
    EXPECT_THROW(ReadHelpTopicMap("/nonexistent/Lib.topics"), Exception);
}

} // namespace
