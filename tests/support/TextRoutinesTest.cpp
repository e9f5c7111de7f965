#include "browser/support/L1basis.h"
#include "browser/support/L1Lists.h"

#include <gtest/gtest.h>

TEST(TextRoutines, Table)
{
    EXPECT_TRUE(IsBlank(" \t\r\n"));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_EQ(TextBefore("a.b.c", "."), "a");
    EXPECT_EQ(TextBefore("abc", "."), "abc");
    EXPECT_EQ(TextBetween("x(a(b)c)", "(", ")"), "b");
    EXPECT_EQ(TextBetween("x(a", "(", ")"), "");
    EXPECT_EQ(TextBetween("a)b(", "(", ")"), "");
    EXPECT_EQ(LastPos("ab", "abcab"), 4);
    EXPECT_EQ(LastPos("z", "abc"), 0);
    EXPECT_EQ(LeftChars("abc", 5), "abc");
    EXPECT_EQ(RightChars("abc", 2), "bc");
    EXPECT_EQ(WithTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\a\\"), "C:\\a");
    EXPECT_EQ(FileTitle("/x/y/Lib.Name.qmk"), "Lib.Name");
    EXPECT_EQ(FileTitle("/docs/Help: Units.qmk"), "Help: Units"); // ":" separates no folder here
    EXPECT_TRUE(SameText("TObject", "tobject"));
    EXPECT_EQ(L1Clamp(0, -50, 10), 0);
    EXPECT_EQ(HexStatus(0x80030002u), "80030002");
}

TEST(StringList, SortedFindAndLinearConfirmation)
{
    TStringList list(true);
    list.Add("beta", new TObject);
    list.Add("Alpha", new TObject);
    list.Add("gamma");
    list.SetSorted(true);
    EXPECT_EQ(list.Strings(0), "Alpha");
    EXPECT_EQ(list.IndexOf("GAMMA"), 2);
    // A list stored in another order and taken as sorted still finds every entry.
    TStringList fileOrder;
    fileOrder.Add("b");
    fileOrder.Add("a_b");
    fileOrder.Add("a1");
    fileOrder.AssumeSorted();
    EXPECT_EQ(fileOrder.IndexOf("A1"), 2);
    EXPECT_EQ(fileOrder.IndexOf("zz"), -1);
    EXPECT_EQ(FindObject(list, "ALPHA"), list.Objects(0));
}

TEST(StringListRecycler, HandsOutEmptyListsAndKeepsThoseGivenBack)
{
    TL1StringListRecycler recycler;
    std::unique_ptr<TStringList> list = recycler.Get();
    list->SetOwnsObjects(true);
    list->Add("b", new TObject);
    list->Add("a");
    list->SetSorted(true);
    TStringList *kept = list.get();
    recycler.Recycle(std::move(list));
    recycler.Recycle(nullptr);
    EXPECT_EQ(recycler.KeptCount(), 1);
    std::unique_ptr<TStringList> again = recycler.Get();
    EXPECT_EQ(again.get(), kept);
    EXPECT_TRUE(again->Empty());
    EXPECT_FALSE(again->OwnsObjects());
    EXPECT_FALSE(again->Sorted());
    EXPECT_EQ(recycler.KeptCount(), 0);
    EXPECT_NE(recycler.Get(), nullptr);
    EXPECT_EQ(&StringListRecycler(), &StringListRecycler());
}
