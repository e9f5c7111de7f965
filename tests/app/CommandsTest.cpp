// The main window's commands: help topics, see tags, the diagram page and the search window's
// picks, with exactly the arguments the lists give them.
#include "tests/app/AppFixture.h"

#include "browser/app/F_Main.h"
#include "browser/app/F_MainLists.h"
#include "browser/app/U_Application.h"
#include "browser/runtime/L1AutomationObjectWrapper.h"
#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/treediagram/L1TreeDiagram.h"
#include "platform/core/Prompts.h"

#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

struct Invocation {
    std::string method;
    std::vector<std::string> arguments;
};

// An authoring server that records what it is sent; its cursor stands in no unit or class.
class RecordingServer : public IAutomationObject {
public:
    explicit RecordingServer(std::vector<Invocation> &calls) : fCalls(calls) {}
    bool Invoke(const std::string &method, std::vector<TAutomationArgument> &arguments) override
    {
        if (method == "GetEditContext")
            return true;
        Invocation call{method, {}};
        for (const TAutomationArgument &a : arguments)
            call.arguments.push_back(a.value);
        fCalls.push_back(call);
        return true;
    }

private:
    std::vector<Invocation> &fCalls;
};

std::string SelectedName(const TvdVisualTreeDiagram *view)
{
    return view->SelectedNode() ? view->SelectedNode()->Name : std::string();
}

std::string Topic(const TRecordingHelpEngine &engine)
{
    for (auto it = engine.calls.rbegin(); it != engine.calls.rend(); ++it)
        if (it->command == HELP_COMMAND)
            return ContextOfJumpIdMacro(it->macro);
    return {};
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::WriteSmallLibrary(path);
        InstallHelpEngine(&help);
        previousFactory = SetAutomationObjectFactory(
            [this](const std::string &) { return std::make_unique<RecordingServer>(calls); });
        SetErrorBoxHook([this](const std::string &message) { errors.push_back(message); });
        window.resize(800, 600);
        window.show();
        window.OpenDocument(path);
    }
    void TearDown() override
    {
        InstallHelpEngine(nullptr);
        SetAutomationObjectFactory(previousFactory);
        SetErrorBoxHook(nullptr);
    }

    void DoubleClick(TSymbolListView *list, int row)
    {
        list->SelectRow(row);
        emit list->DoubleClick();
    }

    fixture::TempDir dir;
    std::string path = dir.File("small.qmk");
    TRecordingHelpEngine help;
    std::vector<Invocation> calls;
    std::vector<std::string> errors;
    AutomationObjectFactory previousFactory;
    ScriptedPrompts prompts;
    PromptsGuard guard{prompts};
    TfrmMain window;
};

TEST_F(CommandsTest, DoubleClicksOpenTheHelpTopicsBesideTheDatabase)
{
    DoubleClick(window.lstUnits, 0);
    EXPECT_EQ(help.calls.front().helpFile, dir.File("small.HLP"));
    EXPECT_EQ(Topic(help), UnitTopicId("Classes"));

    window.ShowUnit("Classes");
    DoubleClick(window.lstClassesInUnit, 0);
    EXPECT_EQ(Topic(help), ClassTopicId("TAlpha"));
    DoubleClick(window.lstMethodsInClass, 0);
    EXPECT_EQ(Topic(help), MemberTopicId("TAlpha", "Paint"));
    DoubleClick(window.lstInterfacesInUnit, 0);
    EXPECT_EQ(Topic(help), InterfaceTopicId("IGamma"));
    DoubleClick(window.lstPropertiesInInterface, 0);
    EXPECT_EQ(Topic(help), MemberTopicId("IGamma", "GammaValue"));
    DoubleClick(window.lstRoutinesInUnit, 0);
    EXPECT_EQ(Topic(help), RoutineTopicId("Classes", "Format"));

    // Flat lists: name and owner from the entry; without an owner the help finds the unit.
    DoubleClick(window.lstAllRoutines, 1); // "Format (Utils)"
    EXPECT_EQ(Topic(help), RoutineTopicId("Utils", "Format"));
    DoubleClick(window.lstAllRoutines, 2); // "IntToStr"
    EXPECT_EQ(Topic(help), RoutineTopicId("Utils", "IntToStr"));
    DoubleClick(window.lstAllEvents, 0); // "OnClick (TAlpha)"
    EXPECT_EQ(Topic(help), MemberTopicId("TAlpha", "OnClick"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(CommandsTest, SeeTagsCarryTheArgumentsOfTheirList)
{
    window.lstUnits->setCurrentIndex(window.lstUnits->Model()->index(0)); // "Classes"
    window.InsertSeeTag(window.lstUnits);
    window.lstClassesInUnit->setCurrentIndex(window.lstClassesInUnit->Model()->index(1)); // TBeta, current class
    window.InsertSeeTag(window.lstClassesInUnit);
    window.lstRoutinesInUnit->SelectRow(0);
    window.InsertSeeTag(window.lstRoutinesInUnit);
    window.InsertSeeTag(window.lstPropertiesInClass); // TBeta has none: nothing is sent
    window.lstAllProperties->SelectRow(0);            // "Caption (TAlpha)"
    window.InsertSeeTag(window.lstAllProperties);
    window.lstAllRoutines->SelectRow(2); // "IntToStr"
    window.InsertSeeTag(window.lstAllRoutines);

    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].arguments, (std::vector<std::string>{"Classes", "", "", "", "", ""}));
    // TBeta is unique in the library: the unit is left out.
    EXPECT_EQ(calls[1].arguments, (std::vector<std::string>{"", "TBeta", "", "", "", ""}));
    // Format is declared in two units: the unit stays.
    EXPECT_EQ(calls[2].method, "InsertSeeRoutineTag");
    EXPECT_EQ(calls[2].arguments, (std::vector<std::string>{"Classes", "Format"}));
    EXPECT_EQ(calls[3].arguments, (std::vector<std::string>{"", "TAlpha", "", "Caption", "", ""}));
    EXPECT_EQ(calls[4].arguments, (std::vector<std::string>{"", "IntToStr"}));
}

TEST_F(CommandsTest, WithoutAnAuthoringServerAnErrorBoxAndAWorkingBrowser)
{
    SetAutomationObjectFactory([](const std::string &) -> std::unique_ptr<IAutomationObject> {
        throw Exception("No automation server can be reached.");
    });
    window.lstAllClasses->SelectRow(0);
    RunGuarded([&] { window.InsertSeeTag(window.lstAllClasses); });
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "No automation server can be reached.");
    window.ShowUnit("Utils");
    EXPECT_EQ(window.lstRoutinesInUnit->Model()->Count(), 2);
}

TEST_F(CommandsTest, DiagramsFollowTheClassAndTheDirection)
{
    TvdVisualTreeDiagram *view = window.DiagramView();
    window.pgcMain->setCurrentIndex(1);
    // No diagram shown: switching the direction does nothing.
    fixture::Trace().Clear();
    window.rbVertical->setChecked(true);
    EXPECT_EQ(view->TreeDiagram(), nullptr);
    window.rbHorizontal->setChecked(true);

    window.lstClasses->setCurrentIndex(window.lstClasses->Model()->index(0)); // TAlpha, as a click
    ASSERT_NE(view->TreeDiagram(), nullptr);
    EXPECT_TRUE(view->TreeDiagram()->Horizontal);
    EXPECT_EQ(view->TreeDiagram(), QuillmarkBrowser().RunTimeDb()->GetTreeDiagram("TAlpha", true));

    // Another class chosen in a unit's list, then the direction: that class is shown again.
    window.ShowUnit("Classes");
    window.lstClassesInUnit->setCurrentIndex(window.lstClassesInUnit->Model()->index(1)); // TBeta
    EXPECT_EQ(SelectedName(view), "TBeta");
    window.rbVertical->setChecked(true);
    ASSERT_NE(view->TreeDiagram(), nullptr);
    EXPECT_FALSE(view->TreeDiagram()->Horizontal);
    EXPECT_EQ(SelectedName(view), "TBeta");

    // Right button on a box of a class from another file: the message, and the diagram stays.
    TvdTreeDiagram *shown = view->TreeDiagram();
    auto *elsewhere = static_cast<TvdTreeDiagramNode *>(shown->RootNode()->FindSubNode("TElsewhere"));
    ASSERT_NE(elsewhere, nullptr);
    window.DiagramNodeMouseDown(elsewhere, true);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Sorry. Can't display the total diagram for TElsewhere because it is located in "
                                     "another file, or a diagram for it doesn't exist.");
    EXPECT_EQ(view->TreeDiagram(), shown);
    window.DiagramNodeMouseDown(elsewhere, false); // left: the view's own business
    EXPECT_EQ(prompts.shown.size(), 1u);
    auto *alpha = static_cast<TvdTreeDiagramNode *>(shown->RootNode());
    window.DiagramNodeMouseDown(alpha, true);
    EXPECT_EQ(view->TreeDiagram(), QuillmarkBrowser().RunTimeDb()->GetTreeDiagram("TAlpha", false));

    // A class without a stored diagram keeps what is shown; a new open empties the view.
    window.ShowClassDiagram("IGamma");
    EXPECT_NE(view->TreeDiagram(), nullptr);
    EXPECT_FALSE(QuillmarkBrowser().RunTimeDb()->IsAttached());
    window.OpenDocument(path);
    EXPECT_EQ(view->TreeDiagram(), nullptr);
}

TEST_F(CommandsTest, SearchPicksLeadToTheirEntries)
{
    window.SearchPickedClass("tbeta");
    EXPECT_EQ(window.lstClassesInUnit->SelectedText(), "TBeta");
    EXPECT_EQ(Topic(help), ClassTopicId("TBeta"));
    window.SearchPickedInterface("IGamma");
    EXPECT_EQ(window.lstInterfacesInUnit->SelectedText(), "IGamma");
    window.ShowMemberEntry(TfrmMain::mkMethod, "QueryGamma (IGamma)");
    EXPECT_EQ(Topic(help), MemberTopicId("IGamma", "QueryGamma"));

    window.SearchPickedClass("TNowhere");
    window.SearchPickedInterface("INowhere");
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, "Couldn't find the class: TNowhere in the symbol table. This is a strange error.");
    EXPECT_EQ(prompts.shown[1].text,
              "Couldn't find the interface: INowhere in the symbol table. This is a strange error.");
}

} // namespace
