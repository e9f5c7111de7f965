// The style item dialogs.

#include "ornamo/uItemProps.h"

#include "ornamo/uEnterData.h"
#include "ornamo/uPenBrush.h"
#include "ornamo/uSelectTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace ornamo {

namespace {

QSpinBox *NumberField(const QString &name)
{
    auto *s = Named(new QSpinBox, name);
    s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    s->setAlignment(Qt::AlignRight);
    s->setMinimumWidth(90);
    return s;
}

QComboBox *Choice(const QString &name, const QString &hint, const QStringList &entries)
{
    auto *c = Named(new QComboBox, name, hint);
    c->addItems(entries);
    return c;
}

void SetIndex(QComboBox *c, int ordinal) { c->setCurrentIndex(ordinal < c->count() ? ordinal : -1); }

} // namespace

// ---- General group --------------------------------------------------------------------------------

TItemGeneral::TItemGeneral(const TKVStyleItem &Item) : QGroupBox(tr("General"))
{
    setAccessibleName(tr("General"));
    auto *grid = new QGridLayout(this);
    edName = Named(new QLineEdit, tr("Name"), tr("The item's name; a data item's name is its data field"));
    edLeft = NumberField(tr("Left"));
    edTop = NumberField(tr("Top"));
    edWidth = NumberField(tr("Width"));
    edHeight = NumberField(tr("Height"));
    cbCoordMode = Choice(tr("Coordinate Mode"), tr("Whether the numbers are values or percentages of the vertex"),
                         {"As Values", "As Percentage"});
    cbHorzAlign = Choice(tr("Horizontal Alignment"), tr("How the item is placed across the vertex"),
                         {"No Alignment", "Left Aligned", "Right Aligned", "Stretched to Vertex", "Centered"});
    cbVertAlign = Choice(tr("Vertical Alignment"), tr("How the item is placed down the vertex"),
                         {"No Alignment", "Top Aligned", "Bottom Aligned", "Stretched to Vertex", "Centered"});
    grid->addWidget(Buddy(tr("&Name"), edName), 0, 0);
    grid->addWidget(edName, 0, 1, 1, 4);
    QSpinBox *numbers[4] = {edLeft, edTop, edWidth, edHeight};
    const QString labels[4] = {tr("&Left"), tr("&Top"), tr("&Width"), tr("&Height")};
    for (int i = 0; i < 4; ++i) {
        const int row = 1 + i / 2, col = (i % 2) * 3;
        lbPercent[i] = Named(new QLabel("%"), tr("Percent"));
        grid->addWidget(Buddy(labels[i], numbers[i]), row, col);
        grid->addWidget(numbers[i], row, col + 1);
        grid->addWidget(lbPercent[i], row, col + 2);
    }
    grid->addWidget(Buddy(tr("&Coordinate Mode"), cbCoordMode), 3, 0);
    grid->addWidget(cbCoordMode, 3, 1, 1, 4);
    grid->addWidget(Buddy(tr("H&orizontal Alignment"), cbHorzAlign), 4, 0);
    grid->addWidget(cbHorzAlign, 4, 1, 1, 4);
    grid->addWidget(Buddy(tr("&Vertical Alignment"), cbVertAlign), 5, 0);
    grid->addWidget(cbVertAlign, 5, 1, 1, 4);
    Fill(Item);
    for (QComboBox *c : {cbCoordMode, cbHorzAlign, cbVertAlign})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { UpdateFields(); });
}

void TItemGeneral::Fill(const TKVStyleItem &Item)
{
    edName->setText(ToQt(Item.Name));
    edLeft->setValue(Item.Left);
    edTop->setValue(Item.Top);
    edWidth->setValue(Item.Width);
    edHeight->setValue(Item.Height);
    SetIndex(cbCoordMode, Item.CoordMode);
    SetIndex(cbHorzAlign, Item.HorzAlign);
    SetIndex(cbVertAlign, Item.VertAlign);
    UpdateFields();
}

void TItemGeneral::Apply(TKVStyleItem &Item) const
{
    Item.Name = FromQt(edName->text());
    Item.Left = edLeft->value();
    Item.Top = edTop->value();
    Item.Width = edWidth->value();
    Item.Height = edHeight->value();
    if (cbCoordMode->currentIndex() >= 0)
        Item.CoordMode = static_cast<TKVCoordMode>(cbCoordMode->currentIndex());
    if (cbHorzAlign->currentIndex() >= 0)
        Item.HorzAlign = static_cast<TKVHorzAlign>(cbHorzAlign->currentIndex());
    if (cbVertAlign->currentIndex() >= 0)
        Item.VertAlign = static_cast<TKVVertAlign>(cbVertAlign->currentIndex());
}

void TItemGeneral::UpdateFields()
{
    // Index 0 no alignment: position and size; 3 stretched: neither; the others: size only.
    auto apply = [](int align, QSpinBox *position, QSpinBox *size) {
        position->setEnabled(align == 0 || align < 0 || align > 4);
        size->setEnabled(align != 3);
    };
    apply(cbHorzAlign->currentIndex(), edLeft, edWidth);
    apply(cbVertAlign->currentIndex(), edTop, edHeight);
    const bool percent = cbCoordMode->currentIndex() == cmPercentage;
    for (QLabel *l : lbPercent)
        l->setVisible(percent);
}

// ---- Draw item -----------------------------------------------------------------------------------

TfrmDrawItemProps::TfrmDrawItemProps(QWidget *Parent, const TKVDrawItem &Item, const TKVStyleLibrary &Template)
    : TPropertyDialog(Parent, tr("Draw Item properties"), "drawitem"), fTemplate(Template)
{
    fItem.Assign(Item);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    General = new TItemGeneral(Item);
    layout->addWidget(General);

    auto *group = new QGroupBox(tr("Draw Item"));
    group->setAccessibleName(tr("Draw Item"));
    auto *grid = new QGridLayout(group);
    cbShape = Named(MakeShapeCombo(), tr("Shape"), tr("The shape the item draws"));
    shPreview = Named(new TShapePreview, tr("DrawItem preview"),
                      tr("DrawItem preview") + "\n" + tr("(always drawn as rounded rectangle)"));
    btPen = Named(new QPushButton(tr("Select &Pen...")), tr("Select Pen"), tr("Choose the outline pen"));
    btBrush = Named(new QPushButton(tr("Select &Brush...")), tr("Select Brush"), tr("Choose the fill brush"));
    btTemplate = Named(new QPushButton(tr("&Template")), tr("Template"),
                       tr("Take the settings of a draw item of the template library"));
    grid->addWidget(Buddy(tr("&Shape"), cbShape), 0, 0);
    grid->addWidget(cbShape, 0, 1);
    grid->addWidget(shPreview, 1, 0, 3, 2);
    grid->addWidget(btPen, 1, 2);
    grid->addWidget(btBrush, 2, 2);
    grid->addWidget(btTemplate, 3, 2);
    layout->addWidget(group);

    connect(btPen, &QPushButton::clicked, this, [this] {
        if (SelectPen(this, shPreview->Pen))
            shPreview->update();
    });
    connect(btBrush, &QPushButton::clicked, this, [this] {
        if (SelectBrush(this, shPreview->Brush))
            shPreview->update();
    });
    connect(btTemplate, &QPushButton::clicked, this, [this] {
        TfrmSelectTemplate dialog(this, fTemplate, true);
        if (UI().Exec(dialog) == QDialog::Accepted)
            if (TKVDrawItem *chosen = dialog.SelectedDrawItem())
                TakeTemplate(*chosen);
    });
    Fill();
    Finish(content);
}

void TfrmDrawItemProps::Fill()
{
    General->Fill(fItem);
    SetIndex(cbShape, fItem.Shape);
    shPreview->Pen = fItem.Pen;
    shPreview->Brush = fItem.Brush;
    shPreview->update();
}

void TfrmDrawItemProps::TakeTemplate(const TKVDrawItem &Source)
{
    const std::string name = FromQt(General->edName->text());
    auto handler = fItem.OnDrawCustomDrawItem;
    fItem.Assign(Source);
    fItem.Name = name;
    fItem.OnDrawCustomDrawItem = handler;
    Fill();
}

void TfrmDrawItemProps::Apply(TKVDrawItem &Item) const
{
    General->Apply(Item);
    if (cbShape->currentIndex() >= 0)
        Item.Shape = static_cast<TKVShape>(cbShape->currentIndex());
    Item.Pen = shPreview->Pen;
    Item.Brush = shPreview->Brush;
}

// ---- Data item -----------------------------------------------------------------------------------

TfrmDataItemProps::TfrmDataItemProps(QWidget *Parent, const TKVDataItem &Item)
    : TPropertyDialog(Parent, tr("Data Item properties"), "dataitem")
{
    fItem.Assign(Item);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    General = new TItemGeneral(Item);
    layout->addWidget(General);

    auto *group = new QGroupBox(tr("Data Item"));
    group->setAccessibleName(tr("Data Item"));
    auto *grid = new QGridLayout(group);
    edData = Named(new QLineEdit(ToQt(Item.Text)), tr("Data"), tr("The sample text the item shows"));
    btData = Named(new QPushButton("..."), tr("Enter Data"), tr("Edit the data text line by line"));
    btData->setMaximumWidth(32);
    btBrush = Named(new QPushButton(tr("Select &Brush...")), tr("Select Brush"), tr("Background of each text line"));
    cbAlign = Choice(tr("Alignment"), tr("Alignment of the text lines"), {"Left", "Right", "Centered"});
    SetIndex(cbAlign, Item.TextAlign);
    edMagic = Named(new QLineEdit(ToQt(Item.WrapMagic)), tr("Wrap Magic"), tr("The marker that breaks the text into lines"));
    cbWordWrap = Named(new QCheckBox(tr("Word Wrap")), tr("Word Wrap"), tr("Break the text at every marker"));
    cbWordWrap->setChecked(Item.WordWrap);
    btFont = Named(new QPushButton(tr("Select Font...")), tr("Select Font"), tr("The font of the text"));
    btFontColor = Named(new QPushButton(tr("Font Co&lor...")), tr("Font Color"), tr("The colour of the text"));
    txSample = Named(new TSampleText, tr("Sample text"), tr("How the text looks"));

    auto *dataRow = new QHBoxLayout;
    dataRow->addWidget(edData);
    dataRow->addWidget(btData);
    grid->addWidget(Buddy(tr("data"), edData), 0, 0);
    grid->addLayout(dataRow, 0, 1, 1, 2);
    grid->addWidget(Buddy(tr("alignment"), cbAlign), 1, 0);
    grid->addWidget(cbAlign, 1, 1);
    grid->addWidget(btBrush, 1, 2);
    grid->addWidget(Buddy(tr("magic"), edMagic), 2, 0);
    grid->addWidget(edMagic, 2, 1);
    grid->addWidget(cbWordWrap, 2, 2);
    grid->addWidget(btFont, 3, 1);
    grid->addWidget(btFontColor, 3, 2);
    grid->addWidget(txSample, 4, 0, 1, 3);
    layout->addWidget(group);

    connect(edData, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(cbAlign, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    connect(cbWordWrap, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(btData, &QPushButton::clicked, this, [this] {
        std::string text = FromQt(edData->text());
        if (EnterData(this, text, FromQt(edMagic->text()), cbWordWrap->isChecked()))
            edData->setText(ToQt(text));
    });
    connect(btBrush, &QPushButton::clicked, this, [this] {
        if (SelectBrush(this, fItem.Brush))
            UpdateSample();
    });
    connect(btFont, &QPushButton::clicked, this, [this] {
        if (ChooseFont(this, fItem.Font))
            UpdateSample();
    });
    connect(btFontColor, &QPushButton::clicked, this,
            [this] { ChooseFontColor(fItem.Font, [this] { UpdateSample(); }); });
    UpdateSample();
    Finish(content);
}

void TfrmDataItemProps::UpdateSample()
{
    edMagic->setEnabled(cbWordWrap->isChecked());
    txSample->Text = FromQt(edData->text());
    txSample->Font = fItem.Font;
    txSample->Brush = fItem.Brush;
    txSample->Alignment = std::max(0, cbAlign->currentIndex());
    txSample->update();
}

void TfrmDataItemProps::Apply(TKVDataItem &Item) const
{
    General->Apply(Item);
    Item.Text = FromQt(edData->text());
    Item.Brush = fItem.Brush;
    if (cbAlign->currentIndex() >= 0)
        Item.TextAlign = static_cast<std::uint8_t>(cbAlign->currentIndex());
    Item.WrapMagic = FromQt(edMagic->text());
    Item.WordWrap = cbWordWrap->isChecked();
    Item.Font = fItem.Font;
}

// ---- Bitmap item ---------------------------------------------------------------------------------

TfrmBitmapItemProps::TfrmBitmapItemProps(QWidget *Parent, const TKVBitmapItem &Item)
    : TPropertyDialog(Parent, tr("Bitmap Item properties"), "bitmapitem"), fBitmap(Item.Bitmap)
{
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    General = new TItemGeneral(Item);
    layout->addWidget(General);

    auto *group = new QGroupBox(tr("Bitmap Item"));
    group->setAccessibleName(tr("Bitmap Item"));
    auto *grid = new QGridLayout(group);
    cbLockAspect = Named(new QCheckBox(tr("&Lock Aspect Ratio")), tr("Lock Aspect Ratio"),
                         tr("Keep the picture's width-to-height ratio"));
    cbLockAspect->setChecked(Item.LockAspectRatio);
    cbVisible = Named(new QCheckBox(tr("&Visible Default")), tr("Visible Default"), tr("Whether the picture is drawn"));
    cbVisible->setChecked(Item.Visible);
    btSelect = Named(new QPushButton(tr("&Select Bitmap...")), tr("Select Bitmap"), tr("Load a picture file"));
    imPreview = Named(new QLabel, tr("Bitmap preview"), tr("The item's picture"));
    imPreview->setMinimumSize(120, 90);
    imPreview->setAlignment(Qt::AlignCenter);
    imPreview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(cbLockAspect, 0, 0);
    grid->addWidget(cbVisible, 1, 0);
    grid->addWidget(btSelect, 2, 0);
    grid->addWidget(imPreview, 0, 1, 3, 1);
    layout->addWidget(group);
    connect(btSelect, &QPushButton::clicked, this, [this] {
        const QString name = UI().OpenFileName(this, tr("Select Bitmap"),
                                               tr("Bitmaps (*.bmp);;Pictures (*.bmp *.png *.jpg *.jpeg *.gif)"),
                                               "bmp", {});
        if (!name.isEmpty())
            LoadPicture(name);
    });
    ShowPicture();
    Finish(content);
}

bool TfrmBitmapItemProps::LoadPicture(const QString &FileName)
{
    QImageReader reader(FileName);
    QImage image = reader.read();
    if (image.isNull()) {
        UI().Error(this, reader.errorString());
        return false;
    }
    fBitmap.SetImage(image);
    ShowPicture();
    return true;
}

void TfrmBitmapItemProps::ShowPicture()
{
    if (fBitmap.Empty()) {
        imPreview->setPixmap({});
        imPreview->setText(tr("(no picture)"));
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(fBitmap.Image());
    // Large pictures are shrunk to fit, small ones enlarged by whole pixels.
    if (pixmap.width() > 160 || pixmap.height() > 120)
        pixmap = pixmap.scaled(160, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else if (const int factor = std::min(160 / pixmap.width(), 120 / pixmap.height()); factor > 1)
        pixmap = pixmap.scaled(pixmap.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
    imPreview->setPixmap(pixmap);
}

void TfrmBitmapItemProps::Apply(TKVBitmapItem &Item) const
{
    General->Apply(Item);
    Item.LockAspectRatio = cbLockAspect->isChecked();
    Item.Visible = cbVisible->isChecked();
    Item.Bitmap = fBitmap;
}

} // namespace ornamo
