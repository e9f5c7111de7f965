// The main window: opening and reloading a database, the lists and tab marks, moving through
// units and classes, the column-width rule, dropped files.
#include "tests/app/AppFixture.h"

#include "browser/app/F_Main.h"
#include "browser/app/F_MainLists.h"
#include "browser/app/F_Statistics.h"
#include "browser/app/MRUList.h"
#include "browser/app/U_Application.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/app/filedrag.h"
#include "browser/app/uGlyphPageControl.h"
#include "browser/app/uUpDown.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/treediagram/L1TreeDiagramBasis.h"

#include "platform/core/Prompts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

std::vector<std::string> Texts(TSymbolListView *list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->Model()->Count(); ++i)
        texts.push_back(list->Model()->Text(i));
    return texts;
}

bool Traced(const std::vector<std::string> &lines, const std::string &text)
{
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// Error lines carry the application's name after the text.
bool TracedError(const std::string &text)
{
    for (const std::string &line : fixture::Trace().errors)
        if (line.rfind(text, 0) == 0)
            return true;
    return false;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::WriteSmallLibrary(path);
        window.SetStatisticsWindow(&statistics);
        window.resize(800, 600);
        window.show();
        fixture::Trace().Clear();
    }

    fixture::TempDir dir;
    std::string path = dir.File("small.qmk");
    TfrmMain window;
    TfrmStatistics statistics;
};

TEST_F(MainWindowTest, OpenDocumentFillsEveryListAndTheStatistics)
{
    EXPECT_FALSE(window.actShowStatistics->isEnabled());
    window.OpenDocument(path);

    EXPECT_EQ(Texts(window.lstUnits), (std::vector<std::string>{"Classes", "Utils"}));
    EXPECT_EQ(Texts(window.lstClasses), (std::vector<std::string>{"TAlpha", "TBeta"}));
    EXPECT_EQ(Texts(window.lstAllClasses), Texts(window.lstClasses));
    EXPECT_EQ(Texts(window.lstAllInterfaces), (std::vector<std::string>{"IGamma"}));
    EXPECT_EQ(Texts(window.lstAllRoutines),
              (std::vector<std::string>{"Format (Classes)", "Format (Utils)", "IntToStr"}));
    EXPECT_EQ(Texts(window.lstAllProperties),
              (std::vector<std::string>{"Caption (TAlpha)", "GammaValue (IGamma)", "Width (TAlpha)"}));
    EXPECT_EQ(Texts(window.lstAllMethods), (std::vector<std::string>{"Paint (TAlpha)", "QueryGamma (IGamma)"}));
    EXPECT_EQ(Texts(window.lstAllEvents), (std::vector<std::string>{"OnClick (TAlpha)"}));
    // Entries carry their objects.
    EXPECT_EQ(window.lstAllClasses->Model()->Object(0), QuillmarkBrowser().GetSymbolTable()->FindClass("TAlpha"));

    EXPECT_EQ(window.Document().FileName(), path);
    EXPECT_EQ(window.RecentFiles()->Files().value(0).toStdString(), path);
    EXPECT_TRUE(window.actShowStatistics->isEnabled());
    EXPECT_EQ(statistics.lblLibraryName->text(), QStringLiteral("small"));
    EXPECT_EQ(statistics.lblNumClasses->text(), QStringLiteral("2"));
    EXPECT_TRUE(Traced(fixture::Trace().lines, "Connecting to: " + path));
    EXPECT_TRUE(Traced(fixture::Trace().lines, "> AllPropMethodsEvent"));
    EXPECT_EQ(WaitCursor().Counter(), 0);
}

TEST_F(MainWindowTest, AFailedOpenLeavesEmptyListsAndTheCursorRestored)
{
    window.OpenDocument(path);
    std::string missing = dir.File("missing.qmk");
    EXPECT_THROW(window.OpenDocument(missing), std::exception);
    for (TSymbolListView *l : {window.lstUnits, window.lstClasses, window.lstAllRoutines, window.lstAllProperties})
        EXPECT_EQ(l->Model()->Count(), 0) << l->objectName().toStdString();
    EXPECT_EQ(WaitCursor().Counter(), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
    // The tracker still names the file that was open.
    EXPECT_EQ(window.Document().FileName(), path);
}

TEST_F(MainWindowTest, ShowUnitFillsTheUnitListsAndMarksTheTabs)
{
    window.OpenDocument(path);
    window.ShowUnit("utils"); // found ignoring case
    EXPECT_EQ(window.lstClassesInUnit->Model()->Count(), 0);
    EXPECT_EQ(window.lstInterfacesInUnit->Model()->Count(), 0);
    EXPECT_EQ(Texts(window.lstRoutinesInUnit), (std::vector<std::string>{"Format", "IntToStr"}));
    EXPECT_EQ(window.tabsUnit->TabImage(TfrmMain::tabClasses), vdTabEmpty);
    EXPECT_EQ(window.tabsUnit->TabImage(TfrmMain::tabInterfaces), vdTabEmpty);
    EXPECT_EQ(window.tabsUnit->TabImage(TfrmMain::tabRoutines), vdTabFilled);

    window.ShowUnit("Classes");
    EXPECT_EQ(Texts(window.lstClassesInUnit), (std::vector<std::string>{"TAlpha", "TBeta"}));
    EXPECT_EQ(window.tabsUnit->TabImage(TfrmMain::tabInterfaces), vdTabFilled);
    for (int i : {TfrmMain::tabProperties, TfrmMain::tabMethods, TfrmMain::tabEvents}) {
        EXPECT_EQ(window.tabsClassMembers->TabImage(i), vdTabEmpty);
        EXPECT_EQ(window.tabsInterfaceMembers->TabImage(i), vdTabEmpty);
    }
    // An unknown unit changes nothing.
    window.ShowUnit("Nowhere");
    EXPECT_EQ(window.lstClassesInUnit->Model()->Count(), 2);
}

TEST_F(MainWindowTest, ClickingThroughUnitsClassesAndInterfaces)
{
    window.OpenDocument(path);
    window.lstUnits->setCurrentIndex(window.lstUnits->Model()->index(0)); // as the keyboard does
    ASSERT_EQ(window.lstClassesInUnit->Model()->Count(), 2);

    window.lstClassesInUnit->setCurrentIndex(window.lstClassesInUnit->Model()->index(0));
    EXPECT_EQ(Texts(window.lstPropertiesInClass), (std::vector<std::string>{"Caption", "Width"}));
    EXPECT_EQ(Texts(window.lstEventsInClass), (std::vector<std::string>{"OnClick"}));
    EXPECT_EQ(window.CurrentClass(), "TAlpha");
    EXPECT_EQ(window.tabsClassMembers->TabImage(TfrmMain::tabEvents), vdTabFilled);

    window.lstClassesInUnit->setCurrentIndex(window.lstClassesInUnit->Model()->index(1));
    EXPECT_EQ(window.lstPropertiesInClass->Model()->Count(), 0);
    EXPECT_EQ(window.tabsClassMembers->TabImage(TfrmMain::tabProperties), vdTabEmpty);
    EXPECT_EQ(window.CurrentClass(), "TBeta");

    // Selected as accessibility tools do, without moving the current entry first.
    window.lstUnits->selectionModel()->select(window.lstUnits->Model()->index(1), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(window.lstRoutinesInUnit->Model()->Count(), 2);
    window.lstUnits->selectionModel()->select(window.lstUnits->Model()->index(0), QItemSelectionModel::ClearAndSelect);

    window.lstInterfacesInUnit->setCurrentIndex(window.lstInterfacesInUnit->Model()->index(0));
    EXPECT_EQ(Texts(window.lstMethodsInInterface), (std::vector<std::string>{"QueryGamma"}));
    EXPECT_EQ(window.tabsInterfaceMembers->TabImage(TfrmMain::tabEvents), vdTabEmpty);
    EXPECT_EQ(window.CurrentClass(), "TBeta"); // interfaces never change it
}

TEST_F(MainWindowTest, ShowClassSelectsUnitAndClassOrTracesWhatIsNotListed)
{
    window.OpenDocument(path);
    TL1OPascalSymbolTable *table = QuillmarkBrowser().GetSymbolTable();
    window.ShowClass(table->FindClass("TAlpha"), true, true);
    EXPECT_EQ(window.lstUnits->SelectedText(), "Classes");
    EXPECT_EQ(window.lstClassesInUnit->SelectedText(), "TAlpha");
    EXPECT_EQ(window.lstPropertiesInClass->Model()->Count(), 2);
    EXPECT_TRUE(fixture::Trace().errors.empty());

    // The unit is not listed: traced, and the members are still shown.
    window.lstUnits->Model()->Clear();
    window.lstPropertiesInClass->Model()->Clear();
    window.ShowClass(table->FindClass("TAlpha"), false, false);
    EXPECT_TRUE(TracedError("Couldn't set the unit: Classes in the units listbox."));
    EXPECT_EQ(window.lstPropertiesInClass->Model()->Count(), 2);

    window.ShowInterface(table->FindInterface("IGamma"));
    EXPECT_TRUE(TracedError("Couldn't set the unit: Classes in the units listbox."));
    EXPECT_EQ(window.lstMethodsInInterface->Model()->Count(), 1);

    EXPECT_THROW(window.ShowClass(nullptr, false, false), std::exception);
    EXPECT_THROW(window.ShowInterface(nullptr), std::exception);
}

TEST_F(MainWindowTest, InterfaceMembersOutliveTheTableTheyCameFrom)
{
    window.OpenDocument(path);
    window.ShowInterfaceMembers(QuillmarkBrowser().GetSymbolTable()->FindInterface("IGamma"), false);
    window.OpenDocument(path); // frees the table the lists were taken from
    EXPECT_EQ(Texts(window.lstMethodsInInterface), (std::vector<std::string>{"QueryGamma"}));
    EXPECT_EQ(window.lstMethodsInInterface->Model()->Object(0), nullptr);
    EXPECT_EQ(window.lstPropertiesInClass->Model()->Count(), 0);
    EXPECT_TRUE(window.CurrentClass().empty());
}

TEST_F(MainWindowTest, ReloadIfChangedReopensOnlyAChangedFile)
{
    window.OpenDocument(path);
    fixture::Trace().Clear();
    window.ReloadIfChanged();
    EXPECT_FALSE(Traced(fixture::Trace().lines, "Has reloaded document"));

    fixture::WriteSmallLibrary(path, "TGamma");
    window.Document().SetOpenedTime(window.Document().OpenedTime() - 10);
    window.ReloadIfChanged();
    EXPECT_TRUE(Traced(fixture::Trace().lines, "Has reloaded document"));
    EXPECT_EQ(Texts(window.lstAllClasses), (std::vector<std::string>{"TAlpha", "TBeta", "TGamma"}));

    // A file that has gone never counts as changed.
    std::filesystem::remove(path);
    fixture::Trace().Clear();
    window.Document().SetOpenedTime(0);
    window.ReloadIfChanged();
    EXPECT_FALSE(Traced(fixture::Trace().lines, "Has reloaded document"));
}

TEST_F(MainWindowTest, ColumnCountsFollowTheWidthAndTheEdit)
{
    struct Case {
        int width, columnWidth;
        bool oneAndAHalf;
        int columns;
    } cases[] = {
        {300, 150, false, 2}, {299, 150, false, 1}, {100, 150, false, 0}, {450, 100, true, 3},
        {225, 100, true, 2},  {375, 100, true, 2},  {525, 100, true, 4},  {400, 0, false, 0},
        {400, -20, true, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ColumnCountFor(c.width, c.columnWidth, c.oneAndAHalf), c.columns)
            << c.width << " / " << c.columnWidth << (c.oneAndAHalf ? " x1.5" : "");

    window.pgcMain->setCurrentIndex(5); // all properties
    window.txtNumClassesColumns->setText(QStringLiteral("100"));
    EXPECT_EQ(QuillmarkBrowserSettings().ColumnWidth, 100);
    EXPECT_TRUE(fixture::Trace().lines.back() == "ColumnWidthChange: 100");
    int w = window.lstAllProperties->width();
    EXPECT_EQ(window.lstAllProperties->Columns(), ColumnCountFor(w, 100, true));
    EXPECT_EQ(window.lstAllClasses->Columns(), ColumnCountFor(window.lstAllClasses->width(), 100, false));
    EXPECT_EQ(window.lstAllInterfaces->Columns(), 3); // keeps its count
    EXPECT_EQ(window.lstUnits->Columns(), 0);

    window.resize(1000, 600);
    EXPECT_EQ(window.lstAllProperties->Columns(), ColumnCountFor(window.lstAllProperties->width(), 100, true));

    window.txtNumClassesColumns->setText(QStringLiteral("wide"));
    EXPECT_EQ(QuillmarkBrowserSettings().ColumnWidth, 100);
    window.txtNumClassesColumns->setText(QStringLiteral("0"));
    EXPECT_EQ(window.lstAllClasses->Columns(), 0);
    // Typing "1" on the way to "150" leaves the edit alone.
    window.txtNumClassesColumns->setText(QStringLiteral("1"));
    EXPECT_EQ(window.txtNumClassesColumns->text(), QStringLiteral("1"));
    window.udNumClassesColumns->Step(1);
    EXPECT_EQ(window.txtNumClassesColumns->text(), QStringLiteral("60"));
    EXPECT_EQ(QuillmarkBrowserSettings().ColumnWidth, 60);
    QuillmarkBrowserSettings().ColumnWidth = TQuillmarkBrowserSettings::DefaultColumnWidth;
}

TEST_F(MainWindowTest, DroppedFilesOpenOnlyWithTheQmkExtension)
{
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    std::string lower = dir.File("lower.qmk");
    std::filesystem::copy_file(path, lower);
    std::string other = dir.File("notes.txt");
    std::filesystem::copy_file(path, other);

    window.FileDrag()->Drop({QString::fromStdString(other), QString::fromStdString(lower)});
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Sorry, this application only supports loading files with the extension: '.QMK'.");
    EXPECT_EQ(window.lstUnits->Model()->Count(), 0);

    window.FileDrag()->Drop({QString::fromStdString(lower), QString::fromStdString(other)});
    EXPECT_EQ(window.Document().FileName(), lower);
    EXPECT_EQ(window.lstUnits->Model()->Count(), 2);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(FlatEntries, NameAndOwner)
{
    struct Case {
        const char *text, *name, *owner;
    } cases[] = {
        {"Paint (TShape)", "Paint", "TShape"},
        {"Format (SysUtils)", "Format", "SysUtils"},
        {"IntToStr", "IntToStr", ""},
        {"Odd (a(b) c)", "Odd", "b"},
        {"Broken )(", "Broken", ""},
        {"Open (Unit", "Open", ""},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FlatEntryName(c.text), c.name) << c.text;
        EXPECT_EQ(FlatEntryOwner(c.text), c.owner) << c.text;
    }
}

TEST_F(MainWindowTest, DoubleClickEnterAndSpaceLeadToTheClass)
{
    std::string shown;
    SetErrorBoxHook([&](const std::string &message) { shown = message; });
    window.OpenDocument(path);
    window.pgcMain->setCurrentIndex(4); // all classes
    // Nothing selected: nothing happens, no error.
    QTest::keyClick(window.lstAllClasses, Qt::Key_Return);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(window.lstUnits->SelectedRow(), -1);

    window.lstAllClasses->SelectRow(1);
    QTest::keyClick(window.lstAllClasses, Qt::Key_Space);
    EXPECT_EQ(window.lstUnits->SelectedText(), "Classes");
    EXPECT_EQ(window.lstClassesInUnit->SelectedText(), "TBeta");
    EXPECT_EQ(window.CurrentClass(), "TBeta");

    window.lstAllInterfaces->SelectRow(0);
    QTest::keyClick(window.lstAllInterfaces, Qt::Key_Enter);
    EXPECT_EQ(window.lstInterfacesInUnit->SelectedText(), "IGamma");
    EXPECT_EQ(window.lstMethodsInInterface->Model()->Count(), 1);

    // The classes list of the diagram page does not take Enter as a double click.
    window.lstClasses->SelectRow(0);
    QTest::keyClick(window.lstClasses, Qt::Key_Return);
    EXPECT_EQ(window.CurrentClass(), "TBeta");
    EXPECT_TRUE(shown.empty());
    SetErrorBoxHook(nullptr);
}

TEST_F(MainWindowTest, RightPressSelectsTheEntryUnderThePointerWithoutAClick)
{
    window.OpenDocument(path);
    QRect second = window.lstUnits->visualRect(window.lstUnits->Model()->index(1));
    QTest::mousePress(window.lstUnits->viewport(), Qt::RightButton, {}, second.center());
    EXPECT_EQ(window.lstUnits->SelectedText(), "Utils");
    EXPECT_EQ(window.lstRoutinesInUnit->Model()->Count(), 0); // no ShowUnit
    QTest::mouseClick(window.lstUnits->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(window.lstRoutinesInUnit->Model()->Count(), 2); // a click on the chosen entry shows it
}

TEST_F(MainWindowTest, LayoutCaptionsHintsAndAccessibleNames)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillmark Browser"));
    QStringList pages;
    for (int i = 0; i < window.pgcMain->count(); ++i)
        pages << window.pgcMain->tabText(i);
    EXPECT_EQ(pages, (QStringList{"Units", "Inheritance diagrams", "All Routines", "All Interfaces", "All Classes",
                                  "All Properties", "All Methods", "All Events"}));
    EXPECT_EQ(window.txtNumClassesColumns->toolTip(), QStringLiteral("Columnwidth"));
    EXPECT_EQ(window.lstClasses->toolTip(), QStringLiteral("Click or doubleclick on a class name"));
    EXPECT_EQ(window.pbxDiagram->toolTip(), QStringLiteral("Left or right click on a class"));
    EXPECT_TRUE(window.cboZoom->isHidden());
    EXPECT_TRUE(window.lblZoom->isHidden());
    EXPECT_EQ(window.cboZoom->currentText(), QStringLiteral("100 %"));
    EXPECT_EQ(window.actFind->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (qobject_cast<TSymbolListView *>(w) || qobject_cast<QLineEdit *>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
}

} // namespace
