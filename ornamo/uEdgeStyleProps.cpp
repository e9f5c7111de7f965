// The edge style properties dialog.

#include "ornamo/uEdgeStyleProps.h"

#include "ornamo/uEnterData.h"
#include "ornamo/uPenBrush.h"
#include "ornamo/uSelectTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ornamo {

namespace {

QPushButton *Button(const QString &text, const QString &name, const QString &hint)
{
    return Named(new QPushButton(text), name, hint);
}

QCheckBox *Check(const QString &text, const QString &hint) { return Named(new QCheckBox(text), text, hint); }

} // namespace

TfrmEdgeStyleProps::TfrmEdgeStyleProps(QWidget *Parent, const TKVEdgeStyle &Style, const TKVStyleLibrary &Template)
    : TPropertyDialog(Parent, tr("Edge Style Properties"), "edgestyle"), fTemplate(Template)
{
    fStyle.Assign(&Style);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    auto *top = new QHBoxLayout;
    edName = Named(new QLineEdit, tr("Name"), tr("The name diagrams use for the style"));
    btTemplate = Button(tr("&Template"), tr("Template"), tr("Take the settings of an edge style of the template library"));
    top->addWidget(Buddy(tr("Name"), edName));
    top->addWidget(edName, 1);
    top->addWidget(btTemplate);
    layout->addLayout(top);

    pcPages = Named(new QTabWidget, tr("Edge style pages"));
    pcPages->setUsesScrollButtons(false);
    pcPages->setMinimumWidth(460);
    layout->addWidget(pcPages);

    // Line Properties
    auto *line = new QWidget;
    auto *lineGrid = new QGridLayout(line);
    lnPreview = Named(new TLinePreview, tr("Line preview"), tr("How the edge's line looks"));
    btLinePen = Button(tr("Select Line Pen..."), tr("Select Line Pen"), tr("Choose the pen of the line"));
    lineGrid->addWidget(lnPreview, 0, 0);
    lineGrid->addWidget(btLinePen, 1, 0, Qt::AlignLeft);
    lineGrid->setRowStretch(2, 1);
    pcPages->addTab(line, tr("Line Properties"));

    // Ends Properties
    auto *ends = new QWidget;
    auto *endsGrid = new QGridLayout(ends);
    shEnds = Named(new TShapePreview, tr("Ends preview"), tr("Pen and brush of the arrow heads"));
    shEnds->Arrow = true;
    cbCustomEnds = Check(tr("Draw Custom Ends"), tr("Let the application paint the ends"));
    cbSourceArrow = Check(tr("Source Arrow Visible"), tr("An arrow head at the source end"));
    cbTargetArrow = Check(tr("Target Arrow Visible"), tr("An arrow head at the target end"));
    btEndPen = Button(tr("Select Pen..."), tr("Select End Pen"), tr("Choose the outline of the arrow heads"));
    btEndBrush = Button(tr("Select Brush..."), tr("Select End Brush"), tr("Choose the fill of the arrow heads"));
    endsGrid->addWidget(shEnds, 0, 0, 3, 1);
    endsGrid->addWidget(cbCustomEnds, 0, 1);
    endsGrid->addWidget(cbSourceArrow, 1, 1);
    endsGrid->addWidget(cbTargetArrow, 2, 1);
    endsGrid->addWidget(btEndPen, 3, 0);
    endsGrid->addWidget(btEndBrush, 3, 1);
    pcPages->addTab(ends, tr("Ends Properties"));

    // Textbox Properties
    auto *box = new QWidget;
    auto *boxGrid = new QGridLayout(box);
    cbTextBox = Check(tr("TextBox Visible"), tr("Show the edge's text box"));
    shTextBox = Named(new TShapePreview, tr("Textbox preview"), tr("Pen and brush of the text box"));
    shTextBox->Shape = diRectangle;
    btBoxBrush = Button(tr("Select Brush..."), tr("Select Textbox Brush"), tr("Choose the fill of the text box"));
    btBoxPen = Button(tr("Select Pen..."), tr("Select Textbox Pen"), tr("Choose the frame of the text box"));
    cbWordWrap = Check(tr("Word Wrap"), tr("Break the text at every marker"));
    edMagic = Named(new QLineEdit, tr("Wrap Magic"), tr("The marker that breaks the text into lines"));
    cbAlign = Named(new QComboBox, tr("Alignment"), tr("Alignment of the text in its box"));
    cbAlign->addItems({"Left", "Right", "Centered"});
    cbConnection = Named(new QComboBox, tr("Show Connection Line"), tr("When the line from edge to text box shows"));
    cbConnection->addItems({"Always", "When selected", "Never"});
    edData = Named(new QLineEdit, tr("Data"), tr("The sample text of the text box"));
    btData = Button("...", tr("Enter Data"), tr("Edit the data text line by line"));
    btData->setMaximumWidth(32);
    btFont = Button(tr("Select Font..."), tr("Select Font"), tr("The font of the text"));
    btFontColor = Button(tr("Font Co&lor..."), tr("Font Color"), tr("The colour of the text"));
    txSample = Named(new TSampleText, tr("Sample text"), tr("How the text looks"));
    boxGrid->addWidget(cbTextBox, 0, 0);
    boxGrid->addWidget(shTextBox, 1, 0, 2, 1);
    boxGrid->addWidget(btBoxBrush, 1, 1);
    boxGrid->addWidget(btBoxPen, 2, 1);
    boxGrid->addWidget(cbWordWrap, 3, 0);
    boxGrid->addWidget(Buddy(tr("Wrap Magic"), edMagic), 4, 0);
    boxGrid->addWidget(edMagic, 4, 1);
    boxGrid->addWidget(Buddy(tr("Alignment"), cbAlign), 5, 0);
    boxGrid->addWidget(cbAlign, 5, 1);
    boxGrid->addWidget(Buddy(tr("Show Connection Line"), cbConnection), 6, 0);
    boxGrid->addWidget(cbConnection, 6, 1);
    auto *dataRow = new QHBoxLayout;
    dataRow->addWidget(edData);
    dataRow->addWidget(btData);
    boxGrid->addWidget(Buddy(tr("Data"), edData), 7, 0);
    boxGrid->addLayout(dataRow, 7, 1);
    boxGrid->addWidget(btFont, 8, 0);
    boxGrid->addWidget(btFontColor, 8, 1);
    boxGrid->addWidget(txSample, 9, 0, 1, 2);
    pcPages->addTab(box, tr("Textbox Properties"));

    auto pick = [this](QPushButton *button, auto select, auto field, QWidget *preview) {
        connect(button, &QPushButton::clicked, this, [this, select, field, preview] {
            if (select(this, fStyle.*field)) {
                Fill();
                preview->update();
            }
        });
    };
    auto selectPen = [](QWidget *p, TPen &pen) { return SelectPen(p, pen); };
    auto selectBrush = [](QWidget *p, TBrush &brush) { return SelectBrush(p, brush); };
    // The texts and checks typed so far stay: Fill only shows pens, brushes and the font.
    pick(btLinePen, selectPen, &TKVEdgeStyle::Pen, lnPreview);
    pick(btEndPen, selectPen, &TKVEdgeStyle::EndPen, shEnds);
    pick(btEndBrush, selectBrush, &TKVEdgeStyle::EndBrush, shEnds);
    pick(btBoxPen, selectPen, &TKVEdgeStyle::TextBoxPen, shTextBox);
    pick(btBoxBrush, selectBrush, &TKVEdgeStyle::TextBoxBrush, shTextBox);
    connect(btFont, &QPushButton::clicked, this, [this] {
        if (ChooseFont(this, fStyle.Font))
            UpdateSample();
    });
    connect(btFontColor, &QPushButton::clicked, this,
            [this] { ChooseFontColor(fStyle.Font, [this] { UpdateSample(); }); });
    connect(btData, &QPushButton::clicked, this, [this] {
        std::string text = FromQt(edData->text());
        if (EnterData(this, text, FromQt(edMagic->text()), cbWordWrap->isChecked()))
            edData->setText(ToQt(text));
    });
    connect(edData, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(cbAlign, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    connect(btTemplate, &QPushButton::clicked, this, [this] {
        TfrmSelectTemplate dialog(this, fTemplate);
        if (UI().Exec(dialog) == QDialog::Accepted)
            if (TKVEdgeStyle *chosen = dialog.SelectedEdgeStyle())
                TakeTemplate(*chosen);
    });

    edName->setText(ToQt(Style.Name));
    cbCustomEnds->setChecked(Style.DrawCustomEnds);
    cbSourceArrow->setChecked(Style.SourceArrow);
    cbTargetArrow->setChecked(Style.TargetArrow);
    cbTextBox->setChecked(Style.TextBoxVisible);
    cbWordWrap->setChecked(Style.WordWrap);
    edMagic->setText(ToQt(Style.WrapMagic));
    cbAlign->setCurrentIndex(Style.TextAlign < 3 ? Style.TextAlign : -1);
    cbConnection->setCurrentIndex(Style.DrawConnection < 3 ? Style.DrawConnection : -1);
    edData->setText(ToQt(Style.Data));
    Fill();
    Finish(content);
}

void TfrmEdgeStyleProps::Fill()
{
    lnPreview->Pen = fStyle.Pen;
    shEnds->Pen = fStyle.EndPen;
    shEnds->Brush = fStyle.EndBrush;
    shTextBox->Pen = fStyle.TextBoxPen;
    shTextBox->Brush = fStyle.TextBoxBrush;
    lnPreview->update();
    shEnds->update();
    shTextBox->update();
    UpdateSample();
}

void TfrmEdgeStyleProps::UpdateSample()
{
    txSample->Text = FromQt(edData->text());
    txSample->Font = fStyle.Font;
    txSample->Brush = fStyle.TextBoxBrush;
    txSample->Alignment = std::max(0, cbAlign->currentIndex());
    txSample->update();
}

void TfrmEdgeStyleProps::TakeTemplate(const TKVEdgeStyle &Source)
{
    auto getData = fStyle.OnGetData;
    auto customEnd = fStyle.OnDrawCustomEnd;
    fStyle.Assign(&Source);
    fStyle.OnGetData = getData;
    fStyle.OnDrawCustomEnd = customEnd;
    cbCustomEnds->setChecked(Source.DrawCustomEnds);
    cbSourceArrow->setChecked(Source.SourceArrow);
    cbTargetArrow->setChecked(Source.TargetArrow);
    cbTextBox->setChecked(Source.TextBoxVisible);
    cbWordWrap->setChecked(Source.WordWrap);
    edMagic->setText(ToQt(Source.WrapMagic));
    cbAlign->setCurrentIndex(Source.TextAlign < 3 ? Source.TextAlign : -1);
    cbConnection->setCurrentIndex(Source.DrawConnection < 3 ? Source.DrawConnection : -1);
    edData->setText(ToQt(Source.Data));
    Fill();
}

void TfrmEdgeStyleProps::Apply(TKVEdgeStyle &Style) const
{
    Style.Name = FromQt(edName->text());
    Style.Pen = fStyle.Pen;
    Style.EndPen = fStyle.EndPen;
    Style.EndBrush = fStyle.EndBrush;
    Style.DrawCustomEnds = cbCustomEnds->isChecked();
    Style.SourceArrow = cbSourceArrow->isChecked();
    Style.TargetArrow = cbTargetArrow->isChecked();
    Style.TextBoxVisible = cbTextBox->isChecked();
    Style.TextBoxPen = fStyle.TextBoxPen;
    Style.TextBoxBrush = fStyle.TextBoxBrush;
    Style.WordWrap = cbWordWrap->isChecked();
    Style.WrapMagic = FromQt(edMagic->text());
    if (cbAlign->currentIndex() >= 0)
        Style.TextAlign = static_cast<std::uint8_t>(cbAlign->currentIndex());
    if (cbConnection->currentIndex() >= 0)
        Style.DrawConnection = static_cast<TKVDrawConnect>(cbConnection->currentIndex());
    Style.Data = FromQt(edData->text());
    Style.Font = fStyle.Font;
}

} // namespace ornamo
