// The vertex style properties dialog.

#include "ornamo/uVertexStyleProps.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace ornamo {

namespace {

void AddRow(QFormLayout *form, const QString &label, QWidget *w)
{
    auto *l = new QLabel(label);
    l->setBuddy(w);
    form->addRow(l, w);
}

QSpinBox *SizeField(const QString &name, int value)
{
    auto *s = Named(new QSpinBox, name);
    s->setRange(8, 9999);
    s->setAlignment(Qt::AlignRight);
    s->setValue(std::clamp(value, 8, 9999));
    return s;
}

} // namespace

TfrmVertexStyleProps::TfrmVertexStyleProps(QWidget *Parent, const TKVVertexStyle &Style)
    : TPropertyDialog(Parent, tr("Vertex Style Properties"), "vertexstyle")
{
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    edName = Named(new QLineEdit(ToQt(Style.Name)), tr("Style Name"), tr("The name diagrams use for the style"));
    edName->setMinimumWidth(220);
    cbResize = Named(new QComboBox, tr("Resize Option"), tr("How vertices of this style may be resized"));
    cbResize->addItems({"Not Allowed", "Keep Aspect Ratio", "To First DrawItem", "Free Resize"});
    cbResize->setCurrentIndex(Style.ResizeMode < cbResize->count() ? Style.ResizeMode : -1);
    edWidth = SizeField(tr("Initial Width"), Style.Width);
    edHeight = SizeField(tr("Initial Height"), Style.Height);
    cbConnector = Named(new QComboBox, tr("Connector Placement"), tr("Where edges meet vertices of this style"));
    cbConnector->addItems({"Centered", "Centered on Bounds", "On Bounds", "Free Placement"});
    cbConnector->setCurrentIndex(Style.ConnMoveMode < cbConnector->count() ? Style.ConnMoveMode : -1);
    AddRow(form, tr("Style &Name"), edName);
    AddRow(form, tr("&Resize Option"), cbResize);
    AddRow(form, tr("Initial &Width"), edWidth);
    AddRow(form, tr("Initial &Height"), edHeight);
    AddRow(form, tr("&Connector Placement"), cbConnector);
    Finish(content);
}

void TfrmVertexStyleProps::Apply(TKVVertexStyle &Style) const
{
    Style.Name = FromQt(edName->text());
    if (cbResize->currentIndex() >= 0)
        Style.ResizeMode = static_cast<TKVVSResize>(cbResize->currentIndex());
    Style.Width = edWidth->value();
    Style.Height = edHeight->value();
    if (cbConnector->currentIndex() >= 0)
        Style.ConnMoveMode = static_cast<TKVConnMoveMode>(cbConnector->currentIndex());
}

} // namespace ornamo
