// Owner-drawn lists, previews, sample text and the colour and font choosers.

#include "ornamo/uSamples.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace ornamo {

namespace {

class TEntryDelegate : public QStyledItemDelegate {
public:
    TEntryDelegate(const TOwnerDrawCombo *Combo) : QStyledItemDelegate(const_cast<TOwnerDrawCombo *>(Combo)), fCombo(Combo) {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        fCombo->DrawEntry(*painter, option.rect, index.row(), selected);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        return {std::max(s.width() + 60, 140), std::max(s.height(), 18)};
    }

private:
    const TOwnerDrawCombo *fCombo;
};

void DrawName(QPainter &p, const QRect &r, int x, const QString &name)
{
    p.drawText(QRect(r.left() + x, r.top(), r.width() - x, r.height()), Qt::AlignVCenter | Qt::AlignLeft, name);
}

} // namespace

TOwnerDrawCombo::TOwnerDrawCombo(const QStringList &Entries, TDrawEntry Draw, QWidget *Parent)
    : QComboBox(Parent), fDraw(std::move(Draw))
{
    addItems(Entries);
    setItemDelegate(new TEntryDelegate(this));
    setMinimumWidth(150);
}

void TOwnerDrawCombo::DrawEntry(QPainter &Painter, const QRect &Rect, int Index, bool Selected) const
{
    if (Index >= 0 && Index < count())
        fDraw(Painter, Rect, Index, Selected);
}

void TOwnerDrawCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    DrawEntry(painter, field, currentIndex(), false);
}

Qt::PenStyle ToQtPenStyle(TPenStyle Style)
{
    switch (Style) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle ToQtBrushStyle(TBrushStyle Style)
{
    switch (Style) {
    case bsSolid:
        return Qt::SolidPattern;
    case bsClear:
        return Qt::NoBrush;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern;
    case bsBDiagonal:
        return Qt::BDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

TOwnerDrawCombo *MakePenStyleCombo()
{
    static const QStringList names{"Solid", "Dashed", "Dotted", "Dash-Dot", "Dash-Dot-Dot", "Clear", "Inside Frame"};
    return new TOwnerDrawCombo(names, [](QPainter &p, const QRect &r, int i, bool) {
        const QColor text = p.pen().color();
        p.save();
        p.setPen(QPen(text, 1, ToQtPenStyle(static_cast<TPenStyle>(i))));
        const int y = r.top() + 6 + std::max(0, (r.height() - 16) / 2);
        p.drawLine(r.left() + 4, y, r.left() + 50, y);
        p.restore();
        DrawName(p, r, 55, names[i]);
    });
}

TOwnerDrawCombo *MakeBrushStyleCombo()
{
    static const QStringList names{"Solid", "Clear", "Horizontal", "Vertical", "FDiagonal", "BDiagonal", "Cross",
                                   "DiagCross"};
    return new TOwnerDrawCombo(names, [](QPainter &p, const QRect &r, int i, bool) {
        p.save();
        QRect sample(r.left() + 5, r.top() + 2, 45, r.height() - 4);
        p.fillRect(sample, Qt::white);
        p.fillRect(sample, QBrush(Qt::black, ToQtBrushStyle(static_cast<TBrushStyle>(i))));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(sample.adjusted(0, 0, -1, -1));
        p.restore();
        DrawName(p, r, 55, names[i]);
    });
}

TOwnerDrawCombo *MakeShapeCombo()
{
    static const QStringList names{"Rectangle", "RoundRect", "Ellipse", "Line", "Diamond", "Custom"};
    return new TOwnerDrawCombo(names, [](QPainter &p, const QRect &r, int i, bool selected) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QApplication::palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 1));
        p.setBrush(Qt::NoBrush);
        const int top = r.top() + std::max(0, (r.height() - 16) / 2);
        const int bottom = top + 16;
        const int left = r.left();
        switch (i) {
        case diRectangle:
            p.drawRect(left + 1, top + 1, 18, 14);
            break;
        case diRoundRect:
            p.drawRoundedRect(QRect(left + 1, top + 1, 18, 14), 5, 5);
            break;
        case diEllipse:
            p.drawEllipse(QRect(left + 1, top + 1, 18, 14));
            break;
        case diLine:
            p.drawLine(left + 1, top + 8, left + 19, top + 8);
            break;
        case diDiamond:
            p.drawPolygon(QPolygon({QPoint(left + 1, top + 8), QPoint(left + 10, top + 1), QPoint(left + 20, top + 8),
                                    QPoint(left + 10, bottom - 1)}));
            break;
        default:
            p.drawText(QRect(left, top, 20, 16), Qt::AlignCenter, "?");
            break;
        }
        p.restore();
        DrawName(p, r, 25, names[i]);
    });
}

TShapePreview::TShapePreview(QWidget *Parent) : QWidget(Parent) { setMinimumSize(100, 50); }

void TShapePreview::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    {
        TCanvas canvas(&image);
        canvas.Pen = Pen;
        canvas.Brush = Brush;
        const int l = 10, t = 8, r = width() - 10, b = height() - 8;
        if (Arrow) {
            const int y = height() / 2;
            canvas.MoveTo(l, y);
            canvas.LineTo(r - 20, y);
            canvas.Polygon({{r, y}, {r - 20, y - 10}, {r - 20, y + 10}});
        } else switch (Shape) {
        case diRectangle:
            canvas.Rectangle(l, t, r, b);
            break;
        case diEllipse:
            canvas.Ellipse(l, t, r, b);
            break;
        case diDiamond:
            canvas.Polygon({{l, (t + b) / 2}, {(l + r) / 2, t}, {r, (t + b) / 2}, {(l + r) / 2, b}});
            break;
        case diLine:
            canvas.MoveTo(l, (t + b) / 2);
            canvas.LineTo(r, (t + b) / 2);
            break;
        default:
            canvas.RoundRect(l, t, r, b, 20, 20);
            break;
        }
    }
    QPainter(this).drawImage(0, 0, image);
}

TLinePreview::TLinePreview(QWidget *Parent) : QWidget(Parent) { setMinimumSize(100, 30); }

void TLinePreview::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    {
        TCanvas canvas(&image);
        canvas.Pen = Pen;
        canvas.MoveTo(10, height() / 2);
        canvas.LineTo(width() - 10, height() / 2);
    }
    QPainter(this).drawImage(0, 0, image);
}

const char *const TSampleText::Pangram = "The quick brown fox jumps over the lazy dog";

TSampleText::TSampleText(QWidget *Parent) : QWidget(Parent) { setMinimumSize(200, 36); }

void TSampleText::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        canvas.Brush = Brush;
        if (Brush.Style != bsClear)
            canvas.FillRect(0, 0, width(), height());
        canvas.Font = Font;
        canvas.Brush.Style = bsClear;
        const std::string text = Shown();
        const int w = canvas.TextWidth(text), h = canvas.TextHeight(text);
        const int x = Alignment == 1 ? width() - 4 - w : Alignment == 2 ? (width() - w) / 2 : 4;
        canvas.TextRect(0, 0, width(), height(), x, (height() - h) / 2, text);
    }
    QPainter p(this);
    p.drawImage(0, 0, image);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TColorButton::TColorButton(const QString &Text, QWidget *Parent) : QPushButton(Text, Parent)
{
    connect(this, &QPushButton::clicked, this, [this] { Choose(); });
    SetColor(clBlack);
}

void TColorButton::SetColor(TColor Color)
{
    fColor = Color;
    QPixmap swatch(16, 16);
    swatch.fill(ToQColor(Color));
    setIcon(QIcon(swatch));
}

void TColorButton::Choose()
{
    QColorDialog dialog(ToQColor(fColor), this);
    dialog.setWindowTitle(toolTip().isEmpty() ? accessibleName() : toolTip());
    if (UI().Exec(dialog) != QDialog::Accepted)
        return;
    SetColor(FromQColor(dialog.selectedColor()));
    if (OnChange)
        OnChange();
}

QFont ToQFont(const TFont &Font)
{
    QFont f(ToQt(Font.Name));
    f.setPointSize(std::max(1, Font.Size));
    f.setBold(Font.Bold);
    f.setItalic(Font.Italic);
    f.setUnderline(Font.Underline);
    f.setStrikeOut(Font.StrikeOut);
    return f;
}

void FromQFont(const QFont &Font, TFont &Into)
{
    Into.Name = FromQt(Font.family());
    Into.Size = Font.pointSize() > 0 ? Font.pointSize() : Into.Size;
    Into.Bold = Font.bold();
    Into.Italic = Font.italic();
    Into.Underline = Font.underline();
    Into.StrikeOut = Font.strikeOut();
}

bool ChooseFont(QWidget *Parent, TFont &Font)
{
    QFontDialog dialog(ToQFont(Font), Parent);
    dialog.setOption(QFontDialog::ScalableFonts);
    dialog.setWindowTitle(QObject::tr("Select Font"));
    if (UI().Exec(dialog) != QDialog::Accepted)
        return false;
    FromQFont(dialog.selectedFont(), Font);
    return true;
}

void ChooseFontColor(TFont &Font, const std::function<void()> &Changed)
{
    TColorButton picker(QObject::tr("Font Color"));
    picker.setToolTip(QObject::tr("Select the font colour"));
    picker.SetColor(Font.Color);
    picker.OnChange = [&] {
        Font.Color = picker.Color();
        Changed();
    };
    picker.click();
}

} // namespace ornamo
