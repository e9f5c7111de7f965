// The toolbar customisation dialog.

#include "ornamo/uToolbarConfig.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace ornamo {

TfrmConfigureToolbar::TfrmConfigureToolbar(QWidget *Parent, const QList<QAction *> &All, const QList<QAction *> &Shown)
    : TPropertyDialog(Parent, tr("Configure Toolbar"), "toolbar"), fAll(All)
{
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    lbButtons = Named(new QListWidget, tr("Toolbar buttons"), tr("Checked buttons are shown, in this order"));
    lbButtons->setMinimumSize(260, 300);
    btUp = Named(new QPushButton(tr("Move &Up")), tr("Move Up"), tr("Show the selected button earlier"));
    btDown = Named(new QPushButton(tr("Move Do&wn")), tr("Move Down"), tr("Show the selected button later"));
    btReset = Named(new QPushButton(tr("&Reset")), tr("Reset"), tr("Every button in its first place"));
    auto *label = new QLabel(tr("&Buttons"));
    label->setBuddy(lbButtons);
    grid->addWidget(label, 0, 0);
    grid->addWidget(lbButtons, 1, 0, 4, 1);
    grid->addWidget(btUp, 1, 1);
    grid->addWidget(btDown, 2, 1);
    grid->addWidget(btReset, 3, 1);
    connect(btUp, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(btDown, &QPushButton::clicked, this, [this] { Move(1); });
    connect(btReset, &QPushButton::clicked, this, [this] {
        QList<QAction *> shown = fAll;
        shown.removeLast(); // the last button (About) starts hidden
        Fill(shown);
    });
    Fill(Shown);
    Finish(content);
}

void TfrmConfigureToolbar::Fill(const QList<QAction *> &Shown)
{
    lbButtons->clear();
    QList<QAction *> order = Shown;
    for (QAction *a : fAll)
        if (!order.contains(a))
            order << a;
    for (QAction *a : order) {
        auto *entry = new QListWidgetItem(a->icon(), QString(a->text()).remove('&'), lbButtons);
        entry->setData(Qt::UserRole, QVariant::fromValue<void *>(a));
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Shown.contains(a) ? Qt::Checked : Qt::Unchecked);
    }
    lbButtons->setCurrentRow(0);
}

void TfrmConfigureToolbar::Move(int By)
{
    const int row = lbButtons->currentRow();
    const int to = row + By;
    if (row < 0 || to < 0 || to >= lbButtons->count())
        return;
    QListWidgetItem *entry = lbButtons->takeItem(row);
    lbButtons->insertItem(to, entry);
    lbButtons->setCurrentRow(to);
}

QList<QAction *> TfrmConfigureToolbar::ShownButtons() const
{
    QList<QAction *> shown;
    for (int i = 0; i < lbButtons->count(); ++i)
        if (lbButtons->item(i)->checkState() == Qt::Checked)
            shown << static_cast<QAction *>(lbButtons->item(i)->data(Qt::UserRole).value<void *>());
    return shown;
}

} // namespace ornamo
