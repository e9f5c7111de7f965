// The editor's dialogs: object texts and the print preview.

#include "EditorDialogs.h"

#include "kavgraph/KVPrint.h"
#include "platform/text/Windows1252.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>

using namespace kavgraph;

QString ToQt(const std::string &cp1252) { return QString::fromStdString(text::Cp1252ToUtf8(cp1252)); }
std::string FromQt(const QString &s) { return text::Utf8ToCp1252(s.toStdString()); }

TextsDialog::TextsDialog(QWidget *parent, TKVObject *obj) : QDialog(parent)
{
    setWindowTitle(tr("Texts"));
    auto *form = new QFormLayout;
    if (auto *v = dynamic_cast<TKVVertex *>(obj)) {
        for (const auto &item : v->Style.DataItems)
            Add(form, ToQt(item->Name), &item->Text);
    } else if (auto *e = dynamic_cast<TKVEdge *>(obj)) {
        Add(form, tr("Label"), &e->Style.Data);
    } else if (auto *c = dynamic_cast<TKVCustomEdge *>(obj)) {
        Add(form, tr("Label"), &c->Adjacent->Text);
    }
    Add(form, tr("Hint"), &obj->Hint);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool TextsDialog::Apply()
{
    bool changed = false;
    for (auto &[edit, target] : fFields) {
        std::string text = FromQt(edit->text());
        changed |= text != *target;
        *target = std::move(text);
    }
    return changed;
}

void TextsDialog::Add(QFormLayout *form, const QString &label, std::string *target)
{
    auto *edit = new QLineEdit(ToQt(*target));
    edit->setAccessibleName(label);
    form->addRow(label, edit);
    fFields.emplace_back(edit, target);
}

PreviewWindow::PreviewWindow(QWidget *parent, TKVDiagramBox *box) : QDialog(parent), fBox(box)
{
    setWindowTitle(tr("Print Preview"));
    resize(520, 600);
    fPreview = new TKVPrintPreview(this);
    fPreview->setAccessibleName(tr("Pages"));
    fPreview->setToolTip(tr("Click pages to mark them for printing."));
    fPreview->SetColor(clWhite);
    fPreview->Pen = TPen{clRed, psSolid, 3};
    fPreview->SetDiagramBox(box);
    auto *hint = new QLabel(tr("Click pages to mark them for printing."));
    auto *buttons = new QDialogButtonBox;
    QPushButton *marked = buttons->addButton(tr("Print marked pages..."), QDialogButtonBox::ActionRole);
    QPushButton *all = buttons->addButton(tr("Print all..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(marked, &QPushButton::clicked, this, [this] { PrintPages(true); });
    connect(all, &QPushButton::clicked, this, [this] { PrintPages(false); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(fPreview, 1);
    layout->addWidget(buttons);
}

void PreviewWindow::PrintPages(bool marked)
{
    const std::vector<TKVPage> pages = fPreview->MarkedPages();
    if (marked && pages.empty()) {
        QMessageBox::information(this, windowTitle(), tr("No page is marked."));
        return;
    }
    QPrintDialog dialog(fBox->Printer(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        fBox->Print(marked, pages);
    } catch (const Exception &e) {
        QMessageBox::critical(this, windowTitle(), ToQt(e.Message()));
    }
}
