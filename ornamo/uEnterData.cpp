// The data entry dialog and the split and join of wrapped data texts.

#include "ornamo/uEnterData.h"

#include <QPlainTextEdit>

namespace ornamo {

QStringList SplitData(const std::string &Text, const std::string &Magic, bool WordWrap)
{
    QStringList lines;
    if (!WordWrap || Magic.empty()) {
        lines << ToQt(Text);
        return lines;
    }
    std::size_t start = 0;
    for (std::size_t hit; (hit = Text.find(Magic, start)) != std::string::npos; start = hit + Magic.size())
        lines << ToQt(Text.substr(start, hit - start));
    lines << ToQt(Text.substr(start));
    return lines;
}

std::string JoinData(const QStringList &Lines, const std::string &Magic, bool WordWrap)
{
    if (Lines.isEmpty())
        return {};
    if (!WordWrap)
        return FromQt(Lines.front());
    std::string joined;
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            joined += Magic;
        joined += FromQt(Lines[i]);
    }
    return joined;
}

TfrmEnterData::TfrmEnterData(QWidget *Parent, const std::string &Text, const std::string &Magic, bool WordWrap)
    : TPropertyDialog(Parent, tr("Enter Data"), "enterdata"), fMagic(Magic), fWordWrap(WordWrap)
{
    edData = Named(new QPlainTextEdit, tr("Data"),
                   WordWrap ? tr("One line per wrapped line of the text") : tr("Only the first line is kept"));
    edData->setLineWrapMode(QPlainTextEdit::NoWrap);
    edData->setPlainText(SplitData(Text, Magic, WordWrap).join('\n'));
    edData->setMinimumSize(360, 200);
    Finish(edData);
}

std::string TfrmEnterData::Text() const { return JoinData(edData->toPlainText().split('\n'), fMagic, fWordWrap); }

bool EnterData(QWidget *Parent, std::string &Text, const std::string &Magic, bool WordWrap)
{
    TfrmEnterData dialog(Parent, Text, Magic, WordWrap);
    if (UI().Exec(dialog) != QDialog::Accepted)
        return false;
    Text = dialog.Text();
    return true;
}

} // namespace ornamo
