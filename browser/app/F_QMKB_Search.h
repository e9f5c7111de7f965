#pragma once
// The search window: the user types part of a name and sees, per kind of symbol, how many
// names contain it, and the matches of the visible page when they are few enough.
// A double click (or Enter or Space) on a hit hands it to the owner through the kind's
// select event.

#include "browser/app/L0PreProcessedNames.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAbstractItemView;
class QLabel;
class QLineEdit;
class QListView;
class QTabWidget;
class QToolButton;

// The kinds in page order.
enum class TL0NameKind { Routine, Interface, Class, Property, Method, Event };
constexpr int L0NameKindCount = 6;

// A notification with its sender: the result list box whose selected entry was picked.
using TSearchSelectEvent = std::function<void(QAbstractItemView *sender)>;
using TSearchSelectEvents = std::array<TSearchSelectEvent, L0NameKindCount>;

// The up-down control attached to an edit: its arrows step the edit's number within the
// range, without wrapping. The edit's own text is read first, so typed values step on.
class TL0UpDown : public QWidget {
public:
    TL0UpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent = nullptr);

    int Position() const { return fPosition; }
    void SetPosition(int position);
    void Step(int direction);

    QToolButton *UpButton() const { return fUp; }
    QToolButton *DownButton() const { return fDown; }

private:
    QLineEdit *fAssociate;
    QToolButton *fUp;
    QToolButton *fDown;
    int fMinimum, fMaximum, fIncrement;
    int fPosition;
};

class TfrmQMKB_Search : public QWidget {
public:
    explicit TfrmQMKB_Search(QWidget *parent = nullptr);
    ~TfrmQMKB_Search() override;

    int ShowLimit() const { return fShowLimit; }
    // A different value is stored and written into txtShowLimit.
    void SetShowLimit(int limit);

    std::string ItemsDescription;
    std::function<void(QObject *sender)> AfterClosed;
    std::function<void(QObject *sender)> OnSelect;
    TSearchSelectEvents OnSelectKind;

    void LoadNames();
    void ReloadNames();
    void Search(const QString &text);

    TL0PreProcessedNames &Names(TL0NameKind kind) { return *fNames[size_t(kind)]; }
    TL0NameKind ActiveKind() const;
    // Raises the kind's select event when the list's selected entry has text.
    void PickHit(TL0NameKind kind);

    QLineEdit *txtSearchFor;
    QLineEdit *txtShowLimit;
    TL0UpDown *udShowLimit;
    QTabWidget *pageControl1;
    std::array<QLabel *, L0NameKindCount> lblCounts{};
    std::array<QListView *, L0NameKindCount> lstResults{};
    QListView *lstRoutines, *lstInterfaces, *lstClasses, *lstProperties, *lstMethods, *lstEvents;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SearchForChanged(const QString &text);
    void ShowLimitChanged(const QString &text);
    void PageChanged(int index);
    int KindOfList(QObject *object) const;
    void PlaceCounts();
    void NameCounts();

    QWidget *fCountRow;
    int fShowLimit = 1;
    std::array<TL0SearchResultsModel *, L0NameKindCount> fResults{};
    std::array<std::unique_ptr<TL0PreProcessedNames>, L0NameKindCount> fNames;
};

// The integer of a text as the toolkit converts it (optional blanks before, an optional sign,
// decimal digits); anything else raises the conversion error "'TEXT' is not a valid integer value".
int L0StrToInt(const std::string &text);
