#pragma once
// The editor's main window: the edited style library as a tree, a contents view with one sample
// object per style, a preview of the selected style, the commands that add, copy, delete and edit
// styles and items, the library file commands with their ask-to-save guard, undo and redo of every
// change to the library, and the window state kept in the settings store.

#include "ornamo/uCommon.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;

namespace kavgraph {
class TKVDiagramBox;
class TKVEditActor;
}

namespace ornamo {

// What a node of the library tree stands for.
enum TNodeKind {
    nkRoot, nkVertexStyles, nkEdgeStyles, nkVertexStyle, nkDrawItems, nkBitmapItems, nkDataItems, nkDrawItem,
    nkBitmapItem, nkDataItem, nkEdgeStyle
};

// The owner-drawn modified indicator of the status bar.
class TModifiedPanel : public QWidget {
public:
    explicit TModifiedPanel(QWidget *Parent = nullptr);
    bool Modified = false;
    QSize sizeHint() const override { return {24, 16}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

class TfrmMain : public QMainWindow {
public:
    // TemplateFile: the template library to load (the one beside the program by default).
    explicit TfrmMain(const QString &TemplateFile = DefaultTemplateFile(), QWidget *Parent = nullptr);
    ~TfrmMain() override;
    // "Template.SLB" in the program's folder, or in the installed data folder share/ornamo.
    static QString DefaultTemplateFile();
    static constexpr int MaxRecentFiles = 8;

    // ---- State ----
    TKVStyleLibrary &SL() const { return *fSL; }
    TKVStyleLibrary TemplateLib;
    bool HasLibrary() const { return fHasLibrary; }
    bool Modified() const;
    int VertexCounter = 0;
    int EdgeCounter = 0;
    QStringList RecentFiles;
    QUndoStack *UndoStack;

    // ---- Controls ----
    QTreeWidget *tvLibrary;
    TKVDiagramBox *kvbContents, *KVB;
    TKVEditActor *ContentsActor, *PreviewActor;
    QScrollArea *sbContents, *sbPreview;
    QSplitter *spViews;
    QToolBar *tbMain;
    QLabel *StatusHint, *StatusFile, *StatusEmpty;
    TModifiedPanel *StatusModified;
    QMenu *mnLibrary, *mnRecent, *mnPopup;

    // Menu entries and pop-up entries.
    QAction *acNew, *acOpen, *acSave, *acSaveAs, *acClose, *acQuit;
    QAction *acUndo, *acRedo;
    QAction *acNewVertexStyle, *acNewEdgeStyle, *acCopyStyle, *acDeleteStyle;
    QAction *acZoomIn, *acZoomOut, *acSavePreview, *acGenerateData;
    QAction *acShowContents, *acShowToolbar, *acConfigureToolbar, *acPreviewPanel;
    QAction *acHelpContents, *acHelpOn, *acAbout;
    QAction *acEdit, *acAdd, *acDelete, *acCopy, *acExpand, *acCollapse;
    // Toolbar buttons, in their default order.
    QAction *tbNewLibrary, *tbOpenLibrary, *tbSaveLibrary, *tbCloseLibrary, *tbQuit, *tbNewVertexStyle,
        *tbNewEdgeStyle, *tbDeleteStyle, *tbZoomIn, *tbZoomOut, *tbHelpContents, *tbHelpOn, *tbAbout;
    QList<QAction *> ToolbarButtons() const { return fToolbarButtons; }
    // The buttons shown, in order (the toolbar customisation).
    QList<QAction *> ShownButtons() const { return fShownButtons; }
    void SetShownButtons(const QList<QAction *> &Buttons);

    // ---- Commands ----
    // Yes saves (and stops when saving fails or is cancelled), No goes on; false to stop.
    bool AskToSave();
    void NewLibrary();
    void OpenLibrary();
    // Loads FileName into a fresh library and takes it over only when it loaded; false on error.
    bool OpenFile(const QString &FileName, bool FromRecentList = false);
    // The command-line start: the file is opened as by Open, without the dialog.
    void OpenFromCommandLine(const QString &FileName);
    bool Save();
    bool SaveAs();
    void CloseLibrary();
    void Quit();
    void NewVertexStyle();
    void NewEdgeStyle();
    void AddToNode();
    void CopyStyle();
    void DeleteNode();
    // "Copy Style" and "Delete Style": the owning style first.
    void CopyStyleCommand();
    void DeleteStyleCommand();
    void EditNode();
    void ZoomIn();
    void ZoomOut();
    void SavePreview();
    bool SavePreviewTo(const QString &FileName);
    void GenerateDataClasses();
    void PreviewSettings();
    void ConfigureToolbar();
    void About();

    // ---- Tree and views ----
    void Rebuild();
    void RebuildContents();
    void UpdatePreview();
    QTreeWidgetItem *CurrentNode() const;
    void SelectNode(QTreeWidgetItem *Node);
    static TNodeKind KindOf(const QTreeWidgetItem *Node);
    template <typename T> static T *ObjectOf(const QTreeWidgetItem *Node) { return static_cast<T *>(RawObjectOf(Node)); }
    // The node of the style that owns Node (itself for a style), or none.
    static QTreeWidgetItem *StyleNodeOf(QTreeWidgetItem *Node);
    QTreeWidgetItem *VertexStylesNode() const;
    QTreeWidgetItem *EdgeStylesNode() const;
    // Selects the node of the style shown by the contents object clicked.
    void ContentsClicked();

    // ---- Undo ----
    // The library stream as bytes.
    std::string Snapshot() const;
    // Puts the library back to Bytes and selects the node at Path (child indices from the root).
    void Restore(const std::string &Bytes, const QList<int> &Path);
    QList<int> NodePath(QTreeWidgetItem *Node) const;
    QTreeWidgetItem *NodeAt(const QList<int> &Path) const;
    // Records a change made since Before (with the selection at SelectedBefore) as one undo step.
    void Changed(const QString &Text, const std::string &Before, const QList<int> &SelectedBefore);

    // ---- Settings ----
    void LoadSettings();
    void SaveSettings() const;
    void AddRecentFile(const QString &FileName);
    void ShowStatus();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    static void *RawObjectOf(const QTreeWidgetItem *Node);
    std::unique_ptr<TKVStyleLibrary> MakeLibrary() const;
    void BuildActions();
    void BuildMenus();
    void BuildToolbar();
    void BuildViews();
    void BuildStatusBar();
    void UpdateRecentMenu();
    void EnableLibraryCommands(bool Enable);
    void NodeSelected();
    void ClearLibrary(const std::string &Name);
    void UpdateNodeIcon(QTreeWidgetItem *Node);
    TKVObject *ContentsObjectOf(QTreeWidgetItem *StyleNode) const;
    void ShowInContents(QTreeWidgetItem *Node);
    bool RunDialog(QDialog &Dialog);

    std::unique_ptr<TKVStyleLibrary> fSL;
    bool fHasLibrary = false;
    bool fRebuilding = false;
    QList<QAction *> fToolbarButtons;
    QList<QAction *> fShownButtons;
    QList<QIcon> fImages;
};

} // namespace ornamo
