// The browser's main window: layout, opening and reloading a database, filling the lists and
// moving through units, classes and interfaces.
#include "browser/app/F_Main.h"

#include "browser/app/F_MainLists.h"
#include "browser/app/F_Statistics.h"
#include "browser/app/MRUList.h"
#include "browser/app/U_Application.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/app/filedrag.h"
#include "browser/app/uGlyphPageControl.h"
#include "browser/app/uUpDown.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/support/L1DebugWindow.h"
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
#include <QScrollArea>
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

    ConnectLists();

    // Window creation.
    L1Form_LoadStateFromRegistry(this, vdMainFormRegistryKey);
    // Set-up: dropping files, the zoom box preset.
    fFileDrag->SetEnableDrop(true);
    cboZoom->setCurrentIndex(cboZoom->findText(QStringLiteral("100 %")));
    // (The diagram view and the help displayer are created here once they are part of the program.)
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

    scbDiagram = new QScrollArea;
    scbDiagram->setObjectName(QStringLiteral("scbDiagram"));
    scbDiagram->setAccessibleName(QStringLiteral("Inheritance diagram"));
    scbDiagram->setBackgroundRole(QPalette::Base);
    pbxDiagram = new QWidget;
    pbxDiagram->setObjectName(QStringLiteral("pbxDiagram"));
    pbxDiagram->setAccessibleName(QStringLiteral("Inheritance diagram"));
    pbxDiagram->setToolTip(QStringLiteral("Left or right click on a class"));
    scbDiagram->setWidget(pbxDiagram);
    scbDiagram->setWidgetResizable(true);

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
    // "Find" opens the name search window once it is part of the program.
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
        // (The diagram view is emptied here once it is part of the program.)

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

        // (The help file beside the database is taken here once the help displayer is part of the program.)
        fDocument.OpenFile(fileName);

        if (fStatistics)
            fStatistics->Fill(ToCp1252(QFileInfo(QString::fromStdString(fileName)).completeBaseName()), *table);
        actShowStatistics->setEnabled(true);
        opened = true;
    }
    if (opened) {
        // (The name search reloads its names here once it is part of the program.)
    }
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
    // (The class's help topic and its diagram are shown here, as asked, once the help displayer
    // and the diagram view are part of the program.)
    (void)withHelpTopic;
    (void)withDiagram;
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
    (void)withHelpTopic;
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
