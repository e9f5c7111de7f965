#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/text/Collation.h"
#include "tests/fixtures/StreamFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

using namespace fixture;

namespace {

using Table = TL1OPascalSymbolTable;

std::vector<std::string> Strings(const TStringList &list)
{
    std::vector<std::string> out;
    for (const TStringList::Entry &e : list.Items())
        out.push_back(e.str);
    return out;
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

// A class record as stored: name, extra, then properties, methods, events.
std::string ClassRecord(const std::string &name, const std::string &extra, std::vector<std::string> properties = {},
                        std::vector<std::string> methods = {}, std::vector<std::string> events = {})
{
    std::string r = Str(name) + Str(extra);
    for (const auto *list : {&properties, &methods, &events}) {
        r += Int(int32_t(list->size()));
        for (const std::string &s : *list)
            r += Str(s);
    }
    return r;
}

// A unit record: name, interfaces, classes (records given), routines.
std::string UnitRecord(const std::string &name, std::vector<std::string> interfaces, std::vector<std::string> classes,
                       std::vector<std::string> routines)
{
    std::string r = Str(name) + Word(uint16_t(interfaces.size()));
    for (const std::string &i : interfaces)
        r += i;
    r += Word(uint16_t(classes.size()));
    for (const std::string &c : classes)
        r += c;
    r += Word(uint16_t(routines.size()));
    for (const std::string &s : routines)
        r += Str(s);
    return r;
}

std::string TableRecord(const std::string &name, std::vector<std::string> units)
{
    std::string r = Str(name) + Int(int32_t(units.size()));
    for (const std::string &u : units)
        r += u;
    return r;
}

// Two units stored out of alphabetical order, as a writer with another collation may leave them.
std::unique_ptr<Table> TwoUnitTable()
{
    std::string bytes = TableRecord(
        "Lib", {UnitRecord("Zeta", {ClassRecord("IZ", "IUnknown", {"Count"}, {"Add"})},
                           {ClassRecord("TShape", "TGraphic", {"Pen", "Brush"}, {"Paint"}, {"OnChange"})},
                           {"Beep", "Shared"}),
                UnitRecord("Alpha", {}, {ClassRecord("TAlpha", "", {}, {"Paint"})}, {"Shared", "Zap"})});
    return ReadFromBytes<Table>(bytes);
}

TEST(SymbolTableFormat, EmptyUnitAndMemberlessClassRecords)
{
    Table table("Lib");
    TL1OPascalSymbolTable_Unit *empty = table.AddUnit("Empty");
    EXPECT_EQ(BytesOf(*empty), Str("Empty") + Word(0) + Word(0) + Word(0));
    TL1OPascalSymbolTable_Class *bare = table.AddUnit("U")->AddClass("TBare", "TObject");
    EXPECT_EQ(BytesOf(*bare), Str("TBare") + Str("TObject") + Int(0) + Int(0) + Int(0));
}

TEST(SymbolTableFormat, WriterSortsUnitListsButKeepsMemberOrder)
{
    Table table("Lib");
    TL1OPascalSymbolTable_Unit *b = table.AddUnit("b");
    table.AddUnit("A");
    b->AddRoutine("zeta");
    b->AddRoutine("Alpha");
    TL1OPascalSymbolTable_Class *c = b->AddClass("TC", "TObject, IFoo");
    c->Properties.Add("Zed");
    c->Properties.Add("Abc");
    b->AddClass("TB");

    std::string expected = TableRecord(
        "Lib", {UnitRecord("A", {}, {}, {}),
                UnitRecord("b", {}, {ClassRecord("TB", ""), ClassRecord("TC", "TObject, IFoo", {"Zed", "Abc"})},
                           {"Alpha", "zeta"})});
    std::string bytes = BytesOf(table);
    EXPECT_EQ(bytes, expected);

    // Read back: stored order, unit links, extra string, denormalised.
    auto read = ReadFromBytes<Table>(bytes);
    ASSERT_EQ(read->UnitCount(), 2);
    EXPECT_EQ(read->Name, "Lib");
    const TL1OPascalSymbolTable_Unit *unitB = read->GetUnit(1);
    EXPECT_EQ(Strings(unitB->Routines()), (std::vector<std::string>{"Alpha", "zeta"}));
    EXPECT_EQ(unitB->GetRoutine(1)->Unit, unitB);
    EXPECT_EQ(unitB->GetClass(0)->Unit, unitB);
    EXPECT_EQ(read->FindClass("TC")->ExtraString, "TObject, IFoo");
    EXPECT_EQ(Strings(read->FindClass("TC")->Properties), (std::vector<std::string>{"Zed", "Abc"}));
    EXPECT_TRUE(read->IsDenormalized());
    EXPECT_EQ(BytesOf(*read), bytes);
}

TEST(SymbolTableFormat, TruncatedClassRecordFailsWithShortRead)
{
    std::string bytes = TableRecord("Lib", {UnitRecord("U", {}, {ClassRecord("TShape", "X", {"Pen"})}, {})});
    bytes.resize(bytes.size() - 7); // 3 bytes into the method count
    std::string message = MessageOf([&] { ReadFromBytes<Table>(bytes); });
    EXPECT_NE(message.find("TvdStream.SafeRead"), std::string::npos) << message;
    EXPECT_NE(message.find("Should read 4 bytes, but 3 was read."), std::string::npos) << message;
}

TEST(SymbolTableViews, DenormalisedViewsAreSortedAndQualified)
{
    auto table = TwoUnitTable();
    EXPECT_EQ(Strings(table->Classes()), (std::vector<std::string>{"TAlpha", "TShape"}));
    EXPECT_EQ(Strings(table->Interfaces()), (std::vector<std::string>{"IZ"}));
    EXPECT_EQ(Strings(table->Routines()).size(), 4u);
    EXPECT_EQ(Strings(table->Properties()), (std::vector<std::string>{"Brush (TShape)", "Count (IZ)", "Pen (TShape)"}));
    EXPECT_EQ(Strings(table->Methods()), (std::vector<std::string>{"Add (IZ)", "Paint (TAlpha)", "Paint (TShape)"}));
    EXPECT_EQ(Strings(table->Events()), (std::vector<std::string>{"OnChange (TShape)"}));
    EXPECT_EQ(table->Methods().Objects(0), table->FindInterface("IZ"));
    EXPECT_EQ(table->Methods().Objects(2), table->FindClass("TShape"));

    EXPECT_EQ(table->UnitCount(), 2);
    EXPECT_EQ(table->ClassCount(), 2);
    EXPECT_EQ(table->InterfaceCount(), 1);
    EXPECT_EQ(table->RoutineCount(), 4);
    EXPECT_EQ(table->PropertyCount(), 3);
    EXPECT_EQ(table->MethodCount(), 3);
    EXPECT_EQ(table->EventCount(), 1);
}

TEST(SymbolTableViews, MemberViewsFollowTheCollationOfTheWholeEntry)
{
    // Names differing in letter case interleave by owner; a shorter name or owner comes first.
    Table table("Lib");
    TL1OPascalSymbolTable_Unit *unit = table.AddUnit("U");
    unit->AddClass("TB", "")->Methods.Add("Create");
    unit->AddClass("TAB", "")->Methods.Add("create");
    unit->AddInterface("TA", "")->Methods.Add("Create");
    unit->AddClass("TC", "")->Methods.Add("Create1");
    unit->AddClass("TD", "")->Methods.Add("Creat");
    table.EnsureDenormalized();
    EXPECT_EQ(Strings(table.Methods()), (std::vector<std::string>{"Creat (TD)", "Create (TA)", "create (TAB)",
                                                                  "Create (TB)", "Create1 (TC)"}));

    // Random names with hyphens, apostrophes, accents, digits and punctuation: the view holds
    // every entry, in an order the collation agrees with.
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"a", "A", "b", "_", "1", "-", "'", "\xE4", "\xC4", " ", "(", "e"};
    auto name = [&] {
        std::string n;
        for (int k = 1 + int(random() % 4); k > 0; --k)
            n += pieces[random() % pieces.size()];
        return n;
    };
    Table mixed("Mixed");
    std::vector<std::string> expected;
    for (int u = 0; u < 3; ++u) {
        TL1OPascalSymbolTable_Unit *mixedUnit = mixed.AddUnit("U" + std::to_string(u));
        for (int c = 0; c < 40; ++c) {
            std::string owner = "T" + name();
            TL1OPascalSymbolTable_Class *cls =
                c % 4 ? mixedUnit->AddClass(owner, "") : mixedUnit->AddInterface(owner, "");
            for (int m = 0; m < 5; ++m) {
                std::string member = name();
                cls->Properties.Add(member);
                expected.push_back(member + " (" + owner + ")");
            }
        }
    }
    mixed.EnsureDenormalized();
    std::vector<std::string> view = Strings(mixed.Properties());
    for (size_t i = 1; i < view.size(); ++i)
        EXPECT_LE(text::CompareText(view[i - 1], view[i]), 0) << view[i - 1] << " | " << view[i];
    std::sort(view.begin(), view.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(view, expected);
}

TEST(SymbolTableViews, LookupsIgnoreCaseAndFindUnitsInFileOrder)
{
    auto table = TwoUnitTable();
    // The units are stored Zeta, Alpha: bisection misses "alpha", the linear scan finds it.
    ASSERT_NE(table->FindUnit("alpha"), nullptr);
    EXPECT_EQ(table->FindUnit("ALPHA")->Name, "Alpha");
    EXPECT_EQ(table->FindUnit("Beta"), nullptr);
    EXPECT_TRUE(table->GetHasClass("tshape"));
    EXPECT_FALSE(table->GetHasClass("TCircle"));
    EXPECT_TRUE(table->GetHasInterface("iz"));
    EXPECT_EQ(table->FindClass("TSHAPE")->Unit->Name, "Zeta");
    EXPECT_EQ(table->FindInterface("TShape"), nullptr);
    EXPECT_TRUE(table->FindUnit("Zeta")->GetHasRoutine("BEEP"));
    EXPECT_FALSE(table->FindUnit("Alpha")->GetHasRoutine("Beep"));
}

TEST(SymbolTableViews, RoutineDeclaredInTwoUnits)
{
    auto table = TwoUnitTable();
    const std::vector<std::string> routines = Strings(table->Routines());
    EXPECT_EQ(std::count(routines.begin(), routines.end(), "Shared"), 2);
    EXPECT_FALSE(table->IsUniqueRoutineName("shared"));
    EXPECT_TRUE(table->IsUniqueRoutineName("Zap"));
    EXPECT_FALSE(table->IsUniqueRoutineName("Missing"));
    EXPECT_TRUE(table->IsUniqueClassName("TShape"));
    // First in unit order, not alphabetical order.
    EXPECT_EQ(table->FindUnitOfRoutine("shared"), "Zeta");
    EXPECT_EQ(table->FindUnitOfRoutine("Nothing"), "");

    TStringList owners;
    owners.Add("kept");
    EXPECT_EQ(table->ListRoutineOwners("Shared", owners), 2);
    EXPECT_EQ(Strings(owners), (std::vector<std::string>{"kept", "Shared (Alpha)", "Shared (Zeta)"}));
    EXPECT_EQ(table->ListRoutineOwners("Nothing", owners), 0);
}

TEST(SymbolTableViews, UnreadTableFailsDenormalisedPreconditions)
{
    Table table;
    EXPECT_EQ(table.UnitCount(), 0);
    EXPECT_EQ(MessageOf([&] { table.GetHasClass("X"); }),
              PreconditionViolatedText("TL1OPascalSymbolTable.GetHasClass",
                                       "The following condition was not satisfied:\r\nfIsDenormalized=True"));
    const std::pair<const char *, std::function<void()>> counts[] = {
        {"GetClassCount", [&] { table.ClassCount(); }},       {"GetInterfaceCount", [&] { table.InterfaceCount(); }},
        {"GetRoutineCount", [&] { table.RoutineCount(); }},   {"GetPropertyCount", [&] { table.PropertyCount(); }},
        {"GetMethodCount", [&] { table.MethodCount(); }},     {"GetEventCount", [&] { table.EventCount(); }},
    };
    for (const auto &[routine, call] : counts)
        EXPECT_EQ(MessageOf(call),
                  PreconditionViolatedText(std::string("TL1OPascalSymbolTable.") + routine,
                                           "The following condition was not satisfied:\r\nfIsDenormalized"));
    // The uniqueness tests denormalise first.
    table.AddUnit("U")->AddClass("TOne");
    EXPECT_TRUE(table.IsUniqueClassName("TOne"));
    EXPECT_EQ(table.ClassCount(), 1);
}

} // namespace
