#pragma once
// The toolbar customisation dialog: which buttons the toolbar shows and in which order.

#include "ornamo/uCommon.h"

class QAction;
class QListWidget;

namespace ornamo {

class TfrmConfigureToolbar : public TPropertyDialog {
public:
    TfrmConfigureToolbar(QWidget *Parent, const QList<QAction *> &All, const QList<QAction *> &Shown);
    // The checked buttons in list order.
    QList<QAction *> ShownButtons() const;

    QListWidget *lbButtons;
    QPushButton *btUp, *btDown, *btReset;

private:
    void Fill(const QList<QAction *> &Shown);
    void Move(int By);
    QList<QAction *> fAll;
};

} // namespace ornamo
