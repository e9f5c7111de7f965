#pragma once
// The owner-drawn controls of the property dialogs: lists whose entries show a pen style, a brush
// style or a shape, the previews of a pen and brush on a shape or a line, the sample text, and the
// colour and font choosers.

#include "ornamo/uCommon.h"
#include "platform/ui/Canvas.h"

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace ornamo {

// A drop-down list whose entries (and the closed box) are painted by DrawEntry.
class TOwnerDrawCombo : public QComboBox {
public:
    using TDrawEntry = std::function<void(QPainter &Painter, const QRect &Rect, int Index, bool Selected)>;
    TOwnerDrawCombo(const QStringList &Entries, TDrawEntry Draw, QWidget *Parent = nullptr);
    void DrawEntry(QPainter &Painter, const QRect &Rect, int Index, bool Selected) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TDrawEntry fDraw;
};

// Entries in the order of the stored ordinals.
TOwnerDrawCombo *MakePenStyleCombo();
TOwnerDrawCombo *MakeBrushStyleCombo();
TOwnerDrawCombo *MakeShapeCombo();

Qt::PenStyle ToQtPenStyle(TPenStyle Style);
Qt::BrushStyle ToQtBrushStyle(TBrushStyle Style);

// A shape painted with a pen and a brush (a rounded rectangle unless told otherwise).
class TShapePreview : public QWidget {
public:
    explicit TShapePreview(QWidget *Parent = nullptr);
    TPen Pen;
    TBrush Brush;
    TKVShape Shape = diRoundRect;
    bool Arrow = false; // an arrow head on a line instead of the shape
    QSize sizeHint() const override { return {120, 60}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One horizontal line across the middle, 10 pixels in from each side.
class TLinePreview : public QWidget {
public:
    explicit TLinePreview(QWidget *Parent = nullptr);
    TPen Pen;
    QSize sizeHint() const override { return {200, 40}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The data text (or a pangram when it is empty) in a font, aligned, on a brush.
class TSampleText : public QWidget {
public:
    explicit TSampleText(QWidget *Parent = nullptr);
    static const char *const Pangram; // "The quick brown fox jumps over the lazy dog"
    std::string Text;
    TFont Font;
    TBrush Brush{clWhite, bsClear};
    int Alignment = 0; // 0 left, 1 right, 2 centred
    // The text shown: Text, or the pangram when Text is empty.
    std::string Shown() const { return Text.empty() ? Pangram : Text; }
    QSize sizeHint() const override { return {300, 44}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A button showing a colour; a click opens the colour dialog.
class TColorButton : public QPushButton {
public:
    TColorButton(const QString &Text, QWidget *Parent = nullptr);
    TColor Color() const { return fColor; }
    void SetColor(TColor Color);
    std::function<void()> OnChange;

private:
    void Choose();
    TColor fColor = clBlack;
};

QFont ToQFont(const TFont &Font);
// Keeps the colour of Into.
void FromQFont(const QFont &Font, TFont &Into);
// The font dialog (scalable fonts, with underline and strike-out); false on Cancel.
bool ChooseFont(QWidget *Parent, TFont &Font);
// The colour dialog for a font's colour; Changed runs when a colour was taken.
void ChooseFontColor(TFont &Font, const std::function<void()> &Changed);

} // namespace ornamo
