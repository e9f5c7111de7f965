#pragma once
// The name-search engine: one per kind of symbol. It keeps the entries of a source list box
// with their search keys computed once per load, tests a typed text against every key on
// each keystroke, shows the match count and fills the kind's result list when the matches
// are few enough.

#include <QAbstractListModel>
#include <QAbstractItemView>
#include <QMetaObject>
#include <QPointer>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class TfrmQMKB_Search;

// Upper case of Windows-1252 text as the system's locale-aware upper-casing gives it
// (accented letters too; letters without an upper form in the code page, such as the sharp s
// and the micro sign, stay).
std::string L0UpperCase(std::string_view text);

// One searchable entry: the text as listed, its key (the text before its first blank,
// upper-cased) and whether the last search matched it.
struct TL0PreProcessedName {
    explicit TL0PreProcessedName(std::string text, bool matched = false);

    std::string Text;
    std::string Key;
    bool Matched = false;
};

// The items of a result list box. Either empty, a live view of the whole source list
// (every role of every row, so texts and attached objects, without copying anything), or
// the texts of an engine's matched entries (no attached objects).
class TL0SearchResultsModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Both callers hold one begin-update/end-update bracket around their changes.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    void AssignSource(QAbstractItemModel *source);
    // texts must stay alive until the next change; the owning engine clears this model
    // before it frees them.
    void AssignMatches(const std::vector<std::string> *texts, std::vector<int> rows);

    bool IsSourceCopy() const { return fSource != nullptr; }

private:
    void Disconnect();

    QPointer<QAbstractItemModel> fSource;
    std::vector<QMetaObject::Connection> fSourceConnections;
    const std::vector<std::string> *fTexts = nullptr;
    std::vector<int> fRows;
    int fUpdateDepth = 0;
};

class TL0PreProcessedNames {
public:
    // The window, the kind's count label and its result list; none of them is owned.
    TL0PreProcessedNames(TfrmQMKB_Search *searchForm, QLabel *countLabel, TL0SearchResultsModel *searchResults);
    TL0PreProcessedNames(const TL0PreProcessedNames &) = delete;
    TL0PreProcessedNames &operator=(const TL0PreProcessedNames &) = delete;

    // The source list box whose items are searched; not owned, forgotten when it is destroyed.
    QAbstractItemView *Listbox() const { return fListbox; }
    void SetListbox(QAbstractItemView *listbox) { fListbox = listbox; }

    // Appends one entry per name, in order; existing entries are kept.
    void AssignNames(const std::vector<std::string> &names);
    void LoadFromListbox();
    void ReloadFromListbox();

    // Marks every entry whose key contains the upper-cased text; gives the match count.
    int Match(std::string_view text);
    int MatchCount() const { return fMatchCount; }

    int GetShowLimit() const;
    void PopulateMatches();
    void AssignMatchesTo(TL0SearchResultsModel &target) const;

    int Count() const { return static_cast<int>(fTexts.size()); }
    TL0PreProcessedName Name(int i) const { return TL0PreProcessedName(fTexts[size_t(i)], fMatched[size_t(i)] != 0); }
    const std::string &Text(int i) const { return fTexts[size_t(i)]; }
    std::string_view Key(int i) const;
    bool Matched(int i) const { return fMatched[size_t(i)] != 0; }

private:
    void AppendName(std::string text);
    void ShowCount();

    // The entries by column. Every key follows a blank in one buffer: a blank is in no key,
    // so a search walks the buffer once and a hit never spans two keys.
    std::vector<std::string> fTexts;
    std::string fKeys;
    std::vector<uint32_t> fKeyStarts; // one more than entries: the end of the buffer
    std::vector<uint8_t> fMatched;
    QPointer<QAbstractItemView> fListbox;
    TfrmQMKB_Search *fSearchForm;
    TL0SearchResultsModel *fSearchResults;
    QLabel *fCountLabel;
    int fMatchCount = 0;
};
