#pragma once
// The "Select Template Item" dialog: the template library's vertex styles and their items as a
// tree; OK takes the draw item chosen.

#include "ornamo/uCommon.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ornamo {

class TfrmSelectTemplate : public TPropertyDialog {
public:
    // ForDrawItems: opened from a draw item dialog (only then can a draw item be taken).
    TfrmSelectTemplate(QWidget *Parent, const TKVStyleLibrary &Template, bool ForDrawItems);
    // The edge styles of the template library instead, for the edge style dialog.
    TfrmSelectTemplate(QWidget *Parent, const TKVStyleLibrary &Template);
    // The draw item or edge style of the selected node, or none.
    TKVDrawItem *SelectedDrawItem() const;
    TKVEdgeStyle *SelectedEdgeStyle() const;

    QTreeWidget *tvTemplate;

private:
    void Setup();
    void UpdateOk();
    bool fForDrawItems = false;
    bool fForEdgeStyles = false;
};

} // namespace ornamo
