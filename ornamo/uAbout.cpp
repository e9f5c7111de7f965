// The About dialog.

#include "ornamo/uAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ornamo {

TfrmAbout::TfrmAbout(QWidget *Parent) : QDialog(Parent)
{
    setWindowTitle(tr("About Ornamo"));
    setAccessibleName(tr("About Ornamo"));
    auto *layout = new QVBoxLayout(this);
    auto *title = Named(new QLabel(tr("<h2>Kavgraph Ornamo</h2>Version 1.00")), tr("Program name and version"));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    pnCredits = Named(new QWidget, tr("Credits"), tr("The people and parts behind the program"));
    pnCredits->setFixedSize(320, 140);
    pnCredits->setAutoFillBackground(true);
    QPalette pal = pnCredits->palette();
    pal.setColor(QPalette::Window, ToQColor(clInfoBk));
    pnCredits->setPalette(pal);
    lbCredits = new QLabel(tr("Kavgraph Ornamo\n"
                              "Version 1.00\n\n"
                              "The style library editor\nfor Kavgraph diagrams\n\n"
                              "Builds vertex styles from\ndraw, bitmap and data items,\n"
                              "and edge styles with arrows\nand text boxes.\n\n"
                              "Written in C++ with Qt\n\n"
                              "Thank you for using Ornamo!"),
                           pnCredits);
    lbCredits->setAlignment(Qt::AlignHCenter);
    lbCredits->setFixedWidth(320);
    lbCredits->adjustSize();
    layout->addWidget(pnCredits, 0, Qt::AlignHCenter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    Named(buttons->button(QDialogButtonBox::Ok), tr("OK"), tr("Close the dialog"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fTimer = new QTimer(this);
    connect(fTimer, &QTimer::timeout, this, [this] { Scroll(); });
    fTimer->start(40);
    Scroll();
}

void TfrmAbout::Scroll()
{
    // The text rises through the panel and starts again from below.
    const int h = pnCredits->height();
    lbCredits->move(0, h - fOffset);
    fOffset = (fOffset + 1) % (h + lbCredits->height());
}

} // namespace ornamo
