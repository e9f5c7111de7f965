#pragma once
// The "Preview Panel Settings" dialog: background, grid and redraw of the preview box.

#include "ornamo/uSamples.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace kavgraph {
class TKVDiagramBox;
}

namespace ornamo {

class TfrmPreviewSettings : public TPropertyDialog {
public:
    TfrmPreviewSettings(QWidget *Parent, const TKVDiagramBox &Box);
    // Applies the settings to Box and repaints it.
    void Apply(TKVDiagramBox &Box) const;

    TColorButton *edBackground;
    QCheckBox *cbShowGrid;
    QSpinBox *edGridStep;
    TColorButton *edGridColor;
    QComboBox *cbGridStyle;
    QCheckBox *cbImmediate;
};

} // namespace ornamo
