// The main window: building the window, its actions, menus, toolbar, views and status bar, and
// keeping its state in the settings store.

#include "ornamo/uMain.h"

#include "kavgraph/KVActors.h"
#include "kavgraph/KVObjsBox.h"
#include "platform/ui/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QWhatsThis>

namespace ornamo {

namespace {

const char *const SettingsKey = "Software\\Kavgraph\\Ornamo\\Window";

QAction *MakeAction(QObject *Owner, const QString &Text, const QString &Hint = {}, const QIcon &Icon = {})
{
    auto *a = new QAction(Icon, Text, Owner);
    QString name = Text;
    a->setObjectName(name.remove('&').remove("..."));
    if (!Hint.isEmpty()) {
        a->setToolTip(Hint);
        a->setStatusTip(Hint);
    }
    return a;
}

} // namespace

TModifiedPanel::TModifiedPanel(QWidget *Parent) : QWidget(Parent)
{
    setAccessibleName(tr("Modified"));
    setMinimumWidth(24);
}

void TModifiedPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect().adjusted(1, 1, -1, -1), ToQColor(Modified ? clRed : clSilver));
}

QString TfrmMain::DefaultTemplateFile()
{
    // Beside the program (the build tree), else in the installed data folder.
    const QString beside = QApplication::applicationDirPath() + "/Template.SLB";
    const QString installed = QApplication::applicationDirPath() + "/../share/ornamo/Template.SLB";
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? QFileInfo(installed).canonicalFilePath()
                                                                       : beside;
}

TfrmMain::TfrmMain(const QString &TemplateFile, QWidget *Parent) : QMainWindow(Parent)
{
    setWindowTitle(tr("Kavgraph - Style Library Editor V1.00 beta"));
    setAccessibleName(tr("Style Library Editor"));
    setObjectName("frmMain");
    resize(900, 640);
    fSL = MakeLibrary();
    TemplateLib.OnGetData = [](std::int32_t, const std::string &Field, TKVDataObject *) { return Field; };
    UndoStack = new QUndoStack(this);

    BuildActions();
    BuildMenus();
    BuildToolbar();
    BuildViews();
    BuildStatusBar();
    connect(UndoStack, &QUndoStack::cleanChanged, this, [this] { ShowStatus(); });
    connect(UndoStack, &QUndoStack::indexChanged, this, [this] { ShowStatus(); });

    LoadSettings();
    try {
        TemplateLib.SetLibFile(TemplateFile);
    } catch (const std::exception &) {
        // The editor works without templates; only the template dialogs are empty.
        TemplateLib.VertexStyles.clear();
        TemplateLib.EdgeStyles.clear();
        UI().Error(this, tr("Template library could not be loaded"));
    }
    VertexCounter = EdgeCounter = 0;
    EnableLibraryCommands(false);
    ShowStatus();
}

TfrmMain::~TfrmMain()
{
    // Children die after this part of the window: none of their signals or events may reach it.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    sbContents->viewport()->removeEventFilter(this);
    sbPreview->viewport()->removeEventFilter(this);
    ContentsActor->OnClick = nullptr;
    // The actors go before their boxes.
    KVB->SetActor(nullptr);
    kvbContents->SetActor(nullptr);
}

std::unique_ptr<TKVStyleLibrary> TfrmMain::MakeLibrary() const
{
    auto lib = std::make_unique<TKVStyleLibrary>();
    // Every data item shows its own name, every text box the word "Textbox".
    lib->OnGetData = [](std::int32_t, const std::string &Field, TKVDataObject *) { return Field; };
    lib->OnDrawCustomEnd = [](TCanvas &, double, TKVPaintMode, TKVDataUpdateMode, TKVPoint, TKVPoint, TKVObject *) {};
    lib->OnDrawCustomDrawItem = [](TCanvas &, double, TKVPaintMode, TKVPoint, const TKVRect &, TKVObject *,
                                   TKVDrawItem *) {};
    return lib;
}

void TfrmMain::BuildActions()
{
    QStyle *s = style();
    acNew = MakeAction(this, tr("&New"), tr("Create a new empty style library"), s->standardIcon(QStyle::SP_FileIcon));
    acOpen = MakeAction(this, tr("&Open..."), tr("Load a style library file from disk"),
                        s->standardIcon(QStyle::SP_DialogOpenButton));
    acSave = MakeAction(this, tr("&Save"), tr("Saves style library file in editor to disk"),
                        s->standardIcon(QStyle::SP_DialogSaveButton));
    acSaveAs = MakeAction(this, tr("Save &as..."), tr("Saves the style library under another name"));
    acClose = MakeAction(this, tr("&Close"), tr("Closes the style library file currently in editor"),
                         s->standardIcon(QStyle::SP_DialogCloseButton));
    acQuit = MakeAction(this, tr("&Quit"), tr("Quit the program"), s->standardIcon(QStyle::SP_TitleBarCloseButton));
    acNew->setShortcut(QKeySequence::New);
    acOpen->setShortcut(QKeySequence::Open);
    acSave->setShortcut(QKeySequence::Save);
    acSaveAs->setShortcut(QKeySequence::SaveAs);
    acQuit->setShortcut(QKeySequence::Quit);

    acUndo = UndoStack->createUndoAction(this, tr("&Undo"));
    acUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    acUndo->setObjectName("Undo");
    acUndo->setStatusTip(tr("Take back the last change to the library"));
    acRedo = UndoStack->createRedoAction(this, tr("&Redo"));
    acRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    acRedo->setObjectName("Redo");
    acRedo->setStatusTip(tr("Make the change taken back again"));

    acNewVertexStyle = MakeAction(this, tr("New &Vertex Style"), tr("Add a vertex style to the library"));
    acNewEdgeStyle = MakeAction(this, tr("New &Edge Style"), tr("Add an edge style to the library"));
    acCopyStyle = MakeAction(this, tr("&Copy Style"), tr("Copy the selected style"));
    acDeleteStyle = MakeAction(this, tr("&Delete Style"), tr("Delete the selected style"));
    acZoomIn = MakeAction(this, tr("Zoom &In"), tr("Enlarge the preview"), s->standardIcon(QStyle::SP_ArrowUp));
    acZoomOut = MakeAction(this, tr("Zoom &Out"), tr("Reduce the preview"), s->standardIcon(QStyle::SP_ArrowDown));
    acZoomIn->setShortcut(QKeySequence::ZoomIn);
    acZoomOut->setShortcut(QKeySequence::ZoomOut);
    acSavePreview = MakeAction(this, tr("Save &Preview"), tr("Save the preview as a PNG or SVG picture"));
    acGenerateData = MakeAction(this, tr("&Generate Data Classes"),
                                tr("List the data fields the library's styles ask the application for"));
    acShowContents = MakeAction(this, tr("&Show Library Contents"), tr("Show or hide the library contents view"));
    acShowContents->setCheckable(true);
    acShowContents->setChecked(true);
    acShowToolbar = MakeAction(this, tr("Show &Toolbar"), tr("Show or hide the toolbar"));
    acShowToolbar->setCheckable(true);
    acShowToolbar->setChecked(true);
    acConfigureToolbar = MakeAction(this, tr("&Configure Toolbar"), tr("Choose and order the toolbar buttons"));
    acPreviewPanel = MakeAction(this, tr("&Preview Panel..."), tr("Background and grid of the preview"));
    acHelpContents = MakeAction(this, tr("&Contents"), tr("Show Help Contents"), s->standardIcon(QStyle::SP_DialogHelpButton));
    acHelpContents->setShortcut(QKeySequence::HelpContents);
    acHelpOn = MakeAction(this, tr("&Help On"), tr("Click on a part of the window for help on it"),
                          s->standardIcon(QStyle::SP_MessageBoxQuestion));
    acHelpOn->setShortcut(QKeySequence::WhatsThis);
    acAbout = MakeAction(this, tr("&About"), tr("About the Ornamo"), s->standardIcon(QStyle::SP_MessageBoxInformation));

    acEdit = MakeAction(this, tr("&Edit..."), tr("Edit the properties of the selected node"));
    acAdd = MakeAction(this, tr("&Add..."), tr("Add a style or item here"));
    acDelete = MakeAction(this, tr("&Delete..."), tr("Delete the selected style or item"));
    acCopy = MakeAction(this, tr("&Copy"), tr("Copy the style of the selected node"));
    acExpand = MakeAction(this, tr("E&xpand Tree"), tr("Open every node of the tree"));
    acCollapse = MakeAction(this, tr("C&ollapse Tree"), tr("Close every node of the tree"));
    acEdit->setObjectName("PopupEdit");
    acAdd->setObjectName("PopupAdd");
    acDelete->setObjectName("PopupDelete");
    acCopy->setObjectName("PopupCopy");

    // Toolbar buttons carry their own captions.
    auto button = [this](const QString &text, QAction *menu, const QString &hint) {
        QAction *b = MakeAction(this, text, hint.isEmpty() ? menu->toolTip() : hint, menu->icon());
        b->setObjectName("Button" + b->objectName().remove(' '));
        connect(b, &QAction::triggered, menu, &QAction::trigger);
        fToolbarButtons << b;
        return b;
    };
    tbNewLibrary = button(tr("&New Library"), acNew, {});
    tbOpenLibrary = button(tr("&Open Library"), acOpen, {});
    tbSaveLibrary = button(tr("&Save Library"), acSave, {});
    tbCloseLibrary = button(tr("&Close Library"), acClose, {});
    tbQuit = button(tr("&Quit Program"), acQuit, {});
    tbNewVertexStyle = button(tr("New &Vertex Style"), acNewVertexStyle, {});
    tbNewEdgeStyle = button(tr("New &Edge Style"), acNewEdgeStyle, {});
    tbDeleteStyle = button(tr("&Delete Style"), acDeleteStyle, {});
    tbZoomIn = button(tr("Zoom &In"), acZoomIn, {});
    tbZoomOut = button(tr("&Zoom Out"), acZoomOut, {});
    tbHelpContents = button(tr("&Help Contents"), acHelpContents, {});
    tbHelpOn = button(tr("Help On"), acHelpOn, {});
    tbAbout = button(tr("&About"), acAbout, {});
    tbNewVertexStyle->setIcon(QIcon::fromTheme("list-add", style()->standardIcon(QStyle::SP_FileDialogNewFolder)));
    tbNewEdgeStyle->setIcon(QIcon::fromTheme("insert-link", style()->standardIcon(QStyle::SP_ArrowRight)));
    tbDeleteStyle->setIcon(QIcon::fromTheme("edit-delete", style()->standardIcon(QStyle::SP_TrashIcon)));
    const char *sections[] = {"Library", "Library", "Library", "Library", "General", "Style", "Style",
                              "Style", "Tools", "Tools", "Help", "Help", "Help"};
    for (int i = 0; i < fToolbarButtons.size(); ++i)
        fToolbarButtons[i]->setData(QString(sections[i]));

    connect(acNew, &QAction::triggered, this, [this] { NewLibrary(); });
    connect(acOpen, &QAction::triggered, this, [this] { OpenLibrary(); });
    connect(acSave, &QAction::triggered, this, [this] { Save(); });
    connect(acSaveAs, &QAction::triggered, this, [this] { SaveAs(); });
    connect(acClose, &QAction::triggered, this, [this] { CloseLibrary(); });
    connect(acQuit, &QAction::triggered, this, [this] { Quit(); });
    connect(acNewVertexStyle, &QAction::triggered, this, [this] { NewVertexStyle(); });
    connect(acNewEdgeStyle, &QAction::triggered, this, [this] { NewEdgeStyle(); });
    connect(acCopyStyle, &QAction::triggered, this, [this] { CopyStyleCommand(); });
    connect(acDeleteStyle, &QAction::triggered, this, [this] { DeleteStyleCommand(); });
    connect(acZoomIn, &QAction::triggered, this, [this] { ZoomIn(); });
    connect(acZoomOut, &QAction::triggered, this, [this] { ZoomOut(); });
    connect(acSavePreview, &QAction::triggered, this, [this] { SavePreview(); });
    connect(acGenerateData, &QAction::triggered, this, [this] { GenerateDataClasses(); });
    connect(acShowContents, &QAction::toggled, this, [this](bool on) { sbContents->setVisible(on); });
    connect(acShowToolbar, &QAction::toggled, this, [this](bool on) { tbMain->setVisible(on); });
    connect(acConfigureToolbar, &QAction::triggered, this, [this] { ConfigureToolbar(); });
    connect(acPreviewPanel, &QAction::triggered, this, [this] { PreviewSettings(); });
    connect(acHelpContents, &QAction::triggered, this, [this] { ShowHelp(this, {}); });
    connect(acHelpOn, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(acAbout, &QAction::triggered, this, [this] { About(); });
    connect(acEdit, &QAction::triggered, this, [this] { EditNode(); });
    connect(acAdd, &QAction::triggered, this, [this] { AddToNode(); });
    connect(acDelete, &QAction::triggered, this, [this] { DeleteNode(); });
    connect(acCopy, &QAction::triggered, this, [this] { CopyStyle(); });
    connect(acExpand, &QAction::triggered, this, [this] { tvLibrary->expandAll(); });
    connect(acCollapse, &QAction::triggered, this, [this] { tvLibrary->collapseAll(); });
}

void TfrmMain::BuildMenus()
{
    mnLibrary = menuBar()->addMenu(tr("&Library"));
    mnLibrary->addActions({acNew, acOpen, acSave, acSaveAs, acClose});
    mnLibrary->addSeparator();
    mnRecent = mnLibrary->addMenu(tr("&Recent Files"));
    mnRecent->setObjectName("RecentFiles");
    mnLibrary->addSeparator();
    mnLibrary->addAction(acQuit);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({acUndo, acRedo});

    QMenu *styleMenu = menuBar()->addMenu(tr("&Style"));
    styleMenu->addActions({acNewVertexStyle, acNewEdgeStyle, acCopyStyle, acDeleteStyle});

    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    tools->addActions({acZoomIn, acZoomOut, acSavePreview, acGenerateData});

    QMenu *settings = menuBar()->addMenu(tr("Sett&ings"));
    settings->addActions({acShowContents, acShowToolbar, acConfigureToolbar, acPreviewPanel});

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addActions({acHelpContents, acHelpOn, acAbout});

    mnPopup = new QMenu(this);
    mnPopup->addActions({acEdit, acAdd, acDelete, acCopy});
    mnPopup->addSeparator();
    mnPopup->addActions({acExpand, acCollapse});
}

void TfrmMain::BuildToolbar()
{
    tbMain = addToolBar(tr("Toolbar"));
    tbMain->setObjectName("Toolbar");
    tbMain->setAccessibleName(tr("Toolbar"));
    tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QWidget *w : tbMain->findChildren<QWidget *>("qt_toolbar_ext_button"))
        w->setAccessibleName(tr("More buttons"));
    QList<QAction *> shown = fToolbarButtons;
    shown.removeOne(tbAbout); // present but hidden unless the user shows it
    SetShownButtons(shown);
}

void TfrmMain::SetShownButtons(const QList<QAction *> &Buttons)
{
    fShownButtons = Buttons;
    tbMain->clear();
    QString section;
    for (QAction *b : Buttons) {
        if (!section.isEmpty() && b->data().toString() != section)
            tbMain->addSeparator();
        section = b->data().toString();
        tbMain->addAction(b);
    }
    // Each button says what it is to assistive tools.
    for (QAction *b : Buttons)
        if (QWidget *w = tbMain->widgetForAction(b)) {
            w->setAccessibleName(QString(b->text()).remove('&'));
            w->setObjectName(b->objectName());
        }
}

void TfrmMain::BuildViews()
{
    tvLibrary = Named(new QTreeWidget, tr("Library tree"), tr("Displays Items of current library"));
    tvLibrary->setHeaderHidden(true);
    tvLibrary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvLibrary->setContextMenuPolicy(Qt::CustomContextMenu);
    tvLibrary->setWhatsThis(tr("The library as a tree: its vertex styles with their draw, bitmap and data items, "
                               "and its edge styles. Right-click a node for its commands."));
    QStyle *s = style();
    // Images 0 to 5: root selected and plain, groups expanded and collapsed (selected, plain).
    const QIcon root = s->standardIcon(QStyle::SP_DriveHDIcon);
    const QIcon open = s->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = s->standardIcon(QStyle::SP_DirIcon);
    fImages = {root, root, open, open, closed, closed};
    connect(tvLibrary, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *now, QTreeWidgetItem *before) {
        if (before)
            UpdateNodeIcon(before);
        if (now)
            UpdateNodeIcon(now);
        if (!fRebuilding)
            NodeSelected();
    });
    connect(tvLibrary, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *n) { UpdateNodeIcon(n); });
    connect(tvLibrary, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *n) { UpdateNodeIcon(n); });
    // The pop-up's commands also work from the keyboard while the tree has the focus.
    acEdit->setShortcut(Qt::Key_F2);
    acAdd->setShortcut(Qt::Key_Insert);
    acDelete->setShortcut(QKeySequence::Delete);
    for (QAction *a : {acEdit, acAdd, acDelete}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        tvLibrary->addAction(a);
    }
    connect(tvLibrary, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        // A right click selects the node under the pointer first.
        if (QTreeWidgetItem *node = tvLibrary->itemAt(p))
            tvLibrary->setCurrentItem(node);
        mnPopup->popup(tvLibrary->viewport()->mapToGlobal(p));
    });
    // A double click or Enter edits the node.
    connect(tvLibrary, &QTreeWidget::itemActivated, this, [this] {
        if (acEdit->isEnabled())
            EditNode();
    });

    auto makeBox = [](QScrollArea *&area, const QString &name, TColor color, TPenStyle grid, bool center,
                      bool immediate) {
        area = new QScrollArea;
        auto *box = Named(new TKVDiagramBox, name);
        box->AutoSize = true;
        box->SaveOptions = {soDiagram, soStyles};
        box->SetScale(100);
        box->SetPrintScale(100);
        box->SetShowGrid(false);
        box->SetGridStep(50);
        box->SetGridColor(clBlack);
        box->ShowDiagramHint = false;
        box->DataUpdate = duAutomatic;
        box->SetColor(color);
        box->SetGridStyle(grid);
        box->SetCenterBitmap(center);
        box->ImmediateRedraw = immediate;
        area->setWidget(box);
        area->setAccessibleName(name);
        return box;
    };
    kvbContents = makeBox(sbContents, tr("Library contents"), 0xC0DCC0, psDot, false, true);
    KVB = makeBox(sbPreview, tr("Style preview"), clInfoBk, psSolid, true, false);
    kvbContents->setWhatsThis(tr("One sample of every style of the library. Click one to select its style."));
    KVB->setWhatsThis(tr("The selected style. Zoom with Tools > Zoom In and Zoom Out."));
    ContentsActor = new TKVEditActor(this);
    PreviewActor = new TKVEditActor(this);
    kvbContents->SetActor(ContentsActor);
    KVB->SetActor(PreviewActor);
    ContentsActor->OnClick = [this](QObject *) { ContentsClicked(); };
    // The boxes follow their viewports.
    sbContents->viewport()->installEventFilter(this);
    sbPreview->viewport()->installEventFilter(this);

    spViews = new QSplitter(Qt::Vertical);
    spViews->setObjectName("ViewSplitter");
    spViews->addWidget(sbPreview);
    spViews->addWidget(sbContents);
    spViews->setStretchFactor(0, 3);
    spViews->setStretchFactor(1, 1);
    spViews->setSizes({420, 160});
    auto *main = new QSplitter(Qt::Horizontal);
    main->setObjectName("MainSplitter");
    main->addWidget(tvLibrary);
    main->addWidget(spViews);
    main->setStretchFactor(1, 1);
    main->setSizes({260, 640});
    setCentralWidget(main);
}

void TfrmMain::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setAccessibleName(tr("Status bar"));
    bar->setToolTip(tr("Displays hints, filename and modified state"));
    bar->setSizeGripEnabled(true);
    StatusHint = Named(new QLabel, tr("Hint"));
    StatusFile = Named(new QLabel, tr("Library file"));
    StatusModified = new TModifiedPanel;
    StatusModified->setToolTip(tr("Red while the library has unsaved changes"));
    StatusEmpty = Named(new QLabel, tr("Status"));
    StatusFile->setMinimumWidth(200);
    bar->addWidget(StatusHint, 1);
    bar->addWidget(StatusFile);
    bar->addWidget(StatusModified);
    bar->addWidget(StatusEmpty);
}

bool TfrmMain::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        StatusHint->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TfrmMain::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::Resize) {
        if (Watched == sbContents->viewport())
            kvbContents->Resize();
        else if (Watched == sbPreview->viewport())
            KVB->Resize();
    }
    return QMainWindow::eventFilter(Watched, Event);
}

bool TfrmMain::Modified() const { return fHasLibrary && !UndoStack->isClean(); }

void TfrmMain::ShowStatus()
{
    StatusModified->Modified = Modified();
    StatusModified->setAccessibleDescription(Modified() ? tr("changed") : tr("unchanged"));
    StatusModified->update();
}

void TfrmMain::UpdateNodeIcon(QTreeWidgetItem *Node)
{
    const bool selected = Node == tvLibrary->currentItem();
    switch (KindOf(Node)) {
    case nkRoot:
        Node->setIcon(0, fImages[selected ? 0 : 1]);
        break;
    case nkVertexStyles:
    case nkEdgeStyles:
    case nkDrawItems:
    case nkBitmapItems:
    case nkDataItems:
        Node->setIcon(0, fImages[Node->isExpanded() ? (selected ? 2 : 3) : (selected ? 4 : 5)]);
        break;
    default:
        break;
    }
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!AskToSave()) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
}

// ---- Settings ----

void TfrmMain::LoadSettings()
{
    std::unique_ptr<QSettings> s = OpenSettings(SettingsKey);
    if (!s)
        return;
    restoreGeometry(s->value("Geometry").toByteArray());
    restoreState(s->value("State").toByteArray());
    if (s->contains("ToolbarButtons")) {
        QList<QAction *> shown;
        for (const QString &name : s->value("ToolbarButtons").toStringList())
            for (QAction *b : fToolbarButtons)
                if (b->objectName() == name && !shown.contains(b))
                    shown << b;
        SetShownButtons(shown);
    }
    acShowToolbar->setChecked(s->value("ShowToolbar", true).toBool());
    tbMain->setVisible(acShowToolbar->isChecked());
    acShowContents->setChecked(s->value("ShowContents", true).toBool());
    sbContents->setVisible(acShowContents->isChecked());
    const int height = s->value("ContentsHeight", 0).toInt();
    if (height > 0) {
        QList<int> sizes = spViews->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        spViews->setSizes({std::max(50, total - height), height});
    }
    RecentFiles = s->value("MRU").toStringList().mid(0, MaxRecentFiles);
    UpdateRecentMenu();
    const QString active = s->value("ActiveControl").toString();
    if (!active.isEmpty())
        if (QWidget *w = findChild<QWidget *>(active))
            w->setFocus();
}

void TfrmMain::SaveSettings() const
{
    std::unique_ptr<QSettings> s = OpenSettings(SettingsKey);
    if (!s)
        return;
    s->setValue("Geometry", saveGeometry());
    s->setValue("State", saveState());
    QStringList buttons;
    for (QAction *b : fShownButtons)
        buttons << b->objectName();
    s->setValue("ToolbarButtons", buttons);
    s->setValue("ShowToolbar", acShowToolbar->isChecked());
    s->setValue("ShowContents", acShowContents->isChecked());
    s->setValue("ContentsHeight", spViews->sizes().value(1));
    s->setValue("MRU", RecentFiles);
    if (QWidget *focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        s->setValue("ActiveControl", focus->objectName());
    s->sync();
}

void TfrmMain::AddRecentFile(const QString &FileName)
{
    const QString path = QFileInfo(FileName).absoluteFilePath();
    RecentFiles.removeAll(path);
    RecentFiles.prepend(path);
    while (RecentFiles.size() > MaxRecentFiles)
        RecentFiles.removeLast();
    UpdateRecentMenu();
}

void TfrmMain::UpdateRecentMenu()
{
    mnRecent->clear();
    for (int i = 0; i < RecentFiles.size(); ++i) {
        const QString name = RecentFiles[i];
        QAction *a = mnRecent->addAction(QString("&%1 %2").arg(i + 1).arg(name));
        a->setObjectName(QString("Recent%1").arg(i + 1));
        a->setStatusTip(tr("Open %1").arg(name));
        connect(a, &QAction::triggered, this, [this, name] {
            if (AskToSave())
                OpenFile(name, true);
        });
    }
    mnRecent->setEnabled(!RecentFiles.isEmpty());
}

} // namespace ornamo
