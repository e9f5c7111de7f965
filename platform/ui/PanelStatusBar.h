#pragma once
// A status bar that shows either one simple text or a row of text panels.

#include <QLabel>
#include <QStatusBar>
#include <QVector>

class PanelStatusBar : public QStatusBar {
public:
    explicit PanelStatusBar(QWidget *parent = nullptr) : QStatusBar(parent) {}

    bool SimplePanel() const { return fSimple; }
    void SetSimplePanel(bool simple);
    QString SimpleText() const { return fSimpleText; }
    void SetSimpleText(const QString &text);

    int PanelCount() const { return fPanels.size(); }
    QLabel *AddPanel(int width = -1);
    QString PanelText(int index) const { return fPanels[index]->text(); }
    void SetPanelText(int index, const QString &text) { fPanels[index]->setText(text); }

private:
    bool fSimple = false;
    QString fSimpleText;
    QVector<QLabel *> fPanels;
};
