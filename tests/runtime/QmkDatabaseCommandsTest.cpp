// The qmk database commands, on databases written by our writer and by an independent one.

#include "tests/fixtures/QmkRun.h"
#include "tests/runtime/RuntimeFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>

using namespace fixture;

namespace {

using Result = QmkResult;

void ExpectOutput(const TempDir &dir, const std::vector<std::string> &args, const std::string &expected)
{
    Result r = RunQmk(dir, args);
    EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
    EXPECT_EQ(r.out, expected) << args[0] << " " << (args.size() > 1 ? args[1] : "");
}

void ExpectFailure(const TempDir &dir, const std::vector<std::string> &args, const std::string &message)
{
    Result r = RunQmk(dir, args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.out, "") << args[0];
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
}

TEST(QmkDatabaseCommands, ListsTheSample)
{
    TempDir dir;
    std::string db = WriteSample(dir);
    ExpectOutput(dir, {"info", db},
                 "Library: TestLibrary\nUnits: 2\nClasses: 4\nInterfaces: 1\nRoutines: 5\nProperties: 2\nMethods: 3\n"
                 "Events: 1\n");
    ExpectOutput(dir, {"info", "--json", db},
                 "{\"library\": \"TestLibrary\", \"units\": 2, \"classes\": 4, \"interfaces\": 1, \"routines\": 5, "
                 "\"properties\": 2, \"methods\": 3, \"events\": 1}\n");
    const std::pair<const char *, const char *> lists[] = {
        {"units", "Controls\nGraphics\n"},
        {"classes", "TButton\nTControl\nTShape\nTVeryLongClassNameThatNeedsMapping\n"},
        {"interfaces", "IControl\n"},
        {"routines", "Beep\nFindControl\nShared (Controls)\nShared (Graphics)\nZap\n"},
        {"properties", "Caption (TControl)\nLeft (TControl)\n"},
        {"methods", "Click (TButton)\nPaint (IControl)\nPaint (TControl)\n"},
        {"events", "OnClick (TControl)\n"},
    };
    for (const auto &[kind, expected] : lists)
        ExpectOutput(dir, {"list", kind, db}, expected);
    ExpectOutput(dir, {"unit", db, "controls"},
                 "interface IControl\nclass TButton\nclass TControl\nclass TVeryLongClassNameThatNeedsMapping\n"
                 "routine FindControl\nroutine Shared\n");
    ExpectOutput(dir, {"members", db, "TControl"},
                 "extra: TComponent\nproperty Left\nproperty Caption\nmethod Paint\nevent OnClick\n");
    ExpectOutput(dir, {"members", db, "icontrol"}, "extra: IUnknown\nmethod Paint\n");
}

TEST(QmkDatabaseCommands, DiagramsAndHitTests)
{
    TempDir dir;
    std::string db = WriteSample(dir);
    ExpectOutput(dir, {"diagram", db, "TControl"},
                 "Diagram: TObject horizontal header 2 0\n"
                 "TObject 0,0,80,20\n"
                 "  TControl 100,0,180,20\n"
                 "    TButton 200,0,280,20\n"
                 "    TVeryLongClassNameThatNeedsMapping 200,30,280,50\n"
                 "Bounds: 0,0,290,60\n");
    ExpectOutput(dir, {"diagram", db, "TButton", "--vertical"},
                 "Diagram: TObject vertical header 2 0\n"
                 "TObject 0,0,80,20\n"
                 "  TControl 0,30,80,50\n"
                 "    TButton 0,60,80,80\n"
                 "Bounds: 0,0,90,90\n");
    ExpectOutput(dir, {"at", db, "TObject", "150", "10"}, "TControl\n");
    ExpectOutput(dir, {"at", db, "TObject", "10", "150", "--vertical"}, "none\n");
    ExpectOutput(dir, {"at", db, "TObject", "80", "0"}, "none\n");
    ExpectFailure(dir, {"diagram", db, "TNothing"}, "No diagram for TNothing");
    ExpectFailure(dir, {"at", db, "TNothing", "0", "0"}, "No diagram for TNothing");
}

TEST(QmkDatabaseCommands, FailuresAndUsage)
{
    TempDir dir;
    std::string db = WriteSample(dir);
    std::string old = WriteSample(dir, "old.qmk", [](QmkDatabase &d) { d.majorVersion = 4; });
    std::string plain = dir.File("plain.qmk");
    std::ofstream(plain) << "just text\n";

    // A missing file: the same message from every command that reads it, and nothing created.
    std::string missing = dir.File("missing.qmk");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"info", missing}, {"list", "units", missing}, {"storage", "ls", missing}, {"storage", "cat", missing, "x"}}) {
        Result r = RunQmk(dir, args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, missing + " could not be found.\n") << args[0];
    }
    EXPECT_FALSE(Exists(missing));
    ExpectFailure(dir, {"list", "units", plain}, "but this file was not a storage file, but exists as a \"normal\" file");
    ExpectFailure(dir, {"info", old}, "This program tried to attach to an old version of database");
    ExpectFailure(dir, {"unit", db, "NoUnit"}, "NoUnit");
    ExpectFailure(dir, {"members", db, "TNothing"}, "TNothing");

    // Wrong usage: exit status 2 and one line saying what was wrong and where help is.
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"info"},
             {"list", "widgets", db},
             {"list", "routines", db, "--owners"},
             {"info", db, "--vertical"},
             {"at", db, "TObject", "x", "1"},
             {"storage"},
             {"storage", "ls"},
             {"build", "-o"}}) {
        Result r = RunQmk(dir, args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("(see 'qmk --help')"), std::string::npos) << r.err;
    }
    Result version = RunQmk(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("qmk ", 0), 0u) << version.out;
}

TEST(QmkDatabaseCommands, ReadsADatabaseWrittenByAnotherTool)
{
    TempDir dir;
    std::string db = dir.File("independent.qmk");
    ASSERT_EQ(std::system(("/usr/bin/python3 " VD_SOURCE_DIR "/tests/runtime/write_independent_qmk.py " + ShellQuote(db))
                              .c_str()),
              0);
    ExpectOutput(dir, {"info", db},
                 "Library: Independent Library\nUnits: 2\nClasses: 3\nInterfaces: 1\nRoutines: 4\nProperties: 2\n"
                 "Methods: 3\nEvents: 1\n");
    // Units kept in stored order; names converted from Windows-1252.
    ExpectOutput(dir, {"list", "units", db}, "Zeta\nAlpha\n");
    ExpectOutput(dir, {"list", "classes", db}, "TAlphaVeryLongClassNameForMappingTests\nTGröße\nTZ\n");
    ExpectOutput(dir, {"list", "routines", db}, "AlphaProc\nShared (Alpha)\nShared (Zeta)\nZFunc\n");
    ExpectOutput(dir, {"list", "properties", db}, "Höhe (TGröße)\nWidth (TGröße)\n");
    ExpectOutput(dir, {"unit", db, "alpha"}, "class TAlphaVeryLongClassNameForMappingTests\nroutine AlphaProc\n"
                                             "routine Shared\n");
    ExpectOutput(dir, {"members", db, "tgRÖße"},
                 "extra: TObject\nproperty Höhe\nproperty Width\nmethod Paint\nevent OnResize\n");
    ExpectOutput(dir, {"diagram", db, "TGröße", "--vertical"},
                 "Diagram: TObject vertical header 7 9\n"
                 "TObject 0,0,60,20\n"
                 "  TGröße 0,40,60,60\n"
                 "    TZ 0,80,60,100\n"
                 "Bounds: 0,0,70,110\n");
    ExpectOutput(dir, {"at", db, "TGröße", "199", "19"}, "TZ\n");
    ExpectOutput(dir, {"diagram", db, "TAlphaVeryLongClassNameForMappingTests"},
                 "Diagram: TObject horizontal header 2 0\n"
                 "TObject 0,0,60,20\n"
                 "  TAlphaVeryLongClassNameForMappingTests 80,0,300,20\n"
                 "Bounds: 0,0,310,30\n");
    // The vertical sub-storage holds the stream under its mapped name but no name list.
    ExpectFailure(dir, {"diagram", db, "TAlphaVeryLongClassNameForMappingTests", "--vertical"},
                  "No diagram for TAlphaVeryLongClassNameForMappingTests");
}

} // namespace
