// What the interface-section scanner collects from Object Pascal units.

#include "tests/fixtures/TempDir.h"
#include "tools/qmk/qmkbuild/SourceLibrary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace qmkbuild;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Names = std::vector<std::string>;

template <class T> Names NamesOf(const std::vector<T> &items)
{
    Names names;
    for (const T &i : items)
        names.push_back(i.name);
    return names;
}

const ClassEntry &Find(const std::vector<ClassEntry> &list, const std::string &name)
{
    for (const ClassEntry &c : list)
        if (c.name == name)
            return c;
    static ClassEntry none;
    ADD_FAILURE() << name << " not found";
    return none;
}

std::string Warnings(const SourceLibrary &lib)
{
    std::string all;
    for (const Warning &w : lib.Warnings())
        all += std::filesystem::path(w.file).filename().string() + ":" + std::to_string(w.line) + ": " + w.message + "\n";
    return all;
}

const char kShapes[] = R"(unit Shapes;
{$mode objfpc}{$H+}
interface
uses Classes, SysUtils;
type
  TShape = class;
  TShapeClass = class of TShape;
  TNotify = procedure(Sender: TObject) of object;
  TRef = reference to procedure(X: Integer);
  TPlain = procedure(X: Integer); stdcall;
  TAlias = TNotify;
  IDrawable = interface(IUnknown)
    ['{00000000-0000-0000-0000-000000000001}']
    procedure Draw;
    function Bounds: TRect;
    property Visible: Boolean read GetVisible;
  end;
  IAuto = dispinterface
    ['{00000000-0000-0000-0000-000000000002}']
    property Name: WideString dispid 1;
    procedure Run; dispid 2;
  end;
  IForward = interface;
  TShape = class(TPersistent,
                 IDrawable)
  private
    FOnChange: TNotify;
    FRec: record A, B: Integer; end;
    procedure SetName(const Value: string);
  protected
    type
      TInner = class
        procedure Hidden;
      end;
    const Limit = 10;
  public
    constructor Create; overload;
    constructor Create(AOwner: TObject); overload;
    destructor Destroy; override;
    class function Count: Integer;
    procedure Draw; virtual; abstract;
    function IDrawable.Bounds = GetBounds;
    function GetBounds: TRect;
    generic function Convert<T>(X: T): T;
    property Name: string read FName write SetName;
    property Items[Index: Integer]: TShape read GetItem; default;
    property OnChange: TNotify read FOnChange write FOnChange;
    property OnRef: TRef read FRef;
    property OnPlain: TPlain read FPlain;
    property OnAlias: TAlias read FAlias;
    property OnUnknown: TUnknownThing read FUnknown;
    property Onion: TUnknownThing read FOnion;
    property OnTop: Boolean read FOnTop;
  end;
  TCircle = class sealed(TShape) end;
  TSquare = class abstract(TShape);
  TPoly = packed class(TShape)
  published
    property OnChange;
    property Name;
  end deprecated 'use TShape';
  TOld = object(TOldBase)
    procedure Init;
  end;
  TOldRoot = packed object
    X: Integer;
  end;
  generic TList<T> = class(TObject)
    procedure Add(Item: T);
  end;
  TDict<K, V: class> = class(specialize TList<K>)
  end;
  THelper = class helper for TShape
    procedure Extra;
  end;
  TIntHelper = type helper for Integer
    function Twice: Integer;
  end;
  TPoint2 = record X, Y: Integer; case Byte of 0: (Z: Word); end;
  EShape = class(Exception);

procedure Paint(Shape: TShape); overload;
procedure Paint(const Shapes: array of TShape); overload;
function Area(const S: TShape): Double; inline;
procedure External1; external 'lib' name 'x';
generic procedure Swap<T>(var A, B: T);
operator + (const A, B: TPoint2): TPoint2;

var Current: TShape;
const Sizes: array[0..1] of Integer = (1, 2);

implementation
type
  TPrivate = class
  end;
procedure Hidden; begin end;
end.
)";

TEST(PascalScanner, CollectsTheInterfaceSectionsDeclarations)
{
    SourceLibrary lib;
    lib.ScanText(kShapes, "shapes.pas");
    LibraryContents c = lib.Contents("Lib");
    EXPECT_EQ(Warnings(lib), "");
    ASSERT_EQ(c.units.size(), 1u);
    const UnitEntry &u = c.units[0];
    EXPECT_EQ(u.name, "Shapes");
    EXPECT_THAT(NamesOf(u.classes),
                ElementsAre("EShape", "TCircle", "TDict", "TList", "TOld", "TOldRoot", "TPoly", "TShape", "TSquare"));
    EXPECT_THAT(NamesOf(u.interfaces), ElementsAre("IAuto", "IDrawable"));
    EXPECT_THAT(u.routines, ElementsAre("Area", "External1", "Paint", "Swap"));

    const ClassEntry &shape = Find(u.classes, "TShape");
    EXPECT_EQ(shape.extraString, "TPersistent, IDrawable");
    EXPECT_THAT(shape.methods, ElementsAre("Convert", "Count", "Create", "Destroy", "Draw", "GetBounds", "SetName"));
    EXPECT_THAT(shape.properties, ElementsAre("Items", "Name", "Onion", "OnPlain", "OnTop"));
    EXPECT_THAT(shape.events, ElementsAre("OnAlias", "OnChange", "OnRef", "OnUnknown"));

    const ClassEntry &poly = Find(u.classes, "TPoly");
    EXPECT_EQ(poly.extraString, "TShape");
    EXPECT_THAT(poly.properties, ElementsAre("Name"));
    EXPECT_THAT(poly.events, ElementsAre("OnChange")); // type taken from the ancestor

    EXPECT_EQ(Find(u.classes, "TCircle").extraString, "TShape");
    EXPECT_EQ(Find(u.classes, "TDict").extraString, "specialize TList<K>");
    EXPECT_EQ(Find(u.classes, "TOldRoot").extraString, "");
    EXPECT_THAT(Find(u.classes, "TList").methods, ElementsAre("Add"));

    const ClassEntry &drawable = Find(u.interfaces, "IDrawable");
    EXPECT_EQ(drawable.extraString, "IUnknown");
    EXPECT_THAT(drawable.methods, ElementsAre("Bounds", "Draw"));
    EXPECT_THAT(drawable.properties, ElementsAre("Visible"));
    const ClassEntry &automation = Find(u.interfaces, "IAuto");
    EXPECT_THAT(automation.methods, ElementsAre("Run"));
    EXPECT_THAT(automation.properties, ElementsAre("Name"));
}

TEST(PascalScanner, ReadsEveryConditionalBranchAndKeepsDeclarationsOnce)
{
    SourceLibrary lib;
    lib.ScanText(R"(unit Cond;
interface
type
{$IFDEF WINDOWS}
  TWin = class(TWinBase)
{$ELSE}
  TWin = class(TUnixBase)
{$ENDIF}
    procedure Common;
{$IFNDEF FOO}
    procedure OnlyWithoutFoo;
{$ELSE}
    procedure OnlyWithFoo;
{$ENDIF}
{$IF defined(A)}
    procedure BranchA;
{$ELSEIF defined(B)}
    procedure BranchB;
{$ELSEIF defined(C)}
    procedure BranchC;
{$ELSE}
    procedure BranchElse;
{$ENDIF}
    property Color: Integer read FColor default {$ifdef X}1{$else}2{$endif};
  end;
{$IFDEF X}
  TOnlyX = class end;
{$ENDIF}
{$IFDEF X}
procedure Twice(A: Integer);
{$ELSE}
procedure Twice(A: Int64);
{$ENDIF}
implementation
end.
)",
                 "cond.pas");
    LibraryContents c = lib.Contents("Lib");
    EXPECT_EQ(Warnings(lib), "");
    const UnitEntry &u = c.units.at(0);
    EXPECT_THAT(NamesOf(u.classes), ElementsAre("TOnlyX", "TWin"));
    const ClassEntry &win = Find(u.classes, "TWin");
    EXPECT_EQ(win.extraString, "TWinBase");
    EXPECT_THAT(win.methods, ElementsAre("BranchA", "BranchB", "BranchC", "BranchElse", "Common", "OnlyWithFoo",
                                         "OnlyWithoutFoo"));
    EXPECT_THAT(win.properties, ElementsAre("Color"));
    EXPECT_THAT(u.routines, ElementsAre("Twice"));
}

TEST(PascalScanner, BrokenDeclarationsWarnWithFileAndLineAndTheScanGoesOn)
{
    SourceLibrary lib;
    lib.ScanText(R"(unit Broken;
interface
type
  TFirst = class
    procedure A;
  TSecond = class(TObject)
    procedure B;
  end;
  TThird = class(TObject
    procedure C;
  end;
  123 456;
  TFourth = class end;
procedure Last;
implementation
end.
)",
                 "broken.pas");
    lib.ScanText("unit Good; interface type TGood = class end; implementation end.", "good.pas");
    lib.ScanText("program NotAUnit; begin end.", "prog.pas");
    LibraryContents c = lib.Contents("Lib");
    EXPECT_EQ(Warnings(lib), "broken.pas:6: 'end' of TFirst expected but 'TSecond' found\n"
                             "broken.pas:10: ')' expected but 'procedure' found\n"
                             "broken.pas:12: type declaration expected but '123' found\n");
    ASSERT_EQ(c.units.size(), 2u);
    const UnitEntry &broken = c.units[0];
    EXPECT_THAT(NamesOf(broken.classes), ElementsAre("TFirst", "TFourth", "TSecond", "TThird"));
    EXPECT_THAT(Find(broken.classes, "TFirst").methods, ElementsAre("A"));
    EXPECT_THAT(Find(broken.classes, "TSecond").methods, ElementsAre("B"));
    EXPECT_THAT(broken.routines, ElementsAre("Last"));
    EXPECT_EQ(c.units[1].name, "Good");
}

// The JVM target's and the Objective-C and C++ class forms are listed like classes and
// interfaces; their forward declarations declare nothing, and none of it warns line by line.
TEST(PascalScanner, ListsTheClassFormsOfTheOtherTargets)
{
    SourceLibrary lib;
    lib.ScanText(R"(unit Targets;
interface
type
  JLObject = class external 'java.lang' name 'Object';
  JLRunnable = interface external 'java.lang' name 'Runnable'
    procedure run(); overload;
  end;
  JLThread = class sealed external 'java.lang' name 'Thread' (JLObject, JLRunnable)
  public
    type
      InnerState = class external 'java.lang' name 'Thread$State' (JLObject)
      end;
    final class var
      fMinPriority: jint; external name 'MIN_PRIORITY';
  strict protected
    procedure run(); overload; virtual;
  package
    procedure join(); overload;
  end;
  JLObject = class external 'java.lang' name 'Object'
    function hashCode(): jint; overload; virtual;
  end;
  NSFoo = objcclass external;
  NSObjectProtocol = objcprotocol external name 'NSObject'
  required
    function hash: NSUInteger; message 'hash';
  optional
    function description: NSString; message 'description';
  end;
  NSObject = objcclass external (NSObjectProtocol)
    function init: id; message 'init';
  end;
  NSView = objcclass external (NSObject)
    procedure display; message 'display';
  end;
  NSObjectExtras = objccategory external (NSObject)
    procedure extra; message 'extra';
  end;
  TCppThing = cppclass external 'lib'
    procedure Go;
  end;
  TPacked = class
    Package: Integer;
  package
    procedure InPackage;
  end;
implementation
end.
)",
                 "targets.pas");
    LibraryContents c = lib.Contents("Lib");
    EXPECT_EQ(Warnings(lib), "");
    ASSERT_EQ(c.units.size(), 1u);
    const UnitEntry &u = c.units[0];
    EXPECT_THAT(NamesOf(u.classes), ElementsAre("JLObject", "JLThread", "NSObject", "NSView", "TCppThing", "TPacked"));
    EXPECT_THAT(NamesOf(u.interfaces), ElementsAre("JLRunnable", "NSObjectProtocol"));
    EXPECT_EQ(Find(u.classes, "JLThread").extraString, "JLObject, JLRunnable");
    EXPECT_THAT(Find(u.classes, "JLThread").methods, ElementsAre("join", "run"));
    EXPECT_THAT(Find(u.classes, "JLObject").methods, ElementsAre("hashCode"));
    EXPECT_THAT(Find(u.interfaces, "NSObjectProtocol").methods, ElementsAre("description", "hash"));
    EXPECT_THAT(Find(u.classes, "TPacked").methods, ElementsAre("InPackage"));
    EXPECT_THAT(u.routines, IsEmpty());
    // Classes of other targets have no TObject above them.
    EXPECT_EQ(lib.Diagram("NSView", true)->name, "NSObject");
    EXPECT_EQ(lib.Diagram("JLThread", true)->name, "JLObject");
    EXPECT_EQ(lib.Diagram("TCppThing", true)->name, "TCppThing");
}

// Declarations that lost their section (here the "type" word) warn once, not once per line.
TEST(PascalScanner, TextThatIsNoDeclarationWarnsOncePerRun)
{
    SourceLibrary lib;
    lib.ScanText(R"(unit Lost;
interface
  TA = record A: Integer; end;
  TB = array of TA;
  TC = TB;
const
  Good = 1;
123 456;
procedure Found;
implementation
end.
)",
                 "lost.pas");
    lib.Contents("Lib");
    EXPECT_EQ(Warnings(lib), "lost.pas:3: declaration expected but 'TA' found\n"
                             "lost.pas:8: declaration expected but '123' found\n");
    EXPECT_THAT(lib.Units()[0].routines, ElementsAre("Found"));
}

class IncludeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.Path() / "src");
        std::filesystem::create_directories(dir.Path() / "inc");
    }
    void Write(const std::string &name, const std::string &text) { std::ofstream(dir.File(name)) << text; }

    TempDir dir{"qmkbuild"};
};

TEST_F(IncludeFiles, AreReadFromTheIncludingFolderThenTheGivenPaths)
{
    Write("src/main.pas", "unit Main;\n"
                          "interface\n"
                          "{$I+}{$I %DATE%}\n"
                          "type\n"
                          "  TMain = class\n"
                          "    {$I members.inc}\n"
                          "  end;\n"
                          "{$INCLUDE 'Shared'}\n"
                          "{$I Missing.inc}\n"
                          "{$I self.inc}\n"
                          "implementation\n"
                          "{$I body.inc}\n"
                          "end.\n");
    Write("src/members.inc", "procedure FromSameFolder;\n");
    Write("inc/shared.inc", "procedure FromGivenPath;\n");
    Write("inc/self.inc", "{$I self.inc}\n");
    Write("inc/body.inc", "procedure NotInTheInterface;\n");
    SourceLibrary lib;
    lib.Scan({dir.File("src"), dir.File("inc")});
    LibraryContents c = lib.Contents("Lib");
    ASSERT_EQ(c.units.size(), 1u);
    EXPECT_THAT(Find(c.units[0].classes, "TMain").methods, ElementsAre("FromSameFolder"));
    EXPECT_THAT(c.units[0].routines, ElementsAre("FromGivenPath"));
    EXPECT_EQ(Warnings(lib), "main.pas:9: include file 'Missing.inc' not found\n"
                             "self.inc:1: include files nested too deeply\n");
}

TEST(PascalScanner, PassesNeverTakeMoreThanTheirLimitOnHostileText)
{
    // A long {$ELSEIF} chain, deep nesting and an unclosed comment end normally.
    std::string chain = "unit U; interface {$IF A}";
    for (int i = 0; i < 100; ++i)
        chain += "{$ELSEIF B" + std::to_string(i) + "} procedure P" + std::to_string(i) + ";";
    chain += "{$ENDIF} implementation";
    SourceLibrary lib;
    lib.ScanText(chain, "chain.pas");
    lib.ScanText("unit V; interface type T = class(((((((((( procedure X; { unclosed", "open.pas");
    std::string nested = "unit W; interface type TOuter = class";
    for (int i = 0; i < 100000; ++i)
        nested += " type T = class";
    lib.ScanText(nested, "nested.pas");
    LibraryContents c = lib.Contents("Lib");
    ASSERT_EQ(c.units.size(), 3u);
    EXPECT_EQ(c.units[0].routines.size(), size_t(UnitScanner::kMaxPasses - 2)); // P0 .. P13
    EXPECT_THAT(Warnings(lib), ::testing::HasSubstr("conditional with more than 16 branches"));
    EXPECT_THAT(Warnings(lib), ::testing::HasSubstr("nested.pas:1: types nested too deeply"));

    // An inheritance chain deeper than a reader accepts gets no diagrams, quickly.
    std::string chain2 = "unit Chain; interface type T0 = class end;";
    for (int i = 1; i < 5000; ++i)
        chain2 += " T" + std::to_string(i) + " = class(T" + std::to_string(i - 1) + ") end;";
    SourceLibrary deep;
    deep.ScanText(chain2, "chain2.pas");
    EXPECT_FALSE(deep.Diagram("T4999", true).has_value());
    EXPECT_FALSE(deep.Diagram("T0", true).has_value()); // its descendants reach 5000 levels down
    SourceLibrary shallow;
    shallow.ScanText("unit S; interface type T0 = class end; T1 = class(T0) end;", "s.pas");
    EXPECT_TRUE(shallow.Diagram("T1", true).has_value());
}

} // namespace
