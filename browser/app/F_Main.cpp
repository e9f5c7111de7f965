// The browser's main window: layout, opening and reloading a database, filling the lists and
// moving through units, classes and interfaces.
#include "browser/app/F_Main.h"

#include "browser/app/C1QuillmarkBrowser_SearchDialog.h"
#include "browser/app/F_MainLists.h"
#include "browser/app/F_Statistics.h"
#include "browser/app/MRUList.h"
#include "browser/app/U_Application.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/app/filedrag.h"
#include "browser/app/uGlyphPageControl.h"
#include "browser/app/uUpDown.h"
#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/runtime/U_Quillmark_OAWrappers.h"
#include "browser/treediagram/L1TreeDiagram.h"
#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1ListBoxes.h"
#include "browser/support/L1Registry.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

const char *const vdMainFormRegistryKey = "\\Software\\Vardelin\\QuillmarkBrowser\\MainForm";

namespace {

// A bar of controls above a page's lists.
QHBoxLayout *TopBar(QVBoxLayout *page)
{
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    page->addLayout(bar);
    return bar;
}

QVBoxLayout *PageLayout(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QWidget *SingleListPage(QWidget *list)
{
    auto *page = new QWidget;
    PageLayout(page)->addWidget(list);
    return page;
}

QSplitter *Split(Qt::Orientation orientation, QWidget *first, QWidget *second, int firstSize)
{
    auto *splitter = new QSplitter(orientation);
    splitter->addWidget(first);
    splitter->addWidget(second);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({firstSize, 10000});
    return splitter;
}

// The member tab set of a class or an interface.
TGlyphPageControl *MemberTabs(const QString &objectName, TSymbolListView *properties, TSymbolListView *methods,
                              TSymbolListView *events)
{
    auto *tabs = new TGlyphPageControl;
    tabs->setObjectName(objectName);
    tabs->SetImages(TabMarkImages());
    tabs->addTab(SingleListPage(properties), QStringLiteral("Properties"));
    tabs->addTab(SingleListPage(methods), QStringLiteral("Methods"));
    tabs->addTab(SingleListPage(events), QStringLiteral("Events"));
    return tabs;
}

// The help file beside a database: its name with the extension replaced by ".HLP".
std::string HelpFileOf(const std::string &fileName)
{
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.find_last_of('.');
    size_t end = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? fileName.size() : dot;
    return fileName.substr(0, end) + ".HLP";
}

template <class T> T *Attached(TSymbolListView *list) { return dynamic_cast<T *>(list->Model()->Object(list->SelectedRow())); }

} // namespace

TfrmMain::TfrmMain(QWidget *parent) : TGradientForm(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillmark Browser"));
    resize(601, 398);

    auto list = [](const char *name, const char *accessible, const char *hint = "") {
        return new TSymbolListView(QLatin1String(name), QLatin1String(accessible), QLatin1String(hint));
    };
    lstUnits = list("lstUnits", "Units", "Double click on a unit name");
    lstClassesInUnit = list("lstClassesInUnit", "Classes in unit", "Double click on a class name");
    lstInterfacesInUnit = list("lstInterfacesInUnit", "Interfaces in unit", "Double click on an interface name");
    lstRoutinesInUnit = list("lstRoutinesInUnit", "Routines in unit", "Double click on a routine name");
    lstPropertiesInClass = list("lstPropertiesInClass", "Properties of class");
    lstMethodsInClass = list("lstMethodsInClass", "Methods of class");
    lstEventsInClass = list("lstEventsInClass", "Events of class");
    lstPropertiesInInterface = list("lstPropertiesInInterface", "Properties of interface");
    lstMethodsInInterface = list("lstMethodsInInterface", "Methods of interface");
    lstEventsInInterface = list("lstEventsInInterface", "Events of interface");
    lstClasses = list("lstClasses", "Classes with diagrams", "Click or doubleclick on a class name");
    lstAllRoutines = list("lstAllRoutines", "All routines");
    lstAllInterfaces = list("lstAllInterfaces", "All interfaces");
    lstAllClasses = list("lstAllClasses", "All classes");
    lstAllProperties = list("lstAllProperties", "All properties");
    lstAllMethods = list("lstAllMethods", "All methods");
    lstAllEvents = list("lstAllEvents", "All events");

    // Column counts as laid out; the column-width rule replaces most of them below.
    for (TSymbolListView *l : {lstClassesInUnit, lstPropertiesInClass, lstMethodsInClass, lstInterfacesInUnit,
                               lstPropertiesInInterface, lstMethodsInInterface, lstRoutinesInUnit})
        l->SetColumns(2);
    for (TSymbolListView *l :
         {lstAllRoutines, lstAllInterfaces, lstAllClasses, lstAllProperties, lstAllMethods, lstAllEvents})
        l->SetColumns(3);

    pgcMain = new QTabWidget;
    pgcMain->setObjectName(QStringLiteral("pgcMain"));
    pgcMain->addTab(BuildUnitsPage(), QStringLiteral("Units"));
    pgcMain->addTab(BuildDiagramPage(), QStringLiteral("Inheritance diagrams"));
    pgcMain->addTab(SingleListPage(lstAllRoutines), QStringLiteral("All Routines"));
    pgcMain->addTab(SingleListPage(lstAllInterfaces), QStringLiteral("All Interfaces"));
    pgcMain->addTab(SingleListPage(lstAllClasses), QStringLiteral("All Classes"));
    pgcMain->addTab(SingleListPage(lstAllProperties), QStringLiteral("All Properties"));
    pgcMain->addTab(SingleListPage(lstAllMethods), QStringLiteral("All Methods"));
    pgcMain->addTab(SingleListPage(lstAllEvents), QStringLiteral("All Events"));
    setCentralWidget(pgcMain);

    BuildMenus();

    fMRUFileList = new TMRUFileList(this);
    fMRUFileList->SetMaximum(9);
    fMRUFileList->RemoveOnClick = false;
    fMRUFileList->SetUseSubmenu(false);
    fMRUFileList->SetInsertSeparator(true);
    fMRUFileList->SetSubmenuName(QStringLiteral("Reopen"));
    fMRUFileList->AutoSave = true;
    fMRUFileList->AutoSaveName = QLatin1String(vdBrowserRegistryKey);
    fMRUFileList->AutoSaveKey = QStringLiteral("MRU Items");
    fMRUFileList->SetFileMenu(mnuFile);
    fMRUFileList->OnMRUItemClick = [this](QAction *, const QString &fileName) {
        RunGuarded([&] { OpenDocument(fileName.toStdString()); });
    };

    fFileDrag = new TFileDrag(this);
    fFileDrag->OnDrop = [this](TFileDrag *) { RunGuarded([this] { FilesDropped(); }); };

    fSearchDialog = new TqmkbSearchDialog(this);
    fSearchDialog->SetShowLimit(200);
    fSearchDialog->SetRoutinesListBox(lstAllRoutines);
    fSearchDialog->SetInterfacesListbox(lstAllInterfaces);
    fSearchDialog->SetClassesListbox(lstAllClasses);
    fSearchDialog->SetPropertiesListBox(lstAllProperties);
    fSearchDialog->SetMethodsListBox(lstAllMethods);
    fSearchDialog->SetEventsListBox(lstAllEvents);
    auto picked = [this](auto action) {
        return [this, action](QAbstractItemView *sender) {
            RunGuarded([&] { (this->*action)(SelectedListText(sender)); });
        };
    };
    fSearchDialog->OnSelectRoutine = picked(&TfrmMain::ShowRoutineEntry);
    fSearchDialog->OnSelectClass = picked(&TfrmMain::SearchPickedClass);
    fSearchDialog->OnSelectInterface = picked(&TfrmMain::SearchPickedInterface);
    fSearchDialog->OnSelectProperty = [this](QAbstractItemView *sender) {
        RunGuarded([&] { ShowMemberEntry(mkProperty, SelectedListText(sender)); });
    };
    fSearchDialog->OnSelectMethod = [this](QAbstractItemView *sender) {
        RunGuarded([&] { ShowMemberEntry(mkMethod, SelectedListText(sender)); });
    };
    fSearchDialog->OnSelectEvent = [this](QAbstractItemView *sender) {
        RunGuarded([&] { ShowMemberEntry(mkEvent, SelectedListText(sender)); });
    };

    ConnectLists();

    // Window creation.
    L1Form_LoadStateFromRegistry(this, vdMainFormRegistryKey);
    // Set-up: the diagram view and the help displayer, dropping files, the zoom box preset.
    fDiagramView = std::make_unique<TvdVisualTreeDiagram>();
    fDiagramView->AttachTo(pbxDiagram, scbDiagram);
    fHelpDisplayer = std::make_unique<TL1HelpDisplayer>();
    fDiagramView->SetHelpDisplayer(fHelpDisplayer.get());
    fDiagramView->OnNodeMouseDown = [this](TvdTreeDiagramNode *node, TvdMouseButton button, TvdShiftState, int, int) {
        RunGuarded([&] { DiagramNodeMouseDown(node, button == mbRight); });
    };
    fFileDrag->SetEnableDrop(true);
    cboZoom->setCurrentIndex(cboZoom->findText(QStringLiteral("100 %")));
    MarkTab(tabsUnit, tabClasses, false);
    MarkTab(tabsUnit, tabInterfaces, false);
    for (int i : {tabProperties, tabMethods, tabEvents})
        MarkTab(tabsClassMembers, i, false);
    txtNumClassesColumns->setText(QString::number(QuillmarkBrowserSettings().ColumnWidth));
    udNumClassesColumns->setEnabled(true);
    ApplyColumnWidth(QuillmarkBrowserSettings().ColumnWidth);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            RunGuarded([this] { ReloadIfChanged(); });
    });

    // The recent files are read once the window exists.
    fMRUFileList->Loaded();
}

TfrmMain::~TfrmMain()
{
    L1Form_SaveStateToRegistry(this, vdMainFormRegistryKey);
    disconnect(qApp, &QGuiApplication::applicationStateChanged, this, nullptr);
    // The lists show vectors of the symbol table, which outlives the window; nothing to let go.
}

QWidget *TfrmMain::BuildUnitsPage()
{
    auto *page = new QWidget;
    QVBoxLayout *layout = PageLayout(page);
    QHBoxLayout *bar = TopBar(layout);
    auto *lblUnits = new QLabel(QStringLiteral("Units"));
    lblUnits->setObjectName(QStringLiteral("lblUnits"));
    auto *lblColumnWidth = new QLabel(QStringLiteral("Column Width"));
    lblColumnWidth->setObjectName(QStringLiteral("lblColumnWidth"));
    txtNumClassesColumns = new QLineEdit(QStringLiteral("50"));
    txtNumClassesColumns->setObjectName(QStringLiteral("txtNumClassesColumns"));
    txtNumClassesColumns->setAccessibleName(QStringLiteral("Column width"));
    txtNumClassesColumns->setToolTip(QStringLiteral("Columnwidth"));
    txtNumClassesColumns->setFixedWidth(48);
    lblColumnWidth->setBuddy(txtNumClassesColumns);
    udNumClassesColumns = new TUpDown(txtNumClassesColumns, 50, 1000, 10);
    udNumClassesColumns->setObjectName(QStringLiteral("udNumClassesColumns"));
    udNumClassesColumns->setAccessibleName(QStringLiteral("Column width up-down"));
    udNumClassesColumns->SetAccessibleNames(QStringLiteral("column width"));
    udNumClassesColumns->setEnabled(false);
    bar->addWidget(lblUnits);
    bar->addStretch(1);
    bar->addWidget(lblColumnWidth);
    bar->addWidget(txtNumClassesColumns);
    bar->addWidget(udNumClassesColumns);
    bar->setSpacing(4);

    tabsClassMembers = MemberTabs(QStringLiteral("tabsClassMembers"), lstPropertiesInClass, lstMethodsInClass,
                                  lstEventsInClass);
    tabsInterfaceMembers = MemberTabs(QStringLiteral("tabsInterfaceMembers"), lstPropertiesInInterface,
                                      lstMethodsInInterface, lstEventsInInterface);

    tabsUnit = new TGlyphPageControl;
    tabsUnit->setObjectName(QStringLiteral("tabsUnit"));
    tabsUnit->SetImages(TabMarkImages());
    tabsUnit->addTab(Split(Qt::Vertical, lstClassesInUnit, tabsClassMembers, 120), QStringLiteral("Classes"));
    tabsUnit->addTab(Split(Qt::Vertical, lstInterfacesInUnit, tabsInterfaceMembers, 120),
                     QStringLiteral("Interfaces"));
    tabsUnit->addTab(SingleListPage(lstRoutinesInUnit), QStringLiteral("Routines"));

    layout->addWidget(Split(Qt::Horizontal, lstUnits, tabsUnit, 175), 1);
    return page;
}

QWidget *TfrmMain::BuildDiagramPage()
{
    auto *page = new QWidget;
    QVBoxLayout *layout = PageLayout(page);
    QHBoxLayout *bar = TopBar(layout);

    rgrpTreeDirection = new QGroupBox;
    rgrpTreeDirection->setObjectName(QStringLiteral("rgrpTreeDirection"));
    rgrpTreeDirection->setAccessibleName(QStringLiteral("Diagram direction"));
    auto *directions = new QHBoxLayout(rgrpTreeDirection);
    directions->setContentsMargins(6, 2, 6, 2);
    rbHorizontal = new QRadioButton(QStringLiteral("Horizontal"));
    rbHorizontal->setObjectName(QStringLiteral("rbHorizontal"));
    rbVertical = new QRadioButton(QStringLiteral("Vertical"));
    rbVertical->setObjectName(QStringLiteral("rbVertical"));
    rbHorizontal->setChecked(true);
    directions->addWidget(rbHorizontal);
    directions->addWidget(rbVertical);

    lblZoom = new QLabel(QStringLiteral("Zoom"));
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    cboZoom = new QComboBox;
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cboZoom->setAccessibleName(QStringLiteral("Zoom"));
    cboZoom->addItems({QStringLiteral("25 %"), QStringLiteral("50 %"), QStringLiteral("75 %"),
                       QStringLiteral("100 %"), QStringLiteral("150 %"), QStringLiteral("200 %")});
    cboZoom->setCurrentIndex(3);
    cboZoom->view()->setAccessibleName(QStringLiteral("Zoom levels"));
    lblZoom->setBuddy(cboZoom);
    lblZoom->hide();
    cboZoom->hide();

    bar->addWidget(rgrpTreeDirection);
    bar->addStretch(1);
    bar->addWidget(lblZoom);
    bar->addWidget(cboZoom);

    scbDiagram = new TvdScrollBox;
    scbDiagram->setObjectName(QStringLiteral("scbDiagram"));
    scbDiagram->setAccessibleName(QStringLiteral("Inheritance diagram scroll box"));
    pbxDiagram = new TvdPaintBox;
    pbxDiagram->setObjectName(QStringLiteral("pbxDiagram"));
    pbxDiagram->setAccessibleName(QStringLiteral("Inheritance diagram"));
    pbxDiagram->setToolTip(QStringLiteral("Left or right click on a class"));
    scbDiagram->setWidget(pbxDiagram);

    layout->addWidget(Split(Qt::Horizontal, lstClasses, scbDiagram, 150), 1);
    return page;
}

void TfrmMain::BuildMenus()
{
    QMenuBar *bar = MenuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    actOpen = mnuFile->addAction(QStringLiteral("Open..."));
    mnuFile->addSeparator();
    actShowStatistics = mnuFile->addAction(QStringLiteral("Show Statistics..."));
    actShowStatistics->setEnabled(false);
    mnuFile->addSeparator();
    actExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuTools = bar->addMenu(QStringLiteral("&Tools"));
    actFind = mnuTools->addAction(QStringLiteral("Find"));
    actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    actAbout = mnuHelp->addAction(QStringLiteral("About"));

    connect(actOpen, &QAction::triggered, this, [this] { RunGuarded([this] { OpenFileDialog(); }); });
    connect(actShowStatistics, &QAction::triggered, this, [this] {
        if (fStatistics) {
            fStatistics->show();
            fStatistics->raise();
        }
    });
    connect(actExit, &QAction::triggered, this, &QWidget::close);
    connect(actFind, &QAction::triggered, this, [this] { RunGuarded([this] { fSearchDialog->Execute(); }); });
    connect(actAbout, &QAction::triggered, this, [this] { ShowAbout(); });
}

void TfrmMain::ConnectLists()
{
    auto guarded = [this](TSymbolListView *list, auto action) {
        connect(list, &TSymbolListView::Click, this, [action] { RunGuarded(action); });
    };
    guarded(lstUnits, [this] { ShowUnit(lstUnits->SelectedText()); });
    guarded(lstClassesInUnit, [this] {
        ShowClassMembers(Attached<TL1OPascalSymbolTable_Class>(lstClassesInUnit), false, true);
    });
    guarded(lstInterfacesInUnit, [this] {
        ShowInterfaceMembers(Attached<TL1OPascalSymbolTable_Interface>(lstInterfacesInUnit), false);
    });

    // Double clicks (and Enter or Space) lead on; the help topics join them with the help displayer.
    auto doubleClick = [this](TSymbolListView *list, auto action) {
        connect(list, &TSymbolListView::DoubleClick, this, [action] { RunGuarded(action); });
    };
    doubleClick(lstClassesInUnit, [this] {
        if (auto *c = Attached<TL1OPascalSymbolTable_Class>(lstClassesInUnit))
            ShowClass(c, true, true);
    });
    doubleClick(lstInterfacesInUnit, [this] {
        if (auto *i = Attached<TL1OPascalSymbolTable_Interface>(lstInterfacesInUnit))
            ShowInterfaceMembers(i, true);
    });
    doubleClick(lstClasses, [this] {
        if (auto *c = Attached<TL1OPascalSymbolTable_Class>(lstClasses))
            ShowClass(c, true, true);
    });
    doubleClick(lstAllClasses, [this] {
        if (auto *c = Attached<TL1OPascalSymbolTable_Class>(lstAllClasses))
            ShowClass(c, true, true);
    });
    doubleClick(lstAllInterfaces, [this] {
        if (auto *i = Attached<TL1OPascalSymbolTable_Interface>(lstAllInterfaces))
            ShowInterface(i);
    });
    doubleClick(lstUnits, [this] {
        if (lstUnits->SelectedRow() >= 0)
            fHelpDisplayer->ShowUnitTopic(lstUnits->SelectedText());
    });
    doubleClick(lstRoutinesInUnit, [this] {
        if (lstRoutinesInUnit->SelectedRow() >= 0)
            fHelpDisplayer->ShowRoutineTopic(lstUnits->SelectedText(), lstRoutinesInUnit->SelectedText());
    });
    const std::pair<TSymbolListView *, TMemberKind> classMembers[] = {
        {lstPropertiesInClass, mkProperty}, {lstMethodsInClass, mkMethod}, {lstEventsInClass, mkEvent}};
    for (const auto &member : classMembers) {
        TSymbolListView *list = member.first;
        TMemberKind kind = member.second;
        doubleClick(list, [this, list, kind] {
            if (list->SelectedRow() >= 0)
                ShowMemberTopic(kind, true, lstClassesInUnit->SelectedText(), list->SelectedText());
        });
    }
    const std::pair<TSymbolListView *, TMemberKind> interfaceMembers[] = {
        {lstPropertiesInInterface, mkProperty}, {lstMethodsInInterface, mkMethod}, {lstEventsInInterface, mkEvent}};
    for (const auto &member : interfaceMembers) {
        TSymbolListView *list = member.first;
        TMemberKind kind = member.second;
        doubleClick(list, [this, list, kind] {
            if (list->SelectedRow() >= 0)
                ShowMemberTopic(kind, false, lstInterfacesInUnit->SelectedText(), list->SelectedText());
        });
    }
    doubleClick(lstAllRoutines, [this] {
        if (lstAllRoutines->SelectedRow() >= 0)
            ShowRoutineEntry(lstAllRoutines->SelectedText());
    });
    const std::pair<TSymbolListView *, TMemberKind> allMembers[] = {
        {lstAllProperties, mkProperty}, {lstAllMethods, mkMethod}, {lstAllEvents, mkEvent}};
    for (const auto &member : allMembers) {
        TSymbolListView *list = member.first;
        TMemberKind kind = member.second;
        doubleClick(list, [this, list, kind] {
            if (list->SelectedRow() >= 0)
                ShowMemberEntry(kind, list->SelectedText());
        });
    }
    guarded(lstClasses, [this] { ShowClassDiagram(lstClasses->SelectedText()); });
    connect(rbHorizontal, &QRadioButton::toggled, this, [this] { RunGuarded([this] { DirectionChanged(); }); });

    // The context menu "Insert <See> tag in editor".
    for (TSymbolListView *list : {lstUnits, lstClassesInUnit, lstRoutinesInUnit, lstPropertiesInClass,
                                  lstMethodsInClass, lstEventsInClass, lstAllClasses, lstAllRoutines,
                                  lstAllProperties, lstAllMethods, lstAllEvents}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &at) {
            QMenu menu(list);
            QAction *insert = menu.addAction(QStringLiteral("Insert <See> tag in editor"));
            if (menu.exec(list->viewport()->mapToGlobal(at)) == insert)
                RunGuarded([&] { InsertSeeTag(list); });
        });
    }

    for (TSymbolListView *l : findChildren<TSymbolListView *>()) {
        bool plain = l != lstInterfacesInUnit && l != lstClasses;
        l->KeysActAsDoubleClick = plain;
        l->RightPressSelects = plain;
    }

    connect(txtNumClassesColumns, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { ColumnWidthEdited(); }); });
    connect(cboZoom, &QComboBox::activated, this,
            [] { RunGuarded([] { ShowInformation("Sorry, the zoombox is disabled in this build..."); }); });
}

TL1OPascalSymbolTable *TfrmMain::SymbolTable() const
{
    TL1Quillmark_RunTimeDatabase *db = QuillmarkBrowser().RunTimeDb();
    return db ? db->SymbolTable() : nullptr;
}

void TfrmMain::MarkTab(TGlyphPageControl *tabs, int index, bool filled)
{
    tabs->SetTabImage(index, filled ? vdTabFilled : vdTabEmpty);
}

void TfrmMain::ClearClassMembers()
{
    for (TSymbolListView *l : {lstPropertiesInClass, lstMethodsInClass, lstEventsInClass})
        l->Model()->Clear();
}

void TfrmMain::ClearInterfaceMembers()
{
    for (TSymbolListView *l : {lstPropertiesInInterface, lstMethodsInInterface, lstEventsInInterface})
        l->Model()->Clear();
}

void TfrmMain::OpenDocument(const std::string &fileName)
{
    bool opened = false;
    {
        WaitCursorBracket wait;
        for (TSymbolListView *l : {lstUnits, lstClasses, lstAllRoutines, lstAllInterfaces, lstAllClasses,
                                   lstAllProperties, lstAllMethods, lstAllEvents, lstInterfacesInUnit,
                                   lstClassesInUnit, lstRoutinesInUnit})
            l->Model()->Clear();
        ClearClassMembers();
        // The interface members stay shown until the next unit is, but the table they come from
        // is about to be freed: keep their texts only.
        for (TSymbolListView *l : {lstPropertiesInInterface, lstMethodsInInterface, lstEventsInInterface})
            l->Model()->KeepTextsOnly();
        fCurrentClass.clear();

        fMRUFileList->AddFile(QString::fromStdString(fileName));
        DebugWindow().WriteLine("Connecting to: " + fileName);
        fDiagramView->ShowNoDiagram();
        fDiagramClass.clear();
        // The help displayer and the automation link must not reach the table about to be freed.
        fHelpDisplayer->SetSymbolTable(nullptr);
        QMK_OA_Application().SetSymbolTable(nullptr);

        TvdQuillmarkBrowser &browser = QuillmarkBrowser();
        browser.OpenDatabase(fileName);
        TL1OPascalSymbolTable *table = browser.GetSymbolTable();
        CheckPrecondition(table != nullptr, "TfrmMain.OpenDocument", "SymbolTable<>nil");

        lstClasses->Model()->SetList(&table->Classes());
        lstAllClasses->Model()->SetList(&table->Classes());
        lstAllInterfaces->Model()->SetList(&table->Interfaces());

        auto routines = std::make_unique<TStringList>(false);
        browser.FillRoutineList(*routines);
        lstAllRoutines->Model()->SetOwnedList(std::move(routines));

        {
            TraceSection section("AllPropMethodsEvent");
            lstAllProperties->Model()->SetList(&table->Properties());
            lstAllMethods->Model()->SetList(&table->Methods());
            lstAllEvents->Model()->SetList(&table->Events());
        }

        lstUnits->Model()->SetList(&table->Units());

        fHelpDisplayer->SetHelpFile(static_cast<THelpWindowHandle>(winId()), HelpFileOf(fileName));
        fHelpDisplayer->SetSymbolTable(table);
        QMK_OA_Application().SetSymbolTable(table);
        fDocument.OpenFile(fileName);

        if (fStatistics)
            fStatistics->Fill(ToCp1252(QFileInfo(QString::fromStdString(fileName)).completeBaseName()), *table);
        actShowStatistics->setEnabled(true);
        opened = true;
    }
    if (opened)
        fSearchDialog->RefreshNames();
}

void TfrmMain::ReloadIfChanged()
{
    if (!fDocument.HasChangedOnDisk())
        return;
    OpenDocument(fDocument.FileName());
    DebugWindow().WriteLine("Has reloaded document");
}

void TfrmMain::ShowUnit(const std::string &unitName)
{
    TL1OPascalSymbolTable *table = SymbolTable();
    TL1OPascalSymbolTable_Unit *unit = table ? table->FindUnit(unitName) : nullptr;
    if (!unit)
        return;
    lstClassesInUnit->Model()->SetList(&unit->Classes());
    lstInterfacesInUnit->Model()->SetList(&unit->Interfaces());
    lstRoutinesInUnit->Model()->SetList(&unit->Routines());
    MarkTab(tabsUnit, tabClasses, !unit->Classes().Empty());
    MarkTab(tabsUnit, tabInterfaces, !unit->Interfaces().Empty());
    MarkTab(tabsUnit, tabRoutines, !unit->Routines().Empty());
    for (int i : {tabProperties, tabMethods, tabEvents}) {
        MarkTab(tabsClassMembers, i, false);
        MarkTab(tabsInterfaceMembers, i, false);
    }
    ClearClassMembers();
    ClearInterfaceMembers();
}

void TfrmMain::ShowClassMembers(TL1OPascalSymbolTable_Class *aClass, bool withHelpTopic, bool withDiagram)
{
    if (!aClass)
        return;
    lstPropertiesInClass->Model()->SetList(&aClass->Properties);
    lstMethodsInClass->Model()->SetList(&aClass->Methods);
    lstEventsInClass->Model()->SetList(&aClass->Events);
    MarkTab(tabsClassMembers, tabProperties, !aClass->Properties.Empty());
    MarkTab(tabsClassMembers, tabMethods, !aClass->Methods.Empty());
    MarkTab(tabsClassMembers, tabEvents, !aClass->Events.Empty());
    if (aClass->Name.empty())
        return;
    if (withHelpTopic)
        fHelpDisplayer->ShowClassTopic(aClass->Name);
    if (withDiagram)
        ShowClassDiagram(aClass->Name);
    fCurrentClass = aClass->Name;
}

void TfrmMain::ShowInterfaceMembers(TL1OPascalSymbolTable_Interface *anInterface, bool withHelpTopic)
{
    if (!anInterface)
        return;
    lstPropertiesInInterface->Model()->SetList(&anInterface->Properties);
    lstMethodsInInterface->Model()->SetList(&anInterface->Methods);
    lstEventsInInterface->Model()->SetList(&anInterface->Events);
    MarkTab(tabsInterfaceMembers, tabProperties, !anInterface->Properties.Empty());
    MarkTab(tabsInterfaceMembers, tabMethods, !anInterface->Methods.Empty());
    MarkTab(tabsInterfaceMembers, tabEvents, !anInterface->Events.Empty());
    if (withHelpTopic && !anInterface->Name.empty())
        fHelpDisplayer->ShowInterfaceTopic(anInterface->Name);
}

void TfrmMain::ShowClass(TL1OPascalSymbolTable_Class *aClass, bool withHelpTopic, bool withDiagram)
{
    CheckPrecondition(aClass != nullptr, "TfrmMain.ShowClass", "i_class<>nil");
    std::string unitName = aClass->Unit ? aClass->Unit->Name : std::string();
    if (lstUnits->SelectText(unitName)) {
        ShowUnit(lstUnits->SelectedText());
        if (!lstClassesInUnit->SelectText(aClass->Name))
            DebugWindow().WriteError("Couldn't set the class: " + aClass->Name + " in the classes (in unit) listbox.");
    } else {
        DebugWindow().WriteError("Couldn't set the unit: " + unitName + " in the units listbox.");
    }
    ShowClassMembers(aClass, withHelpTopic, withDiagram);
}

void TfrmMain::ShowInterface(TL1OPascalSymbolTable_Interface *anInterface)
{
    CheckPrecondition(anInterface != nullptr, "TfrmMain.ShowInterface", "i_interface<>nil");
    std::string unitName = anInterface->Unit ? anInterface->Unit->Name : std::string();
    if (lstUnits->SelectText(unitName)) {
        ShowUnit(lstUnits->SelectedText());
        if (!lstInterfacesInUnit->SelectText(anInterface->Name))
            DebugWindow().WriteError("Couldn't set the interface: " + anInterface->Name +
                                     " in the interfaces (in unit) listbox.");
    } else {
        DebugWindow().WriteError("Couldn't set the unit: " + unitName + " in the units listbox.");
    }
    ShowInterfaceMembers(anInterface, true);
}

void TfrmMain::ApplyColumnWidth(int width)
{
    DebugWindow().WriteLine("ColumnWidthChange: " + std::to_string(width));
    for (TSymbolListView *l : {lstClassesInUnit, lstRoutinesInUnit, lstPropertiesInClass, lstMethodsInClass,
                               lstEventsInClass, lstAllClasses, lstAllRoutines})
        l->SetColumnRule(width, false);
    for (TSymbolListView *l : {lstAllProperties, lstAllMethods, lstAllEvents})
        l->SetColumnRule(width, true);
    // The edit keeps what the user typed: writing the clamped position back would turn a "1" on
    // the way to "150" into "50".
    udNumClassesColumns->SetPositionQuietly(width);
}

void TfrmMain::ColumnWidthEdited()
{
    if (!udNumClassesColumns->isEnabled())
        return;
    bool ok = false;
    int width = txtNumClassesColumns->text().trimmed().toInt(&ok);
    QuillmarkBrowserSettings().ColumnWidth = ok ? width : 100;
    ApplyColumnWidth(QuillmarkBrowserSettings().ColumnWidth);
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    TGradientForm::resizeEvent(event);
    ApplyColumnWidth(QuillmarkBrowserSettings().ColumnWidth);
}

void TfrmMain::OpenFileDialog()
{
    QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                                    QStringLiteral("Quillmark runtime (*.QMK *.qmk)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty() && !QFileInfo::exists(fileName))
        fileName += QStringLiteral(".qmk");
    OpenDocument(fileName.toStdString());
}

void TfrmMain::FilesDropped()
{
    if (fFileDrag->FileCount < 1)
        return;
    if (fFileDrag->Extension[0].toUpper() != QLatin1String("QMK")) {
        ShowInformation("Sorry, this application only supports loading files with the extension: '.QMK'.");
        return;
    }
    OpenDocument(fFileDrag->NameWithPath[0].toStdString());
}

void TfrmMain::ShowAbout()
{
    QMessageBox::about(this, QStringLiteral("About"),
                       QStringLiteral("<b>Quillmark Runtime Browser</b> %1<p>Reads documentation databases "
                                      "(.QMK files) and shows the documented class library.</p>"
                                      "<p>Ships together with the Kavgraph diagram library and the Ornamo "
                                      "style library editor.</p>")
                           .arg(QCoreApplication::applicationVersion()));
}

void TfrmMain::ShowClassDiagram(const std::string &className)
{
    TL1Quillmark_RunTimeDatabase *db = QuillmarkBrowser().RunTimeDb();
    if (!db || !SymbolTable())
        return;
    db->EnsureAttached(false);
    TvdTreeDiagram *diagram = nullptr;
    try {
        TraceSection section("Loading TreeDiagram");
        diagram = db->GetTreeDiagram(className, rbHorizontal->isChecked());
    } catch (...) {
        db->Close();
        throw;
    }
    db->Close();
    if (!diagram || !diagram->RootNode())
        return;
    DebugWindow().WriteLine("About to display Diagram for: " + diagram->DiagramName());
    fDiagramView->ShowDiagram(diagram, className);
    fDiagramClass = className;
}

void TfrmMain::DiagramNodeMouseDown(TvdTreeDiagramNode *node, bool rightButton)
{
    if (!rightButton || !node)
        return;
    TL1OPascalSymbolTable *table = SymbolTable();
    if (table && table->GetHasClass(node->Name))
        ShowClassDiagram(node->Name);
    else
        ShowInformation("Sorry. Can't display the total diagram for " + node->Name +
                        " because it is located in another file, or a diagram for it doesn't exist.");
}

void TfrmMain::DirectionChanged()
{
    TvdTreeDiagram *shown = fDiagramView->TreeDiagram();
    if (!shown || shown->Horizontal == rbHorizontal->isChecked())
        return;
    // The class shown, wherever it was chosen (lstClasses, a unit's class list, a box).
    ShowClassDiagram(fDiagramClass.empty() ? lstClasses->SelectedText() : fDiagramClass);
}

void TfrmMain::ShowMemberTopic(TMemberKind kind, bool ownerIsClass, const std::string &owner,
                               const std::string &member)
{
    switch (kind) {
    case mkProperty:
        fHelpDisplayer->ShowPropertyTopic(ownerIsClass, owner, member);
        break;
    case mkMethod:
        fHelpDisplayer->ShowMethodTopic(ownerIsClass, owner, member);
        break;
    case mkEvent:
        fHelpDisplayer->ShowEventTopic(ownerIsClass, owner, member);
        break;
    }
}

void TfrmMain::ShowRoutineEntry(const std::string &entry)
{
    fHelpDisplayer->ShowRoutineTopic(FlatEntryOwner(entry), FlatEntryName(entry));
}

void TfrmMain::ShowMemberEntry(TMemberKind kind, const std::string &entry)
{
    std::string owner = FlatEntryOwner(entry);
    TL1OPascalSymbolTable *table = SymbolTable();
    bool ownerIsClass = !(table && table->FindInterface(owner));
    ShowMemberTopic(kind, ownerIsClass, owner, FlatEntryName(entry));
}

void TfrmMain::SearchPickedClass(const std::string &name)
{
    TL1OPascalSymbolTable *table = SymbolTable();
    if (TL1OPascalSymbolTable_Class *found = table ? table->FindClass(name) : nullptr)
        ShowClass(found, true, true);
    else
        ShowInformation("Couldn't find the class: " + name + " in the symbol table. This is a strange error.");
}

void TfrmMain::SearchPickedInterface(const std::string &name)
{
    TL1OPascalSymbolTable *table = SymbolTable();
    if (TL1OPascalSymbolTable_Interface *found = table ? table->FindInterface(name) : nullptr)
        ShowInterface(found);
    else
        ShowInformation("Couldn't find the interface: " + name + " in the symbol table. This is a strange error.");
}

void TfrmMain::InsertSeeTag(TSymbolListView *list)
{
    TQMK_OA_Application &link = QMK_OA_Application();
    const std::string unit = lstUnits->SelectedText();
    const std::string selected = list->SelectedText();
    if (list == lstUnits) {
        if (!IsBlank(unit))
            link.InsertUnitSeeTag(unit);
    } else if (list == lstClassesInUnit) {
        if (!IsBlank(unit) && !IsBlank(selected))
            link.InsertClassSeeTag(unit, selected);
    } else if (list == lstRoutinesInUnit) {
        DebugWindow().WriteLine("RoutineName: " + selected + " unitName: " + unit);
        if (!IsBlank(unit) && !IsBlank(selected))
            link.InsertRoutineSeeTag(unit, selected);
    } else if (list == lstPropertiesInClass || list == lstMethodsInClass || list == lstEventsInClass) {
        if (IsBlank(unit) || IsBlank(fCurrentClass) || IsBlank(selected))
            return;
        if (list == lstPropertiesInClass)
            link.InsertPropertySeeTag(unit, fCurrentClass, selected);
        else if (list == lstMethodsInClass)
            link.InsertMethodSeeTag(unit, fCurrentClass, selected);
        else
            link.InsertEventSeeTag(unit, fCurrentClass, selected);
    } else if (list == lstAllClasses) {
        if (!IsBlank(selected))
            link.InsertClassSeeTag("", selected);
    } else if (list == lstAllRoutines) {
        link.InsertRoutineSeeTag(FlatEntryOwner(selected), FlatEntryName(selected));
    } else if (list == lstAllProperties) {
        link.InsertPropertySeeTag("", FlatEntryOwner(selected), FlatEntryName(selected));
    } else if (list == lstAllMethods) {
        link.InsertMethodSeeTag("", FlatEntryOwner(selected), FlatEntryName(selected));
    } else if (list == lstAllEvents) {
        link.InsertEventSeeTag("", FlatEntryOwner(selected), FlatEntryName(selected));
    }
}
