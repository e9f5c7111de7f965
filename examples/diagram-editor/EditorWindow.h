#pragma once
// The editor's main window: a diagram box in a scroll area with the edit, add-vertex, add-edge and
// zoom actors on a tool bar, an overview and the style lists in docks, and the File, Edit and View
// menus. It keeps track of whether the diagram differs from the file and asks before dropping it.

#include "kavgraph/KVActors.h"
#include "kavgraph/KVObjsBox.h"
#include "kavgraph/KVView.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;

class EditorWindow : public QMainWindow {
public:
    EditorWindow();

    void LoadLibrary(const QString &name);
    // Replaces the diagram with a graph file (.kvg) or a text file (.kvi, which then has no name).
    // True when it was read.
    bool Open(const QString &name);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void MakeActors();
    void MakeDocks();
    void MakeMenus();
    void MakeStatusBar();

    // ---- Commands ----
    bool Try(const std::function<void()> &f);
    bool Save(bool ask);
    // True when the diagram may be dropped: it is unchanged, or the user saved or discarded it.
    bool MaybeSave();
    void New();
    void OpenFile();
    void ExportPicture();
    void DeleteSelection();
    void EditTexts();
    void Reorder(void (kavgraph::TKVDiagramBox::*op)(kavgraph::TKVObject *));
    void ForSelectedEdges(void (kavgraph::TKVCustomEdge::*op)());
    void ShowPreview();
    void ZoomTo(int scale, QPoint anchor = QPoint(-1, -1));
    void ZoomToFit();

    // ---- State shown ----
    void FillStyles();
    std::string CurrentStyle(QListWidget *list) const;
    void FillRecentMenu();
    void RememberRecent(const QString &name);
    // The diagram as stored, to tell whether it differs from the file.
    std::string Contents();
    // The diagram now matches the file (after New, Open or Save).
    void MarkClean();
    // Compares the diagram with the file and shows the result, soon (after the actor is done).
    void Changed();
    void ShowStatus();

    kavgraph::TKVStyleLibrary fLibrary;
    QString fFileName;
    std::string fCleanContents;
    QScrollArea *fScroll;
    kavgraph::TKVDiagramBox *fBox;
    kavgraph::TKVOverviewBox *fOverview;
    kavgraph::TKVEditActor *fEdit;
    kavgraph::TKVAddVertexActor *fAddVertex;
    kavgraph::TKVAddEdgeActor *fAddEdge;
    kavgraph::TKVZoomActor *fZoom;
    std::vector<QAction *> fActors;
    QListWidget *fVertexStyles;
    QListWidget *fEdgeStyles;
    QLabel *fLibraryLabel;
    QMenu *fRecentMenu;
    QLabel *fCounts;
    QLabel *fScaleLabel;
    QLabel *fPosition;
    bool fChangePending = false;
};
