#pragma once
// A main window with a gradient caption band inside its top edge: equal bands from black at the
// left to the highlight colour at the right (active or inactive). The window manager keeps its
// own frame and title bar.

#include <QColor>
#include <QMainWindow>
#include <QVector>

#include <functional>

class QMenuBar;
class TGradientForm;

enum TGFPaintGradient { gfpAlways, gfpActive, gfpNever };
// Raised after the bands are painted, with the rectangle left for the caption text; the handler
// may paint there and shrink the rectangle.
using TGFOnCaptionPaint = std::function<void(TGradientForm *sender, class QPainter &painter, QRect &textRect)>;

class TGradientForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(int GradientColors READ GradientColors WRITE SetGradientColors)
public:
    explicit TGradientForm(QWidget *parent = nullptr);

    int GradientColors() const { return fGradientColors; }
    // Values outside 8..256 are ignored.
    void SetGradientColors(int count);
    TGFPaintGradient PaintGradient() const { return fPaintGradient; }
    void SetPaintGradient(TGFPaintGradient when);
    TGFOnCaptionPaint OnCaptionPaint;

    // The colour tables: colour i has each part i * C / (N - 1), rounded, of the highlight
    // colour C of the palette's active or inactive group.
    const QVector<QColor> &ActiveColors() const { return fActiveColors; }
    const QVector<QColor> &InactiveColors() const { return fInactiveColors; }
    static QVector<QColor> GradientTable(const QColor &caption, int count);

    // The band (hidden while PaintGradient is gfpNever) and the window's menu bar under it.
    QWidget *CaptionBand() const { return fBand; }
    QMenuBar *MenuBar() const { return fMenuBar; }
    // Whether the bands are painted now (else a plain band in the highlight colour).
    bool GradientShown() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    friend class TCaptionBand;
    void BuildTables();

    int fGradientColors = 64;
    TGFPaintGradient fPaintGradient = gfpAlways;
    QVector<QColor> fActiveColors, fInactiveColors;
    QWidget *fBand;
    QMenuBar *fMenuBar;
};
