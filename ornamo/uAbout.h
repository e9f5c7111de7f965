#pragma once
// The About dialog with its scrolling credits.

#include "ornamo/uCommon.h"

class QLabel;
class QTimer;

namespace ornamo {

class TfrmAbout : public QDialog {
public:
    explicit TfrmAbout(QWidget *Parent);

    QWidget *pnCredits; // the scrolling panel
    QLabel *lbCredits;

private:
    void Scroll();
    QTimer *fTimer;
    int fOffset = 0;
};

} // namespace ornamo
