// The matching engine: keys, the substring match, counts, the copy-or-texts rule and its checks.

#include "SearchFixture.h"

#include <QLabel>

#include <gtest/gtest.h>

using fixture::Texts;

namespace {

std::string MessageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &e) {
        return e.Message();
    }
    return "(nothing raised)";
}

// One engine over one source list, with its label and result list.
struct Engine {
    QListView source;
    QStandardItemModel model;
    QLabel label;
    TL0SearchResultsModel results;
    TL0PreProcessedNames names{nullptr, &label, &results};

    explicit Engine(const std::vector<std::string> &entries)
    {
        fixture::Fill(model, entries);
        source.setModel(&model);
        names.SetListbox(&source);
        names.LoadFromListbox();
    }
    std::vector<std::string> Matched() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < names.Count(); ++i)
            if (names.Matched(i))
                texts.push_back(names.Text(i));
        return texts;
    }
};

} // namespace

TEST(SearchKeys, NameBeforeFirstBlankUpperCasedInTheCodePage)
{
    const struct {
        std::string text, key;
    } cases[] = {
        {"IntToStr", "INTTOSTR"},
        {"Paint (TShape)", "PAINT"},
        {"Format (SysUtils)", "FORMAT"},
        {" Leading", ""},
        {"", ""},
        {"\xE4nderung\xFF\x9A\x9C\x9E", "\xC4NDERUNG\x9F\x8A\x8C\x8E"}, // äÿšœž -> ÄŸŠŒŽ
        {"stra\xDF" "e\xB5\xF7", "STRA\xDF" "E\xB5\xF7"},                 // ß, µ and ÷ have no upper form
    };
    for (const auto &c : cases)
        EXPECT_EQ(TL0PreProcessedName(c.text).Key, c.key) << c.text;
}

TEST(SearchMatch, SubstringOfTheKeyInAnyLetterCase)
{
    Engine e({"IntToStr", "StrToInt", "Format (SysUtils)", "\xC4nderungsListe", "Strings (StrUtils)"});
    const struct {
        std::string typed;
        std::vector<std::string> matched;
        std::string label;
    } cases[] = {
        {"str", {"IntToStr", "StrToInt", "Strings (StrUtils)"}, "3"},
        {"STR", {"IntToStr", "StrToInt", "Strings (StrUtils)"}, "3"},
        {"sTr", {"IntToStr", "StrToInt", "Strings (StrUtils)"}, "3"},
        {"sysutils", {}, ""},        // the unit in brackets is not part of the key
        {"utils", {}, ""},
        {"form", {"Format (SysUtils)"}, "1"},
        {"to s", {}, ""},            // a blank never occurs in a key
        {"\xE4nderung", {"\xC4nderungsListe"}, "1"},
        {"xyz", {}, ""},
        {"rs", {}, ""},              // the end of IntToStr and the start of StrToInt
        {"s", {"IntToStr", "StrToInt", "\xC4nderungsListe", "Strings (StrUtils)"}, "4"}, // once per entry
        {"strings", {"Strings (StrUtils)"}, "1"}, // the last key, to its end
    };
    for (const auto &c : cases) {
        EXPECT_EQ(e.names.Match(c.typed), int(c.matched.size())) << c.typed;
        EXPECT_EQ(e.Matched(), c.matched) << c.typed;
        EXPECT_EQ(e.label.text().toStdString(), c.label) << c.typed;
    }
}

TEST(SearchMatch, EmptyTextCountsAndListsEveryEntry)
{
    // Two entries more than the source list shows (the source changed without a reload): the
    // texts path is taken, and it must list every entry, not the last text's matches.
    Engine e({"Alpha", "Beta"});
    e.names.AssignNames({"Gamma", "Delta"});
    EXPECT_EQ(e.names.Count(), 4);
    EXPECT_EQ(e.names.Match("ta"), 2);
    EXPECT_EQ(e.names.Match(""), 4);
    EXPECT_EQ(e.label.text(), "4");
    e.names.AssignMatchesTo(e.results);
    EXPECT_EQ(Texts(e.results), (std::vector<std::string>{"Alpha", "Beta", "Gamma", "Delta"}));
}

TEST(SearchResults, WholeListIsCopiedWithObjectsPartialMatchesAreTextsOnly)
{
    Engine e({"TButton", "TEdit", "TLabel (StdCtrls)"});
    e.names.Match("t");
    e.names.AssignMatchesTo(e.results);
    EXPECT_TRUE(e.results.IsSourceCopy());
    ASSERT_EQ(Texts(e.results), (std::vector<std::string>{"TButton", "TEdit", "TLabel (StdCtrls)"}));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(e.results.index(row).data(Qt::UserRole).value<quintptr>(), fixture::ObjectOf(row));

    e.names.Match("e");
    e.names.AssignMatchesTo(e.results);
    EXPECT_FALSE(e.results.IsSourceCopy());
    ASSERT_EQ(Texts(e.results), (std::vector<std::string>{"TEdit", "TLabel (StdCtrls)"}));
    EXPECT_FALSE(e.results.index(0).data(Qt::UserRole).isValid());
}

TEST(SearchResults, CopyFollowsItsSourceAndOutlivesIt)
{
    Engine e({"A1", "A2"});
    e.names.Match("a");
    e.names.AssignMatchesTo(e.results);
    int resets = 0;
    QObject::connect(&e.results, &QAbstractItemModel::modelReset, [&] { ++resets; });
    fixture::Fill(e.model, {"B1", "B2", "B3"});
    EXPECT_GT(resets, 0);
    EXPECT_EQ(Texts(e.results), (std::vector<std::string>{"B1", "B2", "B3"}));
    auto *gone = new QStandardItemModel;
    fixture::Fill(*gone, {"C"});
    e.source.setModel(gone);
    e.names.ReloadFromListbox();
    e.names.Match("");
    e.names.AssignMatchesTo(e.results);
    EXPECT_TRUE(e.results.IsSourceCopy());
    delete gone;
    EXPECT_EQ(e.results.rowCount(), 0);
    EXPECT_FALSE(e.results.index(0).data().isValid());
}

TEST(SearchEngine, LoadingAppendsReloadingReplaces)
{
    Engine e({"One", "Two"});
    e.names.LoadFromListbox();
    EXPECT_EQ(e.names.Count(), 4);
    fixture::Fill(e.model, {"Three"});
    e.names.ReloadFromListbox();
    ASSERT_EQ(e.names.Count(), 1);
    EXPECT_EQ(e.names.Key(0), "THREE");
    e.names.SetListbox(nullptr);
    e.names.ReloadFromListbox();
    EXPECT_EQ(e.names.Count(), 0);
}

TEST(SearchEngine, ChecksNameTheirRoutineAndCondition)
{
    QLabel label;
    TL0SearchResultsModel results;
    TL0PreProcessedNames unbound(nullptr, &label, &results);
    std::string m = MessageOf([&] { unbound.GetShowLimit(); });
    EXPECT_NE(m.find("TL0PreProcessedNames.GetShowLimit"), std::string::npos) << m;
    EXPECT_NE(m.find("fSearchForm<>nil"), std::string::npos) << m;
    m = MessageOf([&] { unbound.AssignMatchesTo(results); });
    EXPECT_NE(m.find("TL0PreProcessedNames.AssignMatchesTo"), std::string::npos) << m;
    EXPECT_NE(m.find("fListbox<>nil"), std::string::npos) << m;
    TL0PreProcessedNames noResults(nullptr, &label, nullptr);
    m = MessageOf([&] { noResults.PopulateMatches(); });
    EXPECT_NE(m.find("TL0PreProcessedNames.PopulateMatches"), std::string::npos) << m;
    EXPECT_NE(m.find("fSearchResults<>nil"), std::string::npos) << m;
}
