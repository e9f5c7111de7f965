#pragma once
// The inheritance diagram view of the browser's class page: every class a shadowed box with its
// name centred in it and a line to each child, a red frame around the selected class, the box
// under the mouse lit up, a left click opening the class's help topic, and every click on a box
// reported through OnNodeMouseDown.
//
// A window hosts it as L1TreeDiagramBasis.h describes, then:
//
//     view.SetHelpDisplayer(&helpDisplayer);              // not owned; may stay unset
//     view.OnNodeMouseDown = [](TvdTreeDiagramNode *node, TvdMouseButton button, ...) { ... };
//     view.ShowDiagram(database.GetTreeDiagram(name, horizontal), name);  // after each class pick
//     view.ShowNoDiagram();                               // before another database replaces this one
//
// The view never owns a diagram: the runtime database's cache does, so a window calls
// ShowNoDiagram before the database (and with it the diagram) goes away.

#include "browser/treediagram/L1TreeDiagramBasis.h"
#include "browser/treediagram/L1TreeDiagramNode.h"

#include <functional>
#include <vector>
#include <string>

class TL1HelpDisplayer;

// The look of a node box. Colours are TColor values (0x00BBGGRR).
struct Tvd_TreeNodeView_VisualSettings {
    std::string FontName = "Arial";
    int FontSize = 8;
    TColor FontColor = RGBToColor(255, 255, 255);
    TColor BoxColor = RGBToColor(0, 0, 128);
    TColor ShadowColor = RGBToColor(0, 0, 0);
    TColor LineColor = RGBToColor(0, 0, 0);
    TColor BorderColor = RGBToColor(80, 104, 128);
    int ShadowOffset = 5;
};

// The process-wide settings: the normal look and the look of the box under the mouse.
Tvd_TreeNodeView_VisualSettings &NormalNodeSettings();
Tvd_TreeNodeView_VisualSettings &HighlightNodeSettings();
// The settings in use: the normal set, except while a highlighted box is drawn.
extern Tvd_TreeNodeView_VisualSettings *TheCurrentSettings;

class TvdVisualTreeDiagram : public TvdDiagram {
public:
    using TNodeMouseDownEvent =
        std::function<void(TvdTreeDiagramNode *node, TvdMouseButton button, TvdShiftState shift, int x, int y)>;

    TvdVisualTreeDiagram() = default;

    // Raised for every mouse button pressed on a box; may be unassigned.
    TNodeMouseDownEvent OnNodeMouseDown;

    void SetHelpDisplayer(TL1HelpDisplayer *displayer) { fHelpDisplayer = displayer; }
    TL1HelpDisplayer *HelpDisplayer() const { return fHelpDisplayer; }

    // Shows a loaded diagram (nullptr: none) with the named class framed, scrolled to the top left.
    void ShowDiagram(TvdTreeDiagram *diagram, const std::string &className);
    // Shows nothing: a white canvas, no scrolling. Needed before the shown diagram is freed.
    void ShowNoDiagram();

    TvdTreeDiagram *TreeDiagram() const { return fTreeDiagram; }
    // Nodes of the previous diagram are forgotten with it (it may be freed next).
    void SetTreeDiagram(TvdTreeDiagram *diagram)
    {
        fTreeDiagram = diagram;
        fSelectedNode = fHoveredNode = fPreviousNode = nullptr;
        fFlat.clear();
    }
    TvdTreeDiagramNode *SelectedNode() const { return fSelectedNode; }
    void SetSelectedNode(TvdTreeDiagramNode *node) { fSelectedNode = node; }
    TvdTreeDiagramNode *HoveredNode() const { return fHoveredNode; }
    TvdTreeDiagramNode *PreviousNode() const { return fPreviousNode; }

    // Scroll positions to 0, then bounds, ranges and offsets afresh.
    void ResetView();
    // The node under a paint-box pixel; nullptr without a diagram or outside every box.
    TvdTreeDiagramNode *NodeAtPixel(int x, int y);

    void CalculateBoundsRect(TRect &rect) override;
    void Clear() override;
    void Paint() override;
    void MouseDown(TvdMouseButton button, TvdShiftState shift, int x, int y) override;
    void MouseMove(TvdShiftState shift, int x, int y) override;
    virtual void DrawSelection(TvdTreeDiagramNode *node);

protected:
    std::string ClassName() const override { return "TvdVisualTreeDiagram"; }

private:
    // The shown tree in drawing order (pre-order), each node with the size of its sub-tree and
    // the rectangle around its sub-tree's boxes, so painting skips what lies outside the area
    // being painted without visiting it.
    struct FlatNode {
        TvdTreeDiagramNode *node;
        int size;
        QRect extent;
    };
    void Flatten();
    void DrawTree(TCanvas &canvas, const QRect &clip);
    // Draws the box with TheCurrentSettings; returns the pixels touched (canvas device units).
    QRect DrawNodeBox(TCanvas &canvas, const TvdTreeDiagramNode &node);

    TL1HelpDisplayer *fHelpDisplayer = nullptr;
    TvdTreeDiagramNode *fHoveredNode = nullptr;
    TvdTreeDiagramNode *fPreviousNode = nullptr;
    TvdTreeDiagram *fTreeDiagram = nullptr;
    TvdTreeDiagramNode *fSelectedNode = nullptr;
    std::vector<FlatNode> fFlat;
    const TvdTreeDiagram *fFlatFor = nullptr;
};
