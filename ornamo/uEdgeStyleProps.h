#pragma once
// The "Edge Style Properties" dialog: name, and the line, ends and text box pages.

#include "ornamo/uSamples.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace ornamo {

class TfrmEdgeStyleProps : public TPropertyDialog {
public:
    TfrmEdgeStyleProps(QWidget *Parent, const TKVEdgeStyle &Style, const TKVStyleLibrary &Template);
    void Apply(TKVEdgeStyle &Style) const;
    // Takes every field of Source but the name into the dialog.
    void TakeTemplate(const TKVEdgeStyle &Source);

    QLineEdit *edName;
    QPushButton *btTemplate;
    QTabWidget *pcPages;
    // Line Properties
    TLinePreview *lnPreview;
    QPushButton *btLinePen;
    // Ends Properties
    TShapePreview *shEnds;
    QCheckBox *cbCustomEnds, *cbSourceArrow, *cbTargetArrow;
    QPushButton *btEndPen, *btEndBrush;
    // Textbox Properties
    QCheckBox *cbTextBox;
    TShapePreview *shTextBox;
    QPushButton *btBoxBrush, *btBoxPen;
    QCheckBox *cbWordWrap;
    QLineEdit *edMagic;
    QComboBox *cbAlign, *cbConnection;
    QLineEdit *edData;
    QPushButton *btData, *btFont, *btFontColor;
    TSampleText *txSample;

private:
    void Fill();
    void UpdateSample();
    TKVEdgeStyle fStyle; // the working copy of pens, brushes and font
    const TKVStyleLibrary &fTemplate;
};

} // namespace ornamo
