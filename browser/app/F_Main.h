#pragma once
// The browser's main window: opens a runtime database and shows the documented library as linked
// lists (units, their classes, interfaces and routines, the members of a class or interface) and
// as flat lists of everything, with the inheritance diagram page.

#include "browser/app/F_Statistics.h"
#include "browser/app/GradForm.h"
#include "browser/app/U_SimpleDocument.h"

#include <QPointer>

#include <memory>
#include <string>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSplitter;
class QTabWidget;
class TFileDrag;
class TGlyphPageControl;
class TL1OPascalSymbolTable;
class TL1OPascalSymbolTable_Class;
class TL1OPascalSymbolTable_Interface;
class TMRUFileList;
class TSymbolListView;
class TUpDown;
class TL1HelpDisplayer;
class TqmkbSearchDialog;
class TvdPaintBox;
class TvdScrollBox;
class TvdTreeDiagramNode;
class TvdVisualTreeDiagram;

extern const char *const vdMainFormRegistryKey; // "\Software\Vardelin\QuillmarkBrowser\MainForm"

class TfrmMain : public TGradientForm {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Opens a runtime database and fills every list; failures propagate with the lists empty.
    void OpenDocument(const std::string &fileName);
    // Reopens the open file when it has changed on disk (the application was activated).
    void ReloadIfChanged();

    void ShowUnit(const std::string &unitName);
    void ShowClassMembers(TL1OPascalSymbolTable_Class *aClass, bool withHelpTopic, bool withDiagram);
    void ShowInterfaceMembers(TL1OPascalSymbolTable_Interface *anInterface, bool withHelpTopic);
    void ShowClass(TL1OPascalSymbolTable_Class *aClass, bool withHelpTopic, bool withDiagram);
    void ShowInterface(TL1OPascalSymbolTable_Interface *anInterface);

    // Column counts of the multi-column lists from the column width; see ColumnCountFor.
    void ApplyColumnWidth(int width);

    // Shows the stored inheritance diagram of the class in the chosen direction; keeps what was
    // shown when there is none.
    void ShowClassDiagram(const std::string &className);
    // A box of the diagram was pressed: the right button shows that class's own diagram.
    void DiagramNodeMouseDown(TvdTreeDiagramNode *node, bool rightButton);

    // The double-click actions of the flat lists on an entry's text ("Name (Owner)"); the search
    // window's picks run them too.
    void ShowRoutineEntry(const std::string &entry);
    enum TMemberKind { mkProperty, mkMethod, mkEvent };
    void ShowMemberEntry(TMemberKind kind, const std::string &entry);
    // A class or interface picked in the search window, found by name in the symbol table.
    void SearchPickedClass(const std::string &name);
    void SearchPickedInterface(const std::string &name);
    // The context-menu command "Insert <See> tag in editor" of a list.
    void InsertSeeTag(TSymbolListView *list);

    // The statistics window the open steps fill (created by the program; not owned).
    void SetStatisticsWindow(TfrmStatistics *window) { fStatistics = window; }

    Tvd_SimpleDocument &Document() { return fDocument; }
    const std::string &CurrentClass() const { return fCurrentClass; }
    TMRUFileList *RecentFiles() const { return fMRUFileList; }
    TvdVisualTreeDiagram *DiagramView() const { return fDiagramView.get(); }
    TL1HelpDisplayer *HelpDisplayer() const { return fHelpDisplayer.get(); }
    TqmkbSearchDialog *SearchDialog() const { return fSearchDialog; }
    TFileDrag *FileDrag() const { return fFileDrag; }

    // Controls, named as the window's layout names them.
    QTabWidget *pgcMain;
    QLineEdit *txtNumClassesColumns;
    TUpDown *udNumClassesColumns;
    TSymbolListView *lstUnits;
    TGlyphPageControl *tabsUnit;
    TSymbolListView *lstClassesInUnit, *lstInterfacesInUnit, *lstRoutinesInUnit;
    TGlyphPageControl *tabsClassMembers, *tabsInterfaceMembers;
    TSymbolListView *lstPropertiesInClass, *lstMethodsInClass, *lstEventsInClass;
    TSymbolListView *lstPropertiesInInterface, *lstMethodsInInterface, *lstEventsInInterface;
    QGroupBox *rgrpTreeDirection;
    QRadioButton *rbHorizontal, *rbVertical;
    QComboBox *cboZoom;
    QLabel *lblZoom;
    TSymbolListView *lstClasses;
    TvdScrollBox *scbDiagram;
    TvdPaintBox *pbxDiagram;
    TSymbolListView *lstAllRoutines, *lstAllInterfaces, *lstAllClasses, *lstAllProperties, *lstAllMethods,
        *lstAllEvents;
    QMenu *mnuFile, *mnuTools, *mnuHelp;
    QAction *actOpen, *actShowStatistics, *actExit, *actFind, *actAbout;

    // Tab indexes of the unit tab set and of the member tab sets.
    enum { tabClasses = 0, tabInterfaces = 1, tabRoutines = 2 };
    enum { tabProperties = 0, tabMethods = 1, tabEvents = 2 };

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildMenus();
    QWidget *BuildUnitsPage();
    QWidget *BuildDiagramPage();
    void ConnectLists();
    void MarkTab(TGlyphPageControl *tabs, int index, bool filled);
    void ClearClassMembers();
    void ClearInterfaceMembers();
    void ColumnWidthEdited();
    void OpenFileDialog();
    void FilesDropped();
    void ShowAbout();
    void DirectionChanged();
    void ShowMemberTopic(TMemberKind kind, bool ownerIsClass, const std::string &owner, const std::string &member);
    TL1OPascalSymbolTable *SymbolTable() const;

    Tvd_SimpleDocument fDocument;
    std::string fCurrentClass;
    std::string fDiagramClass; // the class whose diagram is shown
    TMRUFileList *fMRUFileList;
    TFileDrag *fFileDrag;
    TqmkbSearchDialog *fSearchDialog;
    // Destroyed before the window's controls, which the view draws on.
    std::unique_ptr<TL1HelpDisplayer> fHelpDisplayer;
    std::unique_ptr<TvdVisualTreeDiagram> fDiagramView;
    QPointer<TfrmStatistics> fStatistics;
};
