// The preview settings dialog.

#include "ornamo/uPreviewSettings.h"

#include "kavgraph/KVObjsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace ornamo {

TfrmPreviewSettings::TfrmPreviewSettings(QWidget *Parent, const TKVDiagramBox &Box)
    : TPropertyDialog(Parent, tr("Preview Panel Settings"), "preview")
{
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    auto row = [form](const QString &label, QWidget *w) {
        auto *l = new QLabel(label);
        l->setBuddy(w);
        form->addRow(l, w);
    };
    edBackground = Named(new TColorButton(tr("Choose...")), tr("Background Color"), tr("Background of the preview"));
    edBackground->SetColor(clInfoBk);
    cbShowGrid = Named(new QCheckBox(tr("Show &Grid")), tr("Show Grid"), tr("Draw a grid behind the preview"));
    edGridStep = Named(new QSpinBox, tr("Grid Step"), tr("Distance between grid lines"));
    edGridStep->setRange(2, 250);
    edGridStep->setValue(2);
    edGridColor = Named(new TColorButton(tr("Choose...")), tr("Grid Color"), tr("Colour of the grid lines"));
    edGridColor->SetColor(clSilver);
    cbGridStyle = Named(new QComboBox, tr("Grid Style"), tr("Solid or dotted grid lines"));
    cbGridStyle->addItems({"Solid", "Dotted"});
    cbImmediate = Named(new QCheckBox(tr("&Immediate Redraw")), tr("Immediate Redraw"),
                        tr("Redraw the preview while objects are moved instead of drawing outlines"));

    edBackground->SetColor(Box.Color());
    cbShowGrid->setChecked(Box.ShowGrid());
    edGridStep->setValue(std::clamp(Box.GridStep(), 2, 250));
    edGridColor->SetColor(Box.GridColor());
    cbGridStyle->setCurrentIndex(Box.GridStyle() == psSolid ? 0 : 1);
    cbImmediate->setChecked(Box.ImmediateRedraw);

    row(tr("Background &Color"), edBackground);
    form->addRow(cbShowGrid);
    row(tr("Grid &Step"), edGridStep);
    row(tr("Grid &Color"), edGridColor);
    row(tr("Grid St&yle"), cbGridStyle);
    form->addRow(cbImmediate);
    Finish(content);
}

void TfrmPreviewSettings::Apply(TKVDiagramBox &Box) const
{
    Box.SetColor(edBackground->Color());
    Box.SetGridColor(edGridColor->Color());
    // "Dotted" draws dotted lines, as the list says.
    Box.SetGridStyle(cbGridStyle->currentIndex() == 0 ? psSolid : psDot);
    Box.SetGridStep(edGridStep->value());
    Box.SetShowGrid(cbShowGrid->isChecked());
    Box.ImmediateRedraw = cbImmediate->isChecked();
    Box.Invalidate();
}

} // namespace ornamo
