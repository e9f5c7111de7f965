// The inheritance diagram view: drawing, hover feedback and clicks.

#include "browser/treediagram/L1TreeDiagram.h"

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"

#include <QCoreApplication>

#include <cstdlib>

Tvd_TreeNodeView_VisualSettings &NormalNodeSettings()
{
    static Tvd_TreeNodeView_VisualSettings settings;
    return settings;
}

Tvd_TreeNodeView_VisualSettings &HighlightNodeSettings()
{
    static Tvd_TreeNodeView_VisualSettings settings = [] {
        Tvd_TreeNodeView_VisualSettings s;
        s.BoxColor = RGBToColor(255, 0, 0);
        return s;
    }();
    return settings;
}

Tvd_TreeNodeView_VisualSettings *TheCurrentSettings = &NormalNodeSettings();

namespace {

TvdTreeDiagramNode *DiagramChild(const TvdTreeNode &node, int index)
{
    auto *child = dynamic_cast<TvdTreeDiagramNode *>(node.SubNodes().Objects(index));
    CheckPrecondition(child != nullptr, "TvdTreeDiagram.TreeDiagramSubNode", "SubNode[i] is TvdTreeDiagramNode");
    return child;
}

bool Touches(const QRect &clip, int x1, int y1, int x2, int y2)
{
    return std::min(x1, x2) <= clip.right() + 1 && std::max(x1, x2) >= clip.left() - 1 &&
           std::min(y1, y2) <= clip.bottom() + 1 && std::max(y1, y2) >= clip.top() - 1;
}

// A line to a child in the line colour. Straight lines go through the canvas pixel by pixel;
// sloped ones, which can cross the whole view in a large diagram, are left to the paint engine's
// line drawing. Both ends lie under boxes or shadows, so where exactly the last pixel falls
// does not show.
void DrawLine(TCanvas &canvas, int x1, int y1, int x2, int y2)
{
    canvas.Pen = TPen{TheCurrentSettings->LineColor, psSolid, 1, pmCopy};
    if (x1 == x2 || y1 == y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
        return;
    }
    QPen pen(ToQColor(TheCurrentSettings->LineColor));
    pen.setWidth(0);
    QPainter &painter = canvas.Painter();
    painter.setPen(pen);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawLine(canvas.LPtoDP(QPoint(x1, y1)), canvas.LPtoDP(QPoint(x2, y2)));
    canvas.MoveTo(x2, y2);
}

// Switches TheCurrentSettings for one drawing and back, also on error.
class SettingsScope {
public:
    explicit SettingsScope(Tvd_TreeNodeView_VisualSettings &s) : fPrevious(TheCurrentSettings) { TheCurrentSettings = &s; }
    ~SettingsScope() { TheCurrentSettings = fPrevious; }
    SettingsScope(const SettingsScope &) = delete;
    SettingsScope &operator=(const SettingsScope &) = delete;

private:
    Tvd_TreeNodeView_VisualSettings *fPrevious;
};

} // namespace

void TvdVisualTreeDiagram::ShowDiagram(TvdTreeDiagram *diagram, const std::string &className)
{
    if (!diagram) {
        ShowNoDiagram();
        return;
    }
    diagram->AttachNodes();
    Clear();
    SetTreeDiagram(diagram);
    fSelectedNode = diagram->RootNode() ? dynamic_cast<TvdTreeDiagramNode *>(diagram->RootNode()->FindSubNode(className))
                                        : nullptr;
    ResetView();
    Paint();
}

void TvdVisualTreeDiagram::ShowNoDiagram()
{
    SetTreeDiagram(nullptr);
    fSelectedNode = nullptr;
    Clear();
    fBoundsValid = false;
    if (fScrollBox) {
        fScrollBox->SetPositions(0, 0);
        fScrollBox->SetRanges(0, 0);
    }
    Paint();
}

void TvdVisualTreeDiagram::ResetView()
{
    if (fScrollBox)
        fScrollBox->SetPositions(0, 0);
    RecalculateBounds();
    UpdateScrollRanges();
    UpdateScrollOffsets();
}

void TvdVisualTreeDiagram::CalculateBoundsRect(TRect &rect)
{
    CheckPrecondition(fTreeDiagram != nullptr, "TvdVisualTreeDiagram.CalculateBoundsRect", "fTreeDiagram<>nil");
    fTreeDiagram->BoundsRect(rect);
}

void TvdVisualTreeDiagram::Clear()
{
    TvdDiagram::Clear();
    fHoveredNode = nullptr;
    fPreviousNode = nullptr;
    ClearCanvas();
}

TvdTreeDiagramNode *TvdVisualTreeDiagram::NodeAtPixel(int x, int y)
{
    if (!fTreeDiagram || !fTreeDiagram->RootNode())
        return nullptr;
    ApplyMapping();
    const TCanvas *canvas = Canvas();
    const QPoint p = canvas ? canvas->DPtoLP(QPoint(x, y)) : QPoint(x, y);
    return fTreeDiagram->RootNode()->NodeAt(p.x(), p.y());
}

void TvdVisualTreeDiagram::Paint()
{
    // Outside a paint request the paint box paints itself now, and so calls back here.
    if (fPaintBox && !fPaintBox->InPaint()) {
        fPaintBox->Redraw();
        return;
    }
    HideHint();
    ClearCanvas();
    fUseScrollOrigin = false;
    ApplyMapping();
    TCanvas *canvas = Canvas();
    if (!canvas)
        return;
    // Only what reaches into the area being painted is drawn: a large diagram paints as fast
    // as a small one.
    const QRect clip = canvas->ClipRect();
    if (fTreeDiagram && fTreeDiagram->RootNode())
        DrawTree(*canvas, clip);
    if (fSelectedNode)
        DrawSelection(fSelectedNode);
}

void TvdVisualTreeDiagram::Flatten()
{
    fFlat.clear();
    fFlatFor = fTreeDiagram;
    if (!fTreeDiagram || !fTreeDiagram->RootNode())
        return;
    struct Walk {
        std::vector<FlatNode> &flat;
        void Add(TvdTreeDiagramNode *node)
        {
            const size_t at = flat.size();
            flat.push_back({node, 1, QRect(QPoint(node->Left, node->Top), QPoint(node->Right, node->Bottom)).normalized()});
            QRect extent = flat[at].extent;
            for (int i = 0; i < node->SubNodeCount(); ++i) {
                const size_t child = flat.size();
                Add(DiagramChild(*node, i));
                extent |= flat[child].extent;
            }
            flat[at].size = static_cast<int>(flat.size() - at);
            flat[at].extent = extent;
        }
    } walk{fFlat};
    walk.Add(fTreeDiagram->RootNode());
}

// Each node draws the lines to its children, then its box; its children follow in pre-order.
// Lines are drawn before the boxes they touch, so boxes cover line ends.
void TvdVisualTreeDiagram::DrawTree(TCanvas &canvas, const QRect &clip)
{
    if (fFlatFor != fTreeDiagram || fFlat.empty())
        Flatten();
    const int offset = TheCurrentSettings->ShadowOffset;
    // The shadow lies beyond a box's rectangle.
    const QRect reach = clip.adjusted(-std::abs(offset), -std::abs(offset), 0, 0);
    for (size_t i = 0; i < fFlat.size();) {
        const FlatNode &f = fFlat[i];
        if (!Touches(reach, f.extent.left(), f.extent.top(), f.extent.right(), f.extent.bottom())) {
            i += static_cast<size_t>(f.size);
            continue;
        }
        const TvdTreeDiagramNode &node = *f.node;
        for (size_t c = i + 1; c < i + static_cast<size_t>(f.size); c += static_cast<size_t>(fFlat[c].size)) {
            const TvdTreeDiagramNode &child = *fFlat[c].node;
            int x1, y1, x2, y2;
            if (!child.Tree() || child.Tree()->Horizontal) {
                x1 = node.Right;
                y1 = node.CenterY();
                x2 = child.Left;
                // Nearly aligned boxes get an exactly straight line.
                y2 = std::abs(static_cast<long long>(child.CenterY()) - y1) > 1 ? child.CenterY() : y1;
            } else {
                x1 = node.CenterX();
                y1 = node.Bottom;
                x2 = std::abs(static_cast<long long>(child.CenterX()) - x1) > 1 ? child.CenterX() : x1;
                y2 = child.Top;
            }
            if (Touches(clip, x1, y1, x2, y2))
                DrawLine(canvas, x1, y1, x2, y2);
        }
        if (Touches(clip, node.Left, node.Top, node.Right + offset, node.Bottom + offset))
            DrawNodeBox(canvas, node);
        ++i;
    }
}

QRect TvdVisualTreeDiagram::DrawNodeBox(TCanvas &canvas, const TvdTreeDiagramNode &node)
{
    CheckPrecondition(TheCurrentSettings != nullptr, ClassName() + ".DrawTo", "TheCurrentSettings<>nil");
    const Tvd_TreeNodeView_VisualSettings &s = *TheCurrentSettings;
    const int offset = s.ShadowOffset;
    canvas.Pen = TPen{s.BorderColor, psSolid, 1, pmCopy};
    canvas.Brush = TBrush{s.ShadowColor, bsSolid};
    canvas.Rectangle(node.Left + offset, node.Top + offset, node.Right + offset, node.Bottom + offset);
    canvas.Brush = TBrush{s.BoxColor, bsSolid};
    canvas.Rectangle(node.Left, node.Top, node.Right, node.Bottom);
    canvas.Font.Name = s.FontName;
    canvas.Font.Size = s.FontSize;
    canvas.Font.Color = s.FontColor;
    const std::string &name = node.Name;
    const int width = canvas.TextWidth(name);
    const int height = canvas.TextHeight(name);
    const int x = node.CenterX() - width / 2;
    const int y = node.CenterY() - height / 2;
    canvas.TextOut(x, y, name);
    const QPoint a = canvas.LPtoDP(QPoint(std::min(node.Left, x), std::min(node.Top, y)));
    const QPoint b = canvas.LPtoDP(QPoint(std::max(node.Right + offset, x + width), std::max(node.Bottom + offset, y + height)));
    return QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
}

void TvdVisualTreeDiagram::DrawSelection(TvdTreeDiagramNode *node)
{
    TCanvas *canvas = Canvas();
    if (!canvas || !node)
        return;
    const int offset = TheCurrentSettings->ShadowOffset;
    canvas->Pen = TPen{RGBToColor(255, 0, 0), psSolid, 2, pmCopy};
    canvas->Brush.Style = bsClear;
    canvas->Rectangle(node->Left - 5, node->Top - 5, node->Right + offset + 5, node->Bottom + offset + 5);
    canvas->Pen.Width = 1;
}

void TvdVisualTreeDiagram::MouseMove(TvdShiftState shift, int x, int y)
{
    TvdTreeDiagramNode *node = NodeAtPixel(x, y);
    if (!node || node != fHoveredNode) {
        HideHint();
        // A repaint that the hidden hint uncovered happens first.
        QCoreApplication::processEvents();
    }
    // Set only now: a paint request handled above clears it, and the boxes below must still be
    // drawn with the scroll offset in the origin.
    fUseScrollOrigin = true;
    try {
        ApplyMapping();
    } catch (...) {
        fUseScrollOrigin = false;
        throw;
    }
    fUseScrollOrigin = false;
    TCanvas *canvas = Canvas();
    if (!canvas)
        return;
    QRect touched;
    if (fPreviousNode && fPreviousNode != node && fPreviousNode != fHoveredNode)
        touched |= DrawNodeBox(*canvas, *fPreviousNode);
    if (fHoveredNode && fHoveredNode != node)
        touched |= DrawNodeBox(*canvas, *fHoveredNode);
    if (node && node != fHoveredNode) {
        SettingsScope highlight(HighlightNodeSettings());
        touched |= DrawNodeBox(*canvas, *node);
    }
    fPreviousNode = fHoveredNode;
    fHoveredNode = node;
    if (!touched.isEmpty() && fPaintBox)
        fPaintBox->Flush(touched);
}

void TvdVisualTreeDiagram::MouseDown(TvdMouseButton button, TvdShiftState shift, int x, int y)
{
    TvdTreeDiagramNode *node = NodeAtPixel(x, y);
    if (!node || !fHelpDisplayer)
        return;
    TraceSection section("ShowClassTopic: " + node->Name);
    if (button == mbLeft)
        fHelpDisplayer->ShowClassTopic(node->Name);
    if (OnNodeMouseDown)
        OnNodeMouseDown(node, button, shift, x, y);
}
