#pragma once
// The generic diagram view and its controls: a paint box (the widget the diagram is drawn on,
// with a back buffer for drawing outside paint events) inside a scroll box (a QScrollArea whose
// scrollable size follows the diagram's bounds), the mapping of diagram units to pixels
// (isotropic: window extent 100, viewport extent = zoom), and a hint controller for pop-up texts.
//
// How a window hosts a view:
//
//     auto *scrollBox = new TvdScrollBox(parentWidget);   // put it in the window's layout
//     auto *paintBox = new TvdPaintBox;
//     scrollBox->setWidget(paintBox);                     // the scroll box owns the paint box
//     TvdVisualTreeDiagram view;                          // (L1TreeDiagram.h) outlives neither
//     view.AttachTo(paintBox, scrollBox);                 // paint, mouse and focus events go to it
//
// The view owns neither control; the window destroys the view before its controls. Everything
// runs on the user-interface thread.

#include "browser/store/L1StructuredStorage.h"
#include "browser/support/L1Lists.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QRegion>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Mouse buttons and shift state as the view's events report them.
enum TvdMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
using TvdShiftState = std::uint8_t;
constexpr TvdShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

// The platform mapping mode used for every diagram canvas (process-wide; isotropic).
class TvdDiagramMappingMode {
public:
    int GetMode() const;
    void SetMode(int mode) { fMode = mode; }

private:
    int fMode = 7;
};
TvdDiagramMappingMode &DiagramMappingMode();

// The widget a diagram is drawn on. It keeps a back buffer of its visible part: paint events
// render what is not yet in the buffer through OnPaint and then copy the buffer to the screen,
// so drawing done outside a paint event (into Canvas(), whose origin is then the visible
// top-left corner) shows after Flush().
class TvdPaintBox : public QWidget {
public:
    explicit TvdPaintBox(QWidget *parent = nullptr);
    ~TvdPaintBox() override;

    // Called to draw during a paint request; the canvas then maps paint-box pixels and is
    // clipped to the area being painted.
    std::function<void()> OnPaint;
    std::function<void(TvdMouseButton, TvdShiftState, int x, int y)> OnMouseDown;
    std::function<void(TvdShiftState, int x, int y)> OnMouseMove;

    TCanvas *Canvas() { return fCanvas.get(); }
    bool InPaint() const { return fInPaint; }
    // Paint-box coordinates of the back buffer's top-left pixel.
    QPoint BufferOrigin() const { return fBufferOrigin; }
    // Forgets the buffer's contents and paints the visible part again (now when shown).
    void Redraw();
    // Shows what was drawn into the buffer outside a paint event (area in buffer pixels).
    void Flush(const QRect &bufferArea);
    void Flush();
    // Renders the area (paint-box coordinates, within the visible part) into the buffer through
    // OnPaint, as a paint event does.
    void RenderArea(const QRect &area);
    const QImage &Buffer() const { return fBuffer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect VisibleArea() const;
    void SyncBuffer();

    QImage fBuffer;
    std::unique_ptr<TCanvas> fCanvas;
    QPoint fBufferOrigin;
    QRegion fRendered; // paint-box coordinates already in the buffer
    bool fInPaint = false;
};

// The scroll area around a paint box. Its ranges are the scrollable extent in pixels, as a
// diagram's bounds give them; the paint box is sized to the ranges (at least the visible area).
class TvdScrollBox : public QScrollArea {
public:
    explicit TvdScrollBox(QWidget *parent = nullptr);

    // Called when the scroll box loses the input focus.
    std::function<void()> OnExit;

    void SetRanges(int horizontal, int vertical);
    int HorzRange() const { return fHorzRange; }
    int VertRange() const { return fVertRange; }
    int HorzPosition() const;
    int VertPosition() const;
    void SetPositions(int x, int y);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void SizeWidget();

    int fHorzRange = 0;
    int fVertRange = 0;
};

// A frameless tool-tip window that never takes the focus, hidden again by a one-shot timer.
class TvdHintController {
public:
    TvdHintController();
    ~TvdHintController();

    void Show(QPoint screenPoint, const std::string &text);
    void Hide();

    QLabel *HintWindow() const { return fHintWindow.get(); }
    const QTimer &Timer() const { return fTimer; }

private:
    std::unique_ptr<QLabel> fHintWindow;
    QTimer fTimer;
};

// A rectangular object a generic diagram can hold (diagram units; right and bottom outside).
class Tvd_DiagramObject_View : public TObject {
public:
    Tvd_DiagramObject_View() = default;
    explicit Tvd_DiagramObject_View(const TRect &bounds) { SetBounds(bounds); }

    virtual void GetBounds(TRect &rect) const;
    virtual void SetBounds(const TRect &rect);
    virtual bool ContainsPoint(QPoint point) const;
    virtual void DrawTo(TCanvas &canvas);

    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The generic view of a diagram on a paint box inside a scroll box.
class TvdDiagram {
public:
    TvdDiagram();
    virtual ~TvdDiagram();
    TvdDiagram(const TvdDiagram &) = delete;
    TvdDiagram &operator=(const TvdDiagram &) = delete;

    // The diagram's extent in diagram units.
    virtual void CalculateBoundsRect(TRect &rect);
    // White canvas, offsets back to 0.
    virtual void Clear();
    virtual void Paint();
    virtual void MouseDown(TvdMouseButton button, TvdShiftState shift, int x, int y);
    virtual void MouseMove(TvdShiftState shift, int x, int y) {}
    virtual void PaintRequest() { Paint(); }
    virtual void FocusLeft() { HideHint(); }

    // Binds the view to its controls for its whole life and connects their events.
    void AttachTo(TvdPaintBox *paintBox, TvdScrollBox *scrollBox);
    void ApplyMapping();
    void GetBounds(TRect &rect);
    void RecalculateBounds();
    void UpdateScrollRanges();
    void UpdateScrollOffsets();
    void SetZoom(int percent);
    int Zoom() const { return fZoom; }
    void ClearCanvas();
    void HideHint();
    void ShowHint(QPoint screenPoint, const std::string &text);
    Tvd_DiagramObject_View *ViewAt(QPoint point) const;

    // The generic objects drawn by the default paint; added objects are owned.
    void AddObjectView(const std::string &name, Tvd_DiagramObject_View *view);
    const TStringList &ObjectViews() const { return fObjectViews; }

    int32_t ScrollOffsetX() const { return fScrollOffsetX; }
    int32_t ScrollOffsetY() const { return fScrollOffsetY; }
    TvdPaintBox *PaintBox() const { return fPaintBox; }
    TvdScrollBox *ScrollBox() const { return fScrollBox; }
    TvdHintController &HintController() { return *fHintController; }

protected:
    // Class name for the routine names of reports.
    virtual std::string ClassName() const { return "TvdDiagram"; }
    // The paint box's canvas; nullptr before AttachTo.
    TCanvas *Canvas() const;
    void SetupRawEventHandlers();

    bool fBoundsValid = false;
    TStringList fObjectViews{true};
    int32_t fScrollOffsetX = 0;
    int32_t fScrollOffsetY = 0;
    int32_t fZoom = 100;
    // Guarded: a window may destroy its controls before the view.
    QPointer<TvdPaintBox> fPaintBox;
    std::unique_ptr<TvdHintController> fHintController;
    QPointer<TvdScrollBox> fScrollBox;
    TRect fBoundsCache;
    bool fUseScrollOrigin = false;
};
