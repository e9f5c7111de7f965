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

using TKVScaleEvent = std::function<void(int &NewScale)>;

class KAVGRAPH_EXPORT TKVOverviewBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int MinZoom MEMBER MinZoom)
    Q_PROPERTY(int MaxZoom MEMBER MaxZoom)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)

public:
    explicit TKVOverviewBox(QWidget *Owner = nullptr);
    ~TKVOverviewBox() override;

    // The published properties under the setter names Qt's form compiler calls.
    void setColor(TColor V) { SetColor(V); }
    void setMinZoom(int V) { MinZoom = V; }
    void setMaxZoom(int V) { MaxZoom = V; }
    void setActive(bool V) { SetActive(V); }

    std::int32_t MinZoom = 0; // set both (positive, MinZoom <= MaxZoom) before zooming
    std::int32_t MaxZoom = 0;
    TKVScaleEvent OnScaleChange;
    TColor Color() const { return fColor; }
    void SetColor(TColor V);

    TKVDiagramBox *DiagramBox() const { return fDiagramBox; }
    // Registers with Box's views (and leaves those of the box shown before).
    void SetDiagramBox(TKVDiagramBox *Box);
    bool Active() const { return fActive; }
    // Only with a diagram box; repaints when switched on.
    void SetActive(bool Value);

    // The visible part of the diagram in overview pixels, as last painted.
    TKVRect ViewRect{0, 0, 0, 0};
    TKVPoint ViewCenter{0, 0};
    std::int32_t OverviewScale = 1; // percent

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool Working() const;
    void Render();
    // Not-XOR feedback with a red pen of width 2 on the picture shown.
    void DrawFeedback(const TKVRect &R);
    TKVRect FrameAt(TKVPoint Offset) const;

    QImage fBitmap;
    QPointer<TKVDiagramBox> fDiagramBox;
    bool fActive = false;
    TColor fColor = clBtnFace;
    // The frame or zoom rectangle being dragged.
    TKVPoint DragOffset{0, 0};
    TKVPoint DownPoint{0, 0};
    TKVPoint LastPoint{0, 0};
    bool fDragging = false; // while a button is held the picture is only copied
};

} // namespace kavgraph
