// qmk build end to end: databases built from small units, read back as the browser reads them.

#include "tests/fixtures/QmkRun.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "tests/fixtures/TempDir.h"
#include "tests/qmkbuild/LayoutChecks.h"
#include "tools/qmk/qmkbuild/DatabaseBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace qmkbuild;

namespace {

using Result = QmkResult;

void Write(const std::string &file, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

LaidOutNode FromStored(const TvdTreeDiagramNode &node)
{
    LaidOutNode n(node.Name);
    n.left = node.Left;
    n.top = node.Top;
    n.right = node.Right;
    n.bottom = node.Bottom;
    for (int i = 0; i < node.SubNodeCount(); ++i)
        n.children.push_back(FromStored(static_cast<const TvdTreeDiagramNode &>(*node.GetSubNode(i))));
    return n;
}

bool Holds(const LaidOutNode &n, const std::string &name)
{
    if (n.name == name)
        return true;
    for (const LaidOutNode &c : n.children)
        if (Holds(c, name))
            return true;
    return false;
}

// Every class of the database has both diagrams; each holds the class, is rooted at the
// diagram's name and keeps the layout rules. Gives the number of classes checked.
int CheckEveryDiagram(const std::string &file)
{
    QuillmarkBrowser().OpenDatabase(file);
    TL1OPascalSymbolTable &table = *QuillmarkBrowser().GetSymbolTable();
    TL1Quillmark_RunTimeDatabase &db = *QuillmarkBrowser().RunTimeDb();
    db.EnsureAttached(false);
    int checked = 0;
    for (int i = 0; i < table.ClassCount(); ++i) {
        const std::string &name = table.GetClass(i)->Name;
        for (bool horizontal : {true, false}) {
            TvdTreeDiagram *d = db.GetTreeDiagram(name, horizontal);
            if (!d) {
                ADD_FAILURE() << "no diagram for " << name;
                continue;
            }
            EXPECT_EQ(d->Horizontal, horizontal);
            EXPECT_EQ(d->Header1(), 2);
            EXPECT_EQ(d->Header2(), 0);
            LaidOutNode tree = FromStored(*d->RootNode());
            EXPECT_TRUE(Holds(tree, name)) << name;
            EXPECT_EQ(CheckLayout(tree, horizontal), "") << name << (horizontal ? " horizontal" : " vertical");
        }
        ++checked;
    }
    db.Close();
    return checked;
}

const char kControls[] = R"(unit Controls;
interface
uses Classes;
type
  TNotifyEvent = procedure(Sender: TObject) of object;
  TControl = class(TComponent)
  public
    procedure Paint; virtual;
    property Left: Integer read FLeft;
    property OnClick: TNotifyEvent read FOnClick;
  end;
  TWinControl = class(TControl)
    {$I wincontrol.inc}
  end;
  TControlWithAVeryLongNameForMapping = class(TWinControl) end;
  TBroken = class(TControl) procedure end;
procedure Register;
implementation
end.
)";

const char kButtons[] = R"(unit Buttons;
interface
uses Controls;
type
  IClickable = interface(IUnknown) procedure Click; end;
  TButton = class(TWinControl, IClickable)
  published
    property OnClick;
    property Caption: string read FCaption;
  end;
procedure Register;
implementation
end.
)";

TEST(QmkBuild, BuildsADatabaseThatTheDatabaseCommandsRead)
{
    TempDir dir;
    Write(dir.File("src/controls.pas"), kControls);
    Write(dir.File("src/include/wincontrol.inc"), "procedure CreateHandle;\n");
    Write(dir.File("src/more/buttons.pp"), kButtons);
    Write(dir.File("src/more/notes.txt"), "unit NotPascal; interface implementation end.");
    std::string db = dir.File("db/Widgets.qmk");

    Result r = RunQmk(dir, {"build", "-o", db, dir.File("src"), dir.File("src/include")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Library: Widgets\nUnits: 2\nClasses: 5\nInterfaces: 1\nRoutines: 2\nProperties: 2\n"
                     "Methods: 3\nEvents: 2\n");
    EXPECT_EQ(r.err, dir.File("src/controls.pas") + ":16: warning: method name expected but 'end' found\n");

    EXPECT_EQ(RunQmk(dir, {"list", "routines", db}).out, "Register (Buttons)\nRegister (Controls)\n");
    EXPECT_EQ(RunQmk(dir, {"unit", db, "Buttons"}).out, "interface IClickable\nclass TButton\nroutine Register\n");
    EXPECT_EQ(RunQmk(dir, {"members", db, "TButton"}).out, "extra: TWinControl, IClickable\nproperty Caption\nevent OnClick\n");
    EXPECT_EQ(RunQmk(dir, {"members", db, "TWinControl"}).out, "extra: TControl\nmethod CreateHandle\n");
    EXPECT_EQ(RunQmk(dir, {"members", db, "TControl"}).out, "extra: TComponent\nproperty Left\nmethod Paint\nevent OnClick\n");

    Result diagram = RunQmk(dir, {"diagram", db, "TControlWithAVeryLongNameForMapping"});
    EXPECT_EQ(diagram.status, 0) << diagram.err;
    EXPECT_NE(diagram.out.find("Diagram: TComponent horizontal header 2 0\nTComponent "), std::string::npos) << diagram.out;
    EXPECT_NE(diagram.out.find("\n      TControlWithAVeryLongNameForMapping 313,10,533,31\n"), std::string::npos) << diagram.out;

    EXPECT_EQ(CheckEveryDiagram(db), 5);

    // --name, and a rebuild replaces the database.
    r = RunQmk(dir, {"build", "--name", "Bibliothèque", "-o", db, dir.File("src/more/buttons.pp")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Library: Bibliothèque");
    EXPECT_NE(r.out.find("Units: 1\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(db + ".partial"));
}

TEST(QmkBuild, WrongUsageAndFailedBuildsLeaveEarlierFilesAlone)
{
    TempDir dir;
    Write(dir.File("u.pas"), "unit U; interface implementation end.");
    EXPECT_EQ(RunQmk(dir, {"build", dir.File("u.pas")}).status, 2);          // no -o
    EXPECT_EQ(RunQmk(dir, {"build", "-o", dir.File("x.qmk")}).status, 2);     // no path
    EXPECT_EQ(RunQmk(dir, {"build", "-x", "-o", dir.File("x.qmk"), dir.File("u.pas")}).status, 2);

    // The target is a folder: the build fails and removes its partial file.
    std::filesystem::create_directories(dir.File("taken.qmk/inner"));
    Result r = RunQmk(dir, {"build", "-o", dir.File("taken.qmk"), dir.File("u.pas")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.File("taken.qmk")), std::string::npos) << r.err; // the message names the file
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.qmk/inner")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("taken.qmk.partial")));

    // A path or include folder that is not there fails the build before anything is written;
    // the message names it.
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    std::string none = dir.File("none.qmk"), u = dir.File("u.pas"), missing = dir.File("missing");
    for (const Case &c : {Case{{"build", "-o", none, u, missing}, missing},
                          Case{{"build", "-o", none, "-I", missing, u}, missing},
                          Case{{"build", "-o", none, "-I", u, u}, u}}) {
        r = RunQmk(dir, c.args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(c.named + ":"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(none));
    }
}

TEST(QmkBuild, IncludeFoldersDuplicateClassesAndQuietWarnings)
{
    TempDir dir;
    Write(dir.File("src/a.pas"), "unit A;\ninterface\n{$I defs.inc}\n{$I later.inc}\n{$I nowhere.inc}\n{$I gone.inc}\n"
                                 "type\n  TA = class end;\n  TDup = class(TA) end;\nimplementation\nend.\n");
    Write(dir.File("src/b.pas"), "unit B;\ninterface\ntype\n  TDup = class\n    procedure InB;\n  end;\n"
                                 "implementation\nend.\n");
    Write(dir.File("first/defs.inc"), "procedure FromFirst;\n");
    Write(dir.File("second/defs.inc"), "procedure FromSecond;\n");
    Write(dir.File("second/later.inc"), "procedure FromLater;\n");
    std::string db = dir.File("lib.qmk");

    // -I folders are searched in order, each of them; --quiet counts the warnings by kind.
    Result r = RunQmk(dir, {"build", "--quiet", "-o", db, "-I", dir.File("first"), "-I" + dir.File("second"),
                         dir.File("src")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "2 warnings:\n  2 include file '…' not found\n");
    EXPECT_EQ(RunQmk(dir, {"list", "routines", db}).out, "FromFirst\nFromLater\n");

    // Duplicate names told apart by their units.
    EXPECT_EQ(RunQmk(dir, {"list", "classes", db, "--owners"}).out, "TA (A)\nTDup (A)\nTDup (B)\n");
    r = RunQmk(dir, {"members", db, "TDup"});
    EXPECT_EQ(r.out, "extra: TA\n");
    EXPECT_EQ(r.err, "qmk: TDup is declared in 2 units (A, B); showing the one in A (choose with UNIT.TDup)\n");
    r = RunQmk(dir, {"members", db, "b.tdup"});
    EXPECT_EQ(r.out, "extra: \nmethod InB\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(RunQmk(dir, {"members", db, "C.TDup"}).status, 1);
}

// Progress goes to a terminal only: under a pseudo-terminal the build shows and then clears its
// progress line; without one (every other test here) stderr holds warnings alone.
TEST(QmkBuild, ShowsProgressOnATerminalOnly)
{
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no script(1) to provide a terminal";
    TempDir dir;
    Write(dir.File("src/u.pas"), "unit U; interface type TU = class end; implementation end.");
    std::string command = ShellQuote(VD_BINARY_DIR "/tools/qmk/qmk") + " build -o " + ShellQuote(dir.File("u.qmk")) + " " +
                          ShellQuote(dir.File("src"));
    std::string run = "script -qec " + ShellQuote(command + " 2>" + ShellQuote(dir.File("tty")) + " >/dev/null") +
                      " /dev/null >/dev/null 2>&1 </dev/null";
    // The redirection inside makes stderr a file again: check that first, then the terminal.
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("tty")), "");
    run = "script -qec " + ShellQuote(command + " >/dev/null") + " " + ShellQuote(dir.File("typescript")) +
          " >/dev/null 2>&1 </dev/null";
    ASSERT_EQ(std::system(run.c_str()), 0);
    std::string shown = ReadWholeFile(dir.File("typescript"));
    EXPECT_NE(shown.find("scanning 1 of 1: "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << shown;
    Result quiet = RunQmk(dir, {"build", "--quiet", "-o", dir.File("u.qmk"), dir.File("src")});
    EXPECT_EQ(quiet.err, "");
}

TEST(QmkBuild, EveryDiagramOfTheSampleKeepsTheLayoutRules)
{
    std::string sample = VD_SOURCE_DIR "/samples/lcl.qmk";
    if (!std::filesystem::exists(sample))
        GTEST_SKIP() << "no sample database";
    EXPECT_GT(CheckEveryDiagram(sample), 1000);
    EXPECT_NE(QuillmarkBrowser().GetSymbolTable()->FindClass("TButton"), nullptr);
    EXPECT_NE(QuillmarkBrowser().GetSymbolTable()->FindUnit("Classes"), nullptr); // the hierarchy reaches TObject
}

} // namespace
