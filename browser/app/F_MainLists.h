#pragma once
// The main window's lists: a model over a name list of the symbol table (no copy of its entries)
// and a list view that lays the names out in columns of equal width, top to bottom.

#include "browser/support/L1Lists.h"

#include <QAbstractListModel>
#include <QListView>

#include <memory>
#include <string>
#include <string_view>

class TSymbolListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    ~TSymbolListModel() override;

    // Shows a list owned elsewhere; it must outlive the model's use of it (or be let go first).
    void SetList(const TStringList *list);
    // Shows a list the model owns.
    void SetOwnedList(std::unique_ptr<TStringList> list);
    void Clear();
    // Keeps the texts shown but lets go of the list and its objects, for a list that is about to
    // be freed (its objects would dangle).
    void KeepTextsOnly();

    int Count() const;
    const std::string &Text(int row) const;
    TObject *Object(int row) const;
    // The first row whose text equals the text ignoring letter case; -1 when none.
    int FindText(std::string_view text) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const TStringList *fList = nullptr;
    std::unique_ptr<TStringList> fOwned;
};

// Columns that fit: width / column width, or for the member lists width / (1.5 x column width)
// rounded to the nearest integer with halves to the even neighbour. 0 for a column width below 1.
int ColumnCountFor(int width, int columnWidth, bool oneAndAHalf);

// Entries of the flat lists, such as "Paint (TShape)" or "Format (SysUtils)": the name is the
// text up to its first blank; the owner the text between the last "(" before the first ")" and
// that ")", empty when there is none.
std::string FlatEntryName(const std::string &text);
std::string FlatEntryOwner(const std::string &text);

class TSymbolListView : public QListView {
    Q_OBJECT
public:
    // objectName as the window names it, accessible name saying what it shows, hint as tool tip.
    TSymbolListView(const QString &objectName, const QString &accessibleName, const QString &hint = {},
                    QWidget *parent = nullptr);

    TSymbolListModel *Model() const { return fModel; }

    // A fixed number of columns of equal width (0: one column that scrolls vertically).
    void SetColumns(int count);
    int Columns() const { return fColumns; }
    // The column count follows the list's width: ColumnCountFor(width, columnWidth, oneAndAHalf),
    // computed now and again whenever the list is resized.
    void SetColumnRule(int columnWidth, bool oneAndAHalf);

    // The selected entry's text; empty when nothing is selected.
    std::string SelectedText() const;
    int SelectedRow() const;
    // Selects the entry whose text equals the text ignoring case, without raising Click; false
    // when it is not listed (the selection stays).
    bool SelectText(std::string_view text);
    // Selects the row without raising Click; -1 clears the selection.
    void SelectRow(int row);

    // Enter and Space act as a double click; a right press first selects the entry under it.
    bool KeysActAsDoubleClick = false;
    bool RightPressSelects = false;

signals:
    // The user chose an entry (mouse or keyboard); not raised by SelectText/SelectRow.
    void Click();
    void DoubleClick();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void UpdateGrid();

    TSymbolListModel *fModel;
    int fColumns = 0;
    int fColumnWidth = 0; // 0: fixed column count
    bool fOneAndAHalf = false;
    bool fProgrammatic = false;
    bool fPressedOnCurrent = false;
};
