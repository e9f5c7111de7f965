// Help topics from content files, and the qmk commands topic, see and build --help-from run
// end to end against databases written by the test fixtures and a reference authoring server.

#include "tests/fixtures/QmkRun.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/core/Exception.h"
#include "tests/fixtures/QmkFixture.h"
#include "tests/fixtures/StreamFixture.h"
#include "tools/qmk/help/TopicMap.h"
#include "tools/qmk/help/XctReader.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using fixture::TempDir;
using namespace qmkhelp;

namespace {

using Result = QmkResult;

const char kXct[] = "# FPDoc Content File\n"
                    ":link tree\n"
                    "#lib index.html\n"
                    " Classes classes/index.html\n"
                    "  TList classes/tlist.html\n"
                    "   Add classes/tlist.add.html\n"
                    "   Count classes/tlist.count.html\n"
                    "   Hidden \n"
                    "    Deeper classes/deeper.html\n"
                    "  FreeAndNil classes/freeandnil.html\n"
                    "  IStreamable classes/istreamable.html\n"
                    " SysUtils sysutils/index.html\n"
                    "  Format sysutils/format.html\n"
                    "  TStrings sysutils/tstrings-elsewhere.html\n"
                    ":classes\n"
                    "#lib.Classes.TList TObject\n"
                    "1MAdd\n";

TEST(Xct, ReadsModulesElementsAndMembersIgnoringCaseOnLookup)
{
    const XctContents xct = ParseXct(kXct);
    EXPECT_EQ(xct.package, "lib");
    ASSERT_EQ(xct.modules.size(), 2u);
    const XctModule *classes = xct.Module("CLASSES");
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes->page, "classes/index.html");
    const XctElement *list = classes->Element("tlist");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list->MemberPage("count"), "classes/tlist.count.html");
    EXPECT_EQ(list->MemberPage("Hidden"), nullptr); // listed without a page
    EXPECT_EQ(list->MemberPage("Deeper"), nullptr); // a member of a member
    EXPECT_EQ(xct.AnyElement("TStrings")->page, "sysutils/tstrings-elsewhere.html");
    EXPECT_EQ(xct.Module("Forms"), nullptr);
}

TEST(Xct, WhatIsNotAContentFileIsRefusedWithItsLine)
{
    const struct {
        const char *text;
        const char *message;
    } cases[] = {
        {"", "empty"},
        {"<html>\n", "line 1 is not \"# FPDoc Content File\""},
        {"# FPDoc Content File\n:link tree\n  TList tlist.html\n", "line 3 lists an element before any module"},
        {"# FPDoc Content File\n:link tree\n Classes c.html\n   Add a.html\n", "line 4 lists a member before any element"},
        {"# FPDoc Content File\n:link tree\nlib index.html\n", "line 3 is neither the package nor indented"},
    };
    for (const auto &c : cases) {
        try {
            ParseXct(c.text);
            ADD_FAILURE() << c.text;
        } catch (const Exception &e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
        }
    }
}

// Classes: TList (members Add, Count, Clear), IStreamable, routines FreeAndNil; SysUtils: Format,
// Missing, class TStrings (documented in another module).
void FillTable(TL1OPascalSymbolTable &table)
{
    auto *classes = table.AddUnit("Classes");
    auto *list = classes->AddClass("TList");
    list->Methods.Add("Add");
    list->Methods.Add("Clear");
    list->Properties.Add("Count");
    classes->AddInterface("IStreamable");
    classes->AddRoutine("FreeAndNil");
    auto *sysutils = table.AddUnit("SysUtils");
    sysutils->AddRoutine("Format");
    sysutils->AddRoutine("Missing");
    sysutils->AddClass("TStrings");
    table.EnsureDenormalized();
}

TEST(Xct, EveryIdentifierOfTheDatabaseFindsItsPage)
{
    TL1OPascalSymbolTable table("Lib");
    FillTable(table);
    const DatabaseTopics topics = MapDatabaseTopics(table, ParseXct(kXct));
    EXPECT_EQ(topics.identifiers, 11);
    EXPECT_EQ(topics.found, 9);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"IDH_Unit_Classes", "classes/index.html"},       {"IDH_Class_TList", "classes/tlist.html"},
        {"IDH_TList_Count", "classes/tlist.count.html"},  {"IDH_TList_Add", "classes/tlist.add.html"},
        {"IDH_Interface_IStreamable", "classes/istreamable.html"},
        {"IDH_Classes_FreeAndNil", "classes/freeandnil.html"}, {"IDH_Unit_SysUtils", "sysutils/index.html"},
        {"IDH_Class_TStrings", "sysutils/tstrings-elsewhere.html"}, {"IDH_SysUtils_Format", "sysutils/format.html"}};
    EXPECT_EQ(topics.topics, expected);
}

// ---- The commands ---------------------------------------------------------------------------

void Write(const std::string &file, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

struct Commands : ::testing::Test {
    TempDir dir;
    std::string db = dir.File("lib.qmk");

    void SetUp() override
    {
        fixture::QmkDatabase database;
        FillTable(database.table);
        database.Write(db);
    }
};

TEST_F(Commands, TopicPrintsTheContextAndThePageOfTheMapBesideTheDatabase)
{
    EXPECT_EQ(RunQmk(dir, {"topic", db, "class", "TList"}).out, "IDH_Class_TList\n");
    Write(dir.File("lib.topics"), "source\thtml\nIDH_Class_TList\tclasses/tlist.html\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"class", "TList"}, 0, "IDH_Class_TList\tclasses/tlist.html\n", ""},
        {{"unit", "Classes"}, 0, "IDH_Unit_Classes\n", ""},
        {{"interface", "IStreamable"}, 0, "IDH_Interface_IStreamable\n", ""},
        {{"routine", "Wrong", "Format"}, 0, "IDH_SysUtils_Format\n", ""},
        {{"member", "IStreamable", "Load"}, 0, "IDH_IStreamable_Load\n", ""},
        {{"class", "TComponent"}, 1, "",
         "Sorry, this version of Quillmark doesn't support jumping to another Help file. \n\n"
         "A future version will probably support this.\n"},
        {{"routine", "Classes", "Nowhere"}, 1, "", "Couldn't find unit containing the routine: Nowhere in this help file.\n"},
        {{"routine", "Classes"}, 2, "", ""},
        {{"struct", "X"}, 2, "", ""},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args{"topic", db};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = RunQmk(dir, args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_EQ(r.out, c.out);
        if (c.status != 2) {
            EXPECT_EQ(r.err, c.err);
        }
    }
}

TEST_F(Commands, BuildWritesTheTopicMapAndReportsHowManyFoundAPage)
{
    Write(dir.File("src/classes.pas"), "unit Classes;\ninterface\ntype\n  TList = class\n  public\n"
                                       "    procedure Add;\n  end;\nprocedure FreeAndNil;\nimplementation\nend.\n");
    Write(dir.File("lib.xct"), kXct);
    const std::string out = dir.File("db/built.qmk");
    std::filesystem::create_directories(dir.File("db"));
    const Result r = RunQmk(dir, {"build", "-o", out, "--help-from", dir.File("lib.xct"), "--help-source",
                               dir.File("pages"), dir.File("src/classes.pas")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Help topics: 4 of 4 identifiers found a page; written to " + dir.File("db/built.topics")),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadWholeFile(dir.File("db/built.topics")),
              "source\t" + dir.File("pages") + "\nIDH_Unit_Classes\tclasses/index.html\n"
              "IDH_Class_TList\tclasses/tlist.html\nIDH_TList_Add\tclasses/tlist.add.html\n"
              "IDH_Classes_FreeAndNil\tclasses/freeandnil.html\n");
    EXPECT_EQ(RunQmk(dir, {"build", "-o", out, "--help-from", dir.File("lib.xct"), dir.File("src/classes.pas")}).status, 2);
}

// The application object lives in main: one destroyed after main returns crashes on exit.
QCoreApplication &App() { return *static_cast<QCoreApplication *>(QCoreApplication::instance()); }

TEST_F(Commands, SeeSendsTheTagsToTheAuthoringApplication)
{
    App();
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no D-Bus session bus";
    const Result none = RunQmk(dir, {"see", db, "unit", "Classes"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("Quillmark.Quillmark_OA_Application"), std::string::npos) << none.err;

    QProcess authoring;
    authoring.start(VD_BINARY_DIR "/tools/quillmark-authoring/quillmark-authoring", {"--unit", "SysUtils", "--class", "TList"});
    ASSERT_TRUE(authoring.waitForStarted());
    auto *bus = QDBusConnection::sessionBus().interface();
    for (int i = 0; i < 200 && !bus->isServiceRegistered("Quillmark.Quillmark_OA_Application").value(); ++i)
        QThread::msleep(20);
    const std::vector<std::vector<std::string>> calls{{"class", "Classes", "TList"},
                                                      {"routine", "SysUtils", "Format"},
                                                      {"method", "Classes", "TList", "Add"},
                                                      {"event", "Classes", "TStrings", "OnChange"}};
    for (const auto &c : calls) {
        std::vector<std::string> args{"see", db};
        args.insert(args.end(), c.begin(), c.end());
        const Result r = RunQmk(dir, args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
    }
    authoring.terminate();
    authoring.waitForFinished();
    EXPECT_EQ(QString::fromUtf8(authoring.readAllStandardOutput()).toStdString(),
              "GetEditContext\nInsertSeeTag unit= class=TList property= method= event=\n"
              "GetEditContext\nInsertSeeRoutineTag unit= routine=Format\n"
              "GetEditContext\nInsertSeeTag unit= class= property= method=Add event=\n"
              "GetEditContext\nInsertSeeTag unit= class=TStrings property= method= event=OnChange\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
