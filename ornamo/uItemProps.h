#pragma once
// The three style item dialogs ("Draw Item properties", "Data Item properties", "Bitmap Item
// properties") with their common "General" group: name, position and size, coordinate mode and
// alignments. Position and size fields follow the alignments; "%" labels follow the mode.

#include "ornamo/uSamples.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace ornamo {

class TItemGeneral : public QGroupBox {
public:
    explicit TItemGeneral(const TKVStyleItem &Item);
    void Fill(const TKVStyleItem &Item);
    void Apply(TKVStyleItem &Item) const;
    // Enables the position and size fields by the alignments, shows the "%" labels by the mode.
    void UpdateFields();

    QLineEdit *edName;
    QSpinBox *edLeft, *edTop, *edWidth, *edHeight;
    QLabel *lbPercent[4];
    QComboBox *cbCoordMode, *cbHorzAlign, *cbVertAlign;
};

class TfrmDrawItemProps : public TPropertyDialog {
public:
    // Template: the library whose draw items the "Template" button offers (may be empty).
    TfrmDrawItemProps(QWidget *Parent, const TKVDrawItem &Item, const TKVStyleLibrary &Template);
    void Apply(TKVDrawItem &Item) const;
    // Takes every field of Source but the name into the dialog.
    void TakeTemplate(const TKVDrawItem &Source);

    TItemGeneral *General;
    TOwnerDrawCombo *cbShape;
    TShapePreview *shPreview;
    QPushButton *btPen, *btBrush, *btTemplate;

private:
    void Fill();
    TKVDrawItem fItem; // the working copy: pen, brush and the fields shown
    const TKVStyleLibrary &fTemplate;
};

class TfrmDataItemProps : public TPropertyDialog {
public:
    TfrmDataItemProps(QWidget *Parent, const TKVDataItem &Item);
    void Apply(TKVDataItem &Item) const;

    TItemGeneral *General;
    QLineEdit *edData;
    QPushButton *btData, *btBrush, *btFont, *btFontColor;
    QComboBox *cbAlign;
    QLineEdit *edMagic;
    QCheckBox *cbWordWrap;
    TSampleText *txSample;

private:
    void UpdateSample();
    TKVDataItem fItem;
};

class TfrmBitmapItemProps : public TPropertyDialog {
public:
    TfrmBitmapItemProps(QWidget *Parent, const TKVBitmapItem &Item);
    void Apply(TKVBitmapItem &Item) const;
    // Loads a picture file into the preview; false (and the error shown) when it cannot be read.
    bool LoadPicture(const QString &FileName);

    TItemGeneral *General;
    QCheckBox *cbLockAspect, *cbVisible;
    QPushButton *btSelect;
    QLabel *imPreview;

private:
    void ShowPicture();
    TBitmap fBitmap;
};

} // namespace ornamo
