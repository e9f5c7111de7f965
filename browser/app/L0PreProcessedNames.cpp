// The name-search engine and the model of a result list box.

#include "browser/app/L0PreProcessedNames.h"

#include "browser/app/F_QMKB_Search.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"

#include <QAbstractItemView>
#include <QLabel>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::array<unsigned char, 256> BuildUpperTable()
{
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) // the division sign sits where a letter would
            t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A; // s caron
    t[0x9C] = 0x8C; // oe
    t[0x9E] = 0x8E; // z caron
    t[0xFF] = 0x9F; // y diaeresis
    return t;
}

const std::array<unsigned char, 256> kUpper = BuildUpperTable();

} // namespace

std::string L0UpperCase(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return result;
}

TL0PreProcessedName::TL0PreProcessedName(std::string text, bool matched) : Text(std::move(text)), Matched(matched)
{
    Key = L0UpperCase(std::string_view(Text).substr(0, Text.find(' ')));
}

// ---- TL0SearchResultsModel ---------------------------------------------------------

int TL0SearchResultsModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    if (fSource)
        return fSource->rowCount();
    return static_cast<int>(fRows.size());
}

QVariant TL0SearchResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != 0)
        return {};
    const int row = index.row();
    if (fSource)
        return fSource->data(fSource->index(row, 0), role);
    if (row < 0 || row >= static_cast<int>(fRows.size()) || !fTexts)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return FromCp1252((*fTexts)[size_t(fRows[size_t(row)])]);
    return {};
}

void TL0SearchResultsModel::BeginUpdate()
{
    if (fUpdateDepth++ == 0)
        beginResetModel();
}

void TL0SearchResultsModel::EndUpdate()
{
    if (fUpdateDepth > 0 && --fUpdateDepth == 0)
        endResetModel();
}

void TL0SearchResultsModel::Disconnect()
{
    for (const QMetaObject::Connection &c : fSourceConnections)
        disconnect(c);
    fSourceConnections.clear();
    fSource = nullptr;
}

void TL0SearchResultsModel::Clear()
{
    BeginUpdate();
    Disconnect();
    fTexts = nullptr;
    fRows.clear();
    EndUpdate();
}

void TL0SearchResultsModel::AssignSource(QAbstractItemModel *source)
{
    BeginUpdate();
    Clear();
    fSource = source;
    if (source) {
        // The view follows the source: every structural change of the source is a reset here.
        auto begin = [this] { BeginUpdate(); };
        auto end = [this] { EndUpdate(); };
        fSourceConnections = {
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this, begin),
            connect(source, &QAbstractItemModel::modelReset, this, end),
            connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, begin),
            connect(source, &QAbstractItemModel::rowsInserted, this, end),
            connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, begin),
            connect(source, &QAbstractItemModel::rowsRemoved, this, end),
            connect(source, &QAbstractItemModel::rowsAboutToBeMoved, this, begin),
            connect(source, &QAbstractItemModel::rowsMoved, this, end),
            connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, begin),
            connect(source, &QAbstractItemModel::layoutChanged, this, end),
            connect(source, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                        emit dataChanged(index(from.row()), index(to.row()), roles);
                    }),
            connect(source, &QObject::destroyed, this, [this] {
                BeginUpdate();
                Disconnect();
                EndUpdate();
            }),
        };
    }
    EndUpdate();
}

void TL0SearchResultsModel::AssignMatches(const std::vector<std::string> *texts, std::vector<int> rows)
{
    BeginUpdate();
    Clear();
    fTexts = texts;
    fRows = std::move(rows);
    EndUpdate();
}

// ---- TL0PreProcessedNames ----------------------------------------------------------

TL0PreProcessedNames::TL0PreProcessedNames(TfrmQMKB_Search *searchForm, QLabel *countLabel,
                                           TL0SearchResultsModel *searchResults)
    : fSearchForm(searchForm), fSearchResults(searchResults), fCountLabel(countLabel)
{
}

std::string_view TL0PreProcessedNames::Key(int i) const
{
    const uint32_t from = fKeyStarts[size_t(i)];
    return std::string_view(fKeys).substr(from, fKeyStarts[size_t(i) + 1] - 1 - from);
}

void TL0PreProcessedNames::AppendName(std::string text)
{
    TL0PreProcessedName name(std::move(text));
    if (fKeys.empty())
        fKeys = ' ';
    if (fKeyStarts.empty())
        fKeyStarts.push_back(1);
    fKeys += name.Key;
    fKeys += ' ';
    fKeyStarts.push_back(uint32_t(fKeys.size()));
    fTexts.push_back(std::move(name.Text));
    fMatched.push_back(0);
}

void TL0PreProcessedNames::AssignNames(const std::vector<std::string> &names)
{
    fTexts.reserve(fTexts.size() + names.size());
    for (const std::string &text : names)
        AppendName(text);
}

void TL0PreProcessedNames::LoadFromListbox()
{
    if (!fListbox || !fListbox->model())
        return;
    const QAbstractItemModel *model = fListbox->model();
    const int count = model->rowCount();
    fTexts.reserve(fTexts.size() + size_t(count));
    fMatched.reserve(fMatched.size() + size_t(count));
    fKeyStarts.reserve(fKeyStarts.size() + size_t(count) + 1);
    for (int row = 0; row < count; ++row)
        AppendName(ToCp1252(model->data(model->index(row, 0), Qt::DisplayRole).toString()));
}

void TL0PreProcessedNames::ReloadFromListbox()
{
    // The result list may show texts of the entries about to go.
    if (fSearchResults && !fSearchResults->IsSourceCopy())
        fSearchResults->Clear();
    fTexts.clear();
    fKeys.clear();
    fKeyStarts.clear();
    fMatched.clear();
    LoadFromListbox();
}

int TL0PreProcessedNames::Match(std::string_view text)
{
    if (text.empty()) {
        // Every entry counts, so every entry is marked: flags left from an earlier text
        // would list that text's matches under an empty search box.
        std::fill(fMatched.begin(), fMatched.end(), 1);
        fMatchCount = Count();
    } else {
        std::fill(fMatched.begin(), fMatched.end(), 0);
        const std::string part = L0UpperCase(text);
        int count = 0;
        // A text with a blank matches nothing (no key has one); any other hit lies inside one key.
        if (part.find(' ') == std::string::npos && !fKeys.empty()) {
            const char *const begin = fKeys.data();
            const char *const end = begin + fKeys.size();
            const char *at = begin;
            auto nextStart = fKeyStarts.begin() + 1;
            while (at < end) {
                const void *hit = memmem(at, size_t(end - at), part.data(), part.size());
                if (!hit)
                    break;
                const uint32_t offset = uint32_t(static_cast<const char *>(hit) - begin);
                // The key holding the hit is the one before the first start beyond it.
                nextStart = std::upper_bound(nextStart, fKeyStarts.end(), offset);
                const size_t entry = size_t(nextStart - fKeyStarts.begin()) - 1;
                fMatched[entry] = 1;
                ++count;
                at = begin + *nextStart;
            }
        }
        fMatchCount = count;
    }
    ShowCount();
    return fMatchCount;
}

void TL0PreProcessedNames::ShowCount()
{
    if (fCountLabel)
        fCountLabel->setText(fMatchCount == 0 ? QString() : QString::number(fMatchCount));
}

int TL0PreProcessedNames::GetShowLimit() const
{
    CheckPrecondition(fSearchForm != nullptr, "TL0PreProcessedNames.GetShowLimit", "fSearchForm<>nil");
    return fSearchForm->ShowLimit();
}

void TL0PreProcessedNames::PopulateMatches()
{
    CheckPrecondition(fSearchResults != nullptr, "TL0PreProcessedNames.PopulateMatches", "fSearchResults<>nil");
    if (GetShowLimit() >= fMatchCount)
        AssignMatchesTo(*fSearchResults);
    else
        fSearchResults->Clear();
}

void TL0PreProcessedNames::AssignMatchesTo(TL0SearchResultsModel &target) const
{
    CheckPrecondition(fListbox != nullptr, "TL0PreProcessedNames.AssignMatchesTo", "fListbox<>nil");
    QAbstractItemModel *source = fListbox->model();
    const int sourceCount = source ? source->rowCount() : 0;
    target.BeginUpdate();
    if (source && sourceCount == fMatchCount) {
        target.AssignSource(source);
    } else {
        std::vector<int> rows;
        rows.reserve(size_t(std::min(fMatchCount, Count())));
        for (int i = 0; i < Count(); ++i)
            if (fMatched[size_t(i)])
                rows.push_back(i);
        target.AssignMatches(&fTexts, std::move(rows));
    }
    target.EndUpdate();
}
