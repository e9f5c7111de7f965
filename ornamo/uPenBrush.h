#pragma once
// The "Create Pen" and "Create Brush" dialogs opened by the pen and brush buttons of the style
// and item dialogs.

#include "ornamo/uSamples.h"

class QSpinBox;

namespace ornamo {

class TfrmCreatePen : public TPropertyDialog {
public:
    TfrmCreatePen(QWidget *Parent, const TPen &Pen);
    // The pen as set (the mode of the pen given is kept).
    TPen Pen() const;

    TColorButton *edColor;
    QSpinBox *edWidth;
    TOwnerDrawCombo *cbStyle;

private:
    TPen fPen;
};

class TfrmCreateBrush : public TPropertyDialog {
public:
    TfrmCreateBrush(QWidget *Parent, const TBrush &Brush);
    TBrush Brush() const;

    TColorButton *edColor;
    TOwnerDrawCombo *cbStyle;
};

// Runs the pen or brush dialog on Pen or Brush; true (and the value changed) on OK.
bool SelectPen(QWidget *Parent, TPen &Pen);
bool SelectBrush(QWidget *Parent, TBrush &Brush);

} // namespace ornamo
