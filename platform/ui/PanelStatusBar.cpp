#include "platform/ui/PanelStatusBar.h"

void PanelStatusBar::SetSimplePanel(bool simple)
{
    fSimple = simple;
    for (QLabel *panel : fPanels)
        panel->setVisible(!simple);
    if (simple)
        showMessage(fSimpleText);
    else
        clearMessage();
}

void PanelStatusBar::SetSimpleText(const QString &text)
{
    fSimpleText = text;
    if (fSimple)
        showMessage(text);
}

QLabel *PanelStatusBar::AddPanel(int width)
{
    auto *panel = new QLabel(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    if (width > 0)
        panel->setMinimumWidth(width);
    addWidget(panel, width > 0 ? 0 : 1);
    panel->setVisible(!fSimple);
    fPanels.push_back(panel);
    return panel;
}
