// The search dialog component.

#include "browser/app/C1QuillmarkBrowser_SearchDialog.h"

#include <QLineEdit>
#include <QWidget>

TqmkbSearchDialog::TqmkbSearchDialog(QObject *owner) : QObject(owner) {}

TqmkbSearchDialog::~TqmkbSearchDialog()
{
    // The window may already be gone with the owner's other children.
    delete fForm.data();
}

void TqmkbSearchDialog::Bind(TfrmQMKB_Search *form)
{
    for (int k = 0; k < L0NameKindCount; ++k)
        form->Names(TL0NameKind(k)).SetListbox(fListBoxes[size_t(k)]);
    form->OnSelect = OnSelect;
    form->OnSelectKind = {OnSelectRoutine, OnSelectInterface, OnSelectClass,
                          OnSelectProperty, OnSelectMethod, OnSelectEvent};
    form->SetShowLimit(fShowLimit);
}

void TqmkbSearchDialog::Execute()
{
    if (fForm) {
        Bind(fForm);
    } else {
        // A child window of the owner: it stays in front of the main window and goes with it.
        fForm = new TfrmQMKB_Search(qobject_cast<QWidget *>(parent()));
        Bind(fForm);
        fForm->LoadNames();
        // The counts show before anything is typed.
        fForm->Search(fForm->txtSearchFor->text());
    }
    fForm->show();
    fForm->raise();
    fForm->activateWindow();
    fForm->SetShowLimit(fShowLimit);
}

bool TqmkbSearchDialog::RefreshNames()
{
    if (!fForm)
        return false;
    fForm->ReloadNames();
    return true;
}
