// User interaction, text conversion and the property dialog base of the editor.

#include "ornamo/uCommon.h"

#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace ornamo {

QString ToQt(const std::string &cp1252) { return FromCp1252(cp1252); }
std::string FromQt(const QString &text) { return ToCp1252(text); }

TAnswer TUserInterface::AskYesNoCancel(QWidget *Parent, const QString &Text)
{
    switch (QMessageBox::warning(Parent, QApplication::applicationDisplayName(), Text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

bool TUserInterface::ConfirmYesNo(QWidget *Parent, const QString &Text)
{
    return QMessageBox::question(Parent, QApplication::applicationDisplayName(), Text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TUserInterface::Error(QWidget *Parent, const QString &Text)
{
    QMessageBox::critical(Parent, QApplication::applicationDisplayName(), Text, QMessageBox::Ok);
}

namespace {

QString RunFileDialog(QWidget *Parent, QFileDialog::AcceptMode Mode, const QString &Title, const QString &Filter,
                      const QString &DefaultSuffix, const QString &Start)
{
    QFileDialog dialog(Parent, Title, Start, Filter);
    dialog.setAcceptMode(Mode);
    dialog.setFileMode(Mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DefaultSuffix);
    if (!Start.isEmpty())
        dialog.selectFile(Start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

TUserInterface gInteractive;
TUserInterface *gCurrent = &gInteractive;

} // namespace

QString TUserInterface::OpenFileName(QWidget *Parent, const QString &Title, const QString &Filter,
                                     const QString &DefaultSuffix, const QString &Start)
{
    return RunFileDialog(Parent, QFileDialog::AcceptOpen, Title, Filter, DefaultSuffix, Start);
}

QString TUserInterface::SaveFileName(QWidget *Parent, const QString &Title, const QString &Filter,
                                     const QString &DefaultSuffix, const QString &Start)
{
    return RunFileDialog(Parent, QFileDialog::AcceptSave, Title, Filter, DefaultSuffix, Start);
}

int TUserInterface::Exec(QDialog &Dialog) { return Dialog.exec(); }

TUserInterface &UI() { return *gCurrent; }

TUserInterface *InstallUI(TUserInterface *ui)
{
    TUserInterface *previous = gCurrent;
    gCurrent = ui ? ui : &gInteractive;
    return previous == &gInteractive ? nullptr : previous;
}

TPropertyDialog::TPropertyDialog(QWidget *Parent, const QString &Caption, const QString &HelpTopic)
    : QDialog(Parent)
{
    setWindowTitle(Caption);
    setAccessibleName(Caption);
    fButtons = new QDialogButtonBox;
    fOk = Named(fButtons->addButton(tr("OK"), QDialogButtonBox::AcceptRole), tr("OK"), tr("Accept settings"));
    fCancel = Named(fButtons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole), tr("Cancel"),
                    tr("Discard settings"));
    fHelp = Named(fButtons->addButton(tr("&Help"), QDialogButtonBox::HelpRole), tr("Help"),
                  tr("Show help for dialog"));
    fOk->setDefault(true);
    connect(fButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(fButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fButtons, &QDialogButtonBox::helpRequested, this, [this, HelpTopic] { ShowHelp(this, HelpTopic); });
}

void TPropertyDialog::Finish(QWidget *Content)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Content);
    layout->addWidget(fButtons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPropertyDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

QLabel *Buddy(const QString &text, QWidget *w)
{
    auto *label = new QLabel(text);
    label->setBuddy(w);
    return label;
}

} // namespace ornamo
