#pragma once
// The search dialog component: placed on the main window and configured there with the six
// source lists and the handlers of picked hits. It creates the search window on first use,
// keeps it (hidden when closed) and refreshes its names after every file load.

#include "browser/app/F_QMKB_Search.h"

#include <QAbstractItemView>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>


class TqmkbSearchDialog : public QObject {
public:
    explicit TqmkbSearchDialog(QObject *owner = nullptr);
    ~TqmkbSearchDialog() override;

    int ShowLimit() const { return fShowLimit; }
    void SetShowLimit(int limit) { fShowLimit = limit; }

    // The source lists, forgotten when the list box is destroyed.
    QAbstractItemView *ListBox(TL0NameKind kind) const { return fListBoxes[size_t(kind)]; }
    void SetListBox(TL0NameKind kind, QAbstractItemView *listBox) { fListBoxes[size_t(kind)] = listBox; }
    QAbstractItemView *RoutinesListBox() const { return ListBox(TL0NameKind::Routine); }
    QAbstractItemView *InterfacesListbox() const { return ListBox(TL0NameKind::Interface); }
    QAbstractItemView *ClassesListbox() const { return ListBox(TL0NameKind::Class); }
    QAbstractItemView *PropertiesListBox() const { return ListBox(TL0NameKind::Property); }
    QAbstractItemView *MethodsListBox() const { return ListBox(TL0NameKind::Method); }
    QAbstractItemView *EventsListBox() const { return ListBox(TL0NameKind::Event); }
    void SetRoutinesListBox(QAbstractItemView *l) { SetListBox(TL0NameKind::Routine, l); }
    void SetInterfacesListbox(QAbstractItemView *l) { SetListBox(TL0NameKind::Interface, l); }
    void SetClassesListbox(QAbstractItemView *l) { SetListBox(TL0NameKind::Class, l); }
    void SetPropertiesListBox(QAbstractItemView *l) { SetListBox(TL0NameKind::Property, l); }
    void SetMethodsListBox(QAbstractItemView *l) { SetListBox(TL0NameKind::Method, l); }
    void SetEventsListBox(QAbstractItemView *l) { SetListBox(TL0NameKind::Event, l); }

    // Raised when the user picks a hit; the sender is the search window's result list box,
    // whose selected entry is the hit. OnSelect is carried to the window but never raised.
    std::function<void(QObject *sender)> OnSelect;
    TSearchSelectEvent OnSelectRoutine, OnSelectInterface, OnSelectClass, OnSelectProperty, OnSelectMethod,
        OnSelectEvent;

    // Shows the search window, creating and filling it on first use.
    void Execute();
    void Bind(TfrmQMKB_Search *form);
    // After a file was loaded: reloads the window's names and searches again. False when the
    // window was never opened (it loads its names when it is).
    bool RefreshNames();

    // The window once Execute has created it.
    TfrmQMKB_Search *Form() const { return fForm; }

private:
    int fShowLimit = 50;
    std::array<QPointer<QAbstractItemView>, L0NameKindCount> fListBoxes;
    QPointer<TfrmQMKB_Search> fForm;
};
