#pragma once
// What every window of the style library editor shares: text conversion at the user-interface
// boundary, the user-interaction hooks (message boxes, file names, running modal dialogs) that
// tests replace, and the base of the fixed-size property dialogs with their OK, Cancel and Help
// buttons.

#include "kavgraph/KVObjs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QString>

#include <functional>
#include <type_traits>
#include <string>

class QDialogButtonBox;
class QPushButton;
class QWidget;

namespace ornamo {

// The editor is written against the diagram library's names.
using namespace kavgraph;

QString ToQt(const std::string &cp1252);
std::string FromQt(const QString &text);

enum class TAnswer { Yes, No, Cancel };

// Every question, message, file name and modal dialog the editor shows goes through here, so that
// tests can answer them.
class TUserInterface {
public:
    virtual ~TUserInterface() = default;
    virtual TAnswer AskYesNoCancel(QWidget *Parent, const QString &Text);
    virtual bool ConfirmYesNo(QWidget *Parent, const QString &Text);
    virtual void Error(QWidget *Parent, const QString &Text);
    // Empty when the user cancels.
    virtual QString OpenFileName(QWidget *Parent, const QString &Title, const QString &Filter,
                                 const QString &DefaultSuffix, const QString &Start);
    virtual QString SaveFileName(QWidget *Parent, const QString &Title, const QString &Filter,
                                 const QString &DefaultSuffix, const QString &Start);
    // Runs a modal dialog; QDialog::Accepted or QDialog::Rejected.
    virtual int Exec(QDialog &Dialog);
};

TUserInterface &UI();
// Installs ui (not owned; nullptr restores the interactive one). Returns the previous one.
TUserInterface *InstallUI(TUserInterface *ui);

// Opens the editor's help at a topic (an anchor of the built-in help page; empty for the contents).
void ShowHelp(QWidget *Parent, const QString &Topic);

// A fixed-size, screen-centred modal dialog with OK, Cancel and Help buttons.
class TPropertyDialog : public QDialog {
public:
    TPropertyDialog(QWidget *Parent, const QString &Caption, const QString &HelpTopic);

    QPushButton *OkButton() const { return fOk; }
    QPushButton *CancelButton() const { return fCancel; }
    QPushButton *HelpButton() const { return fHelp; }

protected:
    // Adds the button row under Content and fixes the size.
    void Finish(QWidget *Content);
    void showEvent(QShowEvent *event) override;

private:
    QDialogButtonBox *fButtons;
    QPushButton *fOk, *fCancel, *fHelp;
};

// A label for W that moves the focus to it with its shortcut letter.
QLabel *Buddy(const QString &text, QWidget *w);

// Names a control for assistive tools and gives it its hint.
template <typename W> W *Named(W *Widget, const QString &Name, const QString &Hint = {})
{
    Widget->setAccessibleName(Name);
    Widget->setObjectName(Name);
    if constexpr (std::is_base_of_v<QComboBox, W>)
        Widget->view()->setAccessibleName(Name + QObject::tr(" choices"));
    if (!Hint.isEmpty())
        Widget->setToolTip(Hint);
    return Widget;
}

} // namespace ornamo
