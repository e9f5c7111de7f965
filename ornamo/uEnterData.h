#pragma once
// The "Enter Data" dialog behind the ellipsis buttons of data fields: one text area with a line
// per wrapped segment.

#include "ornamo/uCommon.h"

class QPlainTextEdit;

namespace ornamo {

// The lines shown for a data text: one per segment between wrap markers when WordWrap is on
// (an empty marker is never found), else the whole text on one line.
QStringList SplitData(const std::string &Text, const std::string &Magic, bool WordWrap);
// The data text made from the lines: joined by the marker when WordWrap is on, else the first line.
std::string JoinData(const QStringList &Lines, const std::string &Magic, bool WordWrap);

class TfrmEnterData : public TPropertyDialog {
public:
    TfrmEnterData(QWidget *Parent, const std::string &Text, const std::string &Magic, bool WordWrap);
    std::string Text() const;

    QPlainTextEdit *edData;

private:
    std::string fMagic;
    bool fWordWrap;
};

// Runs the dialog on Text; true (and Text changed) on OK.
bool EnterData(QWidget *Parent, std::string &Text, const std::string &Magic, bool WordWrap);

} // namespace ornamo
