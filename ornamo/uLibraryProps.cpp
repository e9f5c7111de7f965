// The library properties dialog.

#include "ornamo/uLibraryProps.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace ornamo {

TfrmLibraryProps::TfrmLibraryProps(QWidget *Parent, const TKVStyleLibrary &Library)
    : TPropertyDialog(Parent, tr("Library Properties"), "library")
{
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    edName = Named(new QLineEdit(ToQt(Library.LibraryName)), tr("Internal Library Name"),
                   tr("The name stored in the library file"));
    edName->setMinimumWidth(260);
    auto *label = new QLabel(tr("Internal Library &Name"));
    label->setBuddy(edName);
    form->addRow(label, edName);
    Finish(content);
}

void TfrmLibraryProps::Apply(TKVStyleLibrary &Library) const { Library.LibraryName = FromQt(edName->text()); }

} // namespace ornamo
