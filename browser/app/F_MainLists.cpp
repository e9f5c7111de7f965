// Models and views of the main window's name lists.
#include "browser/app/F_MainLists.h"

#include "browser/support/L1Lists.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
const std::string kNoText;
}

TSymbolListModel::~TSymbolListModel() = default;

void TSymbolListModel::SetList(const TStringList *list)
{
    beginResetModel();
    fOwned.reset();
    fList = list;
    endResetModel();
}

void TSymbolListModel::SetOwnedList(std::unique_ptr<TStringList> list)
{
    beginResetModel();
    fOwned = std::move(list);
    fList = fOwned.get();
    endResetModel();
}

void TSymbolListModel::Clear() { SetList(nullptr); }

void TSymbolListModel::KeepTextsOnly()
{
    if (!fList || fList == fOwned.get()) {
        if (fOwned)
            for (int i = 0; i < fOwned->Count(); ++i)
                fOwned->SetObject(i, nullptr);
        return;
    }
    auto copy = std::make_unique<TStringList>(false);
    copy->SetCapacity(fList->Count());
    for (const TStringList::Entry &e : fList->Items())
        copy->Insert(copy->Count(), e.str);
    // Same texts, same rows: no reset, so the selection stays.
    fOwned = std::move(copy);
    fList = fOwned.get();
}

int TSymbolListModel::Count() const { return fList ? fList->Count() : 0; }

const std::string &TSymbolListModel::Text(int row) const
{
    return row >= 0 && row < Count() ? fList->Strings(row) : kNoText;
}

TObject *TSymbolListModel::Object(int row) const { return row >= 0 && row < Count() ? fList->Objects(row) : nullptr; }

int TSymbolListModel::FindText(std::string_view text) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(fList->Strings(i), text))
            return i;
    return -1;
}

int TSymbolListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

QVariant TSymbolListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return FromCp1252(fList->Strings(index.row()));
    return {};
}

int ColumnCountFor(int width, int columnWidth, bool oneAndAHalf)
{
    if (columnWidth < 1 || width < 1)
        return 0;
    if (!oneAndAHalf)
        return width / columnWidth;
    // width / (1.5 * columnWidth) = 2 * width / (3 * columnWidth), rounded halves to even.
    long long num = 2LL * width, den = 3LL * columnWidth;
    long long q = num / den, twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q % 2) == 1))
        ++q;
    return static_cast<int>(q);
}

std::string FlatEntryName(const std::string &text) { return text.substr(0, text.find(' ')); }

std::string FlatEntryOwner(const std::string &text)
{
    size_t close = text.find(')');
    if (close == std::string::npos)
        return {};
    size_t open = text.rfind('(', close);
    if (open == std::string::npos)
        return {};
    return text.substr(open + 1, close - open - 1);
}

TSymbolListView::TSymbolListView(const QString &objectName, const QString &accessibleName, const QString &hint,
                                 QWidget *parent)
    : QListView(parent), fModel(new TSymbolListModel(this))
{
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    if (!hint.isEmpty())
        setToolTip(hint);
    setModel(fModel);
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setLayoutMode(QListView::SinglePass);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setWrapping(false);
}

void TSymbolListView::SetColumns(int count)
{
    fColumnWidth = 0;
    fColumns = count < 0 ? 0 : count;
    UpdateGrid();
}

void TSymbolListView::SetColumnRule(int columnWidth, bool oneAndAHalf)
{
    fColumnWidth = columnWidth < 1 ? -1 : columnWidth;
    fOneAndAHalf = oneAndAHalf;
    fColumns = ColumnCountFor(width(), columnWidth, oneAndAHalf);
    UpdateGrid();
}

void TSymbolListView::UpdateGrid()
{
    if (fColumns <= 0) {
        if (isWrapping() || gridSize().isValid()) {
            setWrapping(false);
            setGridSize(QSize());
        }
        return;
    }
    // Each column gets an equal share of the visible width; rows keep the font's height.
    int rowHeight = fontMetrics().height() + 2;
    QSize grid(L1Max(1, viewport()->width() / fColumns), rowHeight);
    if (!isWrapping())
        setWrapping(true);
    if (gridSize() != grid)
        setGridSize(grid);
    viewport()->update();
}

void TSymbolListView::resizeEvent(QResizeEvent *event)
{
    if (fColumnWidth != 0)
        fColumns = ColumnCountFor(width(), fColumnWidth, fOneAndAHalf);
    UpdateGrid();
    QListView::resizeEvent(event);
}

std::string TSymbolListView::SelectedText() const { return fModel->Text(SelectedRow()); }

int TSymbolListView::SelectedRow() const
{
    if (!selectionModel())
        return -1;
    QModelIndex index = currentIndex();
    if (index.isValid() && selectionModel()->isSelected(index))
        return index.row();
    // Selected without becoming the current entry (by an accessibility tool).
    QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

bool TSymbolListView::SelectText(std::string_view text)
{
    int row = fModel->FindText(text);
    if (row < 0)
        return false;
    SelectRow(row);
    return true;
}

void TSymbolListView::SelectRow(int row)
{
    fProgrammatic = true;
    if (row < 0 || row >= fModel->Count()) {
        selectionModel()->clear();
    } else {
        QModelIndex index = fModel->index(row);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    }
    fProgrammatic = false;
}

void TSymbolListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QListView::selectionChanged(selected, deselected);
    // Mouse and keyboard select through here; focus alone moves only the current index.
    if (fProgrammatic || selected.isEmpty())
        return;
    // Accessibility tools select without moving the current index: the selected entry becomes it.
    QModelIndex first = selected.indexes().value(0);
    if (first.isValid() && first != currentIndex()) {
        fProgrammatic = true;
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        fProgrammatic = false;
    }
    emit Click();
}

void TSymbolListView::mousePressEvent(QMouseEvent *event)
{
    QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (RightPressSelects && at.isValid())
            SelectRow(at.row());
        event->accept();
        return;
    }
    fPressedOnCurrent = at.isValid() && at == currentIndex() && selectionModel()->isSelected(at);
    QListView::mousePressEvent(event);
}

void TSymbolListView::mouseReleaseEvent(QMouseEvent *event)
{
    bool again = fPressedOnCurrent && event->button() == Qt::LeftButton &&
                 indexAt(event->position().toPoint()) == currentIndex();
    fPressedOnCurrent = false;
    QListView::mouseReleaseEvent(event);
    // A click on the entry already chosen chooses it again.
    if (again)
        emit Click();
}

void TSymbolListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DoubleClick();
}

void TSymbolListView::keyPressEvent(QKeyEvent *event)
{
    if (KeysActAsDoubleClick && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                                 event->key() == Qt::Key_Space)) {
        emit DoubleClick();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}
