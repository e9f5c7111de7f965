#pragma once
// The editor's dialogs: the texts of one object, and the print preview that marks pages.

#include "kavgraph/KVObjsBox.h"

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

class QFormLayout;
class QLineEdit;

namespace kavgraph {
class TKVPrintPreview;
}

QString ToQt(const std::string &cp1252);
std::string FromQt(const QString &s);

// The texts of one object: the data items of a vertex's own style, the text box of an edge, the hint.
class TextsDialog : public QDialog {
public:
    TextsDialog(QWidget *parent, kavgraph::TKVObject *obj);
    // Puts the edited texts into the object; true when any of them changed.
    bool Apply();

private:
    void Add(QFormLayout *form, const QString &label, std::string *target);
    std::vector<std::pair<QLineEdit *, std::string *>> fFields;
};

// Marks pages in the preview and prints them.
class PreviewWindow : public QDialog {
public:
    PreviewWindow(QWidget *parent, kavgraph::TKVDiagramBox *box);

private:
    void PrintPages(bool marked);
    kavgraph::TKVDiagramBox *fBox;
    kavgraph::TKVPrintPreview *fPreview;
};
