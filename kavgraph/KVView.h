#pragma once
// The overview box: a small panel that shows a whole diagram shrunk to fit, with a frame round
// the part visible in the diagram box's scroll area. Dragging the frame with the left button
// scrolls the diagram; dragging a rectangle with the right button zooms the diagram box so that
// the rectangle fills the view. It works only while the diagram box sits in a scroll area.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVTypes.h"
#include "platform/ui/Colors.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace kavgraph {

class TKVDiagramBox;

/// A handler that may change the scale a zoom in the overview is about to set.
using TKVScaleEvent = std::function<void(int &NewScale)>;

/// The whole diagram of a box in small, with a frame round the part its scroll area shows.
/// \n Dragging the frame with the left button scrolls the diagram; dragging a rectangle with the
/// right button zooms the box so that the rectangle fills the view. It works while the box sits
/// in a QScrollArea; call SetDiagramBox and SetActive(true) to start it.
class KAVGRAPH_EXPORT TKVOverviewBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int MinZoom MEMBER MinZoom)
    Q_PROPERTY(int MaxZoom MEMBER MaxZoom)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)

public:
    /// An inactive overview without a diagram box.
    explicit TKVOverviewBox(QWidget *Owner = nullptr);
    /// Leaves the views of its box.
    ~TKVOverviewBox() override;

    ///@{
    /// The published properties under the setter names Qt's form compiler calls.
    void setColor(TColor V) { SetColor(V); }
    void setMinZoom(int V) { MinZoom = V; }
    void setMaxZoom(int V) { MaxZoom = V; }
    void setActive(bool V) { SetActive(V); }
    ///@}

    std::int32_t MinZoom = 0; ///< the smallest scale a right-button zoom sets, percent (set both, positive)
    std::int32_t MaxZoom = 0; ///< the largest scale a right-button zoom sets, percent
    TKVScaleEvent OnScaleChange; ///< called with the scale a right-button zoom is about to set
    /// The background colour.
    TColor Color() const { return fColor; }
    /// Sets the background colour and repaints.
    void SetColor(TColor V);

    /// The box shown, or none.
    TKVDiagramBox *DiagramBox() const { return fDiagramBox; }
    /// Registers with Box's views (and leaves those of the box shown before).
    void SetDiagramBox(TKVDiagramBox *Box);
    /// Whether the overview paints and follows the mouse.
    bool Active() const { return fActive; }
    /// Only with a diagram box; repaints when switched on.
    void SetActive(bool Value);

    /// The visible part of the diagram in overview pixels, as last painted.
    TKVRect ViewRect{0, 0, 0, 0};
    TKVPoint ViewCenter{0, 0}; ///< the centre of ViewRect
    std::int32_t OverviewScale = 1; ///< percent

protected:
    /// Draws the diagram shrunk to fit with the frame of the visible part.
    void paintEvent(QPaintEvent *event) override;
    /// Starts dragging the frame (left button) or a zoom rectangle (right button).
    void mousePressEvent(QMouseEvent *event) override;
    /// Moves the frame or the zoom rectangle.
    void mouseMoveEvent(QMouseEvent *event) override;
    /// Scrolls or zooms the diagram box.
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool Working() const;
    void Render();
    /// Not-XOR feedback with a red pen of width 2 on the picture shown.
    void DrawFeedback(const TKVRect &R);
    TKVRect FrameAt(TKVPoint Offset) const;

    QImage fBitmap;
    QPointer<TKVDiagramBox> fDiagramBox;
    bool fActive = false;
    TColor fColor = clBtnFace;
    /// The frame or zoom rectangle being dragged.
    TKVPoint DragOffset{0, 0};
    TKVPoint DownPoint{0, 0};
    TKVPoint LastPoint{0, 0};
    bool fDragging = false; ///< while a button is held the picture is only copied
};

} // namespace kavgraph
