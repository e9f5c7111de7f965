// The pen and brush dialogs.

#include "ornamo/uPenBrush.h"

#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace ornamo {

TfrmCreatePen::TfrmCreatePen(QWidget *Parent, const TPen &Pen)
    : TPropertyDialog(Parent, tr("Create Pen"), "pen"), fPen(Pen)
{
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    edColor = Named(new TColorButton(tr("Choose...")), tr("Color"), tr("Select the Pen Color"));
    edColor->SetColor(Pen.Color);
    edWidth = Named(new QSpinBox, tr("Width"), tr("Select the pen width"));
    edWidth->setRange(0, 999);
    edWidth->setValue(std::clamp(Pen.Width, 0, 999));
    cbStyle = Named(MakePenStyleCombo(), tr("Style"),
                    tr("Select pen drawing style\n(for width > 1, only Solid, Clear and Inside Frame apply)"));
    cbStyle->setCurrentIndex(Pen.Style < cbStyle->count() ? Pen.Style : 0);
    form->addRow(Buddy(tr("&Color"), edColor), edColor);
    form->addRow(Buddy(tr("&Width"), edWidth), edWidth);
    form->addRow(Buddy(tr("&Style"), cbStyle), cbStyle);
    Finish(content);
}

TPen TfrmCreatePen::Pen() const
{
    TPen pen = fPen;
    pen.Color = edColor->Color();
    pen.Width = edWidth->value();
    pen.Style = static_cast<TPenStyle>(cbStyle->currentIndex());
    return pen;
}

TfrmCreateBrush::TfrmCreateBrush(QWidget *Parent, const TBrush &Brush)
    : TPropertyDialog(Parent, tr("Create Brush"), "brush")
{
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    edColor = Named(new TColorButton(tr("Choose...")), tr("Color"), tr("Select brush color"));
    edColor->SetColor(Brush.Color);
    cbStyle = Named(MakeBrushStyleCombo(), tr("Style"), tr("Select brush style"));
    cbStyle->setCurrentIndex(Brush.Style < cbStyle->count() ? Brush.Style : 0);
    form->addRow(Buddy(tr("&Color"), edColor), edColor);
    form->addRow(Buddy(tr("&Style"), cbStyle), cbStyle);
    Finish(content);
}

TBrush TfrmCreateBrush::Brush() const
{
    return TBrush{edColor->Color(), static_cast<TBrushStyle>(cbStyle->currentIndex())};
}

bool SelectPen(QWidget *Parent, TPen &Pen)
{
    TfrmCreatePen dialog(Parent, Pen);
    if (UI().Exec(dialog) != QDialog::Accepted)
        return false;
    Pen = dialog.Pen();
    return true;
}

bool SelectBrush(QWidget *Parent, TBrush &Brush)
{
    TfrmCreateBrush dialog(Parent, Brush);
    if (UI().Exec(dialog) != QDialog::Accepted)
        return false;
    Brush = dialog.Brush();
    return true;
}

} // namespace ornamo
