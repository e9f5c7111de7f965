#pragma once
// The recent-files list: file names, most recent first, shown as numbered entries of a menu and
// kept in the settings store between runs.

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class TMRUFileList;

// A menu entry made by a recent-files list (entries, their separator and submenu).
class TMRUMenuItem : public QAction {
    Q_OBJECT
public:
    TMRUMenuItem(TMRUFileList *owner, int position, QObject *parent);
    // 1-based position of the entry; 0 for the separator and the submenu item.
    int Position() const { return fPosition; }
    TMRUFileList *Owner() const { return fOwner; }

private:
    TMRUFileList *fOwner;
    int fPosition;
};

class TMRUFileList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Maximum READ Maximum WRITE SetMaximum)
    Q_PROPERTY(bool RemoveOnClick MEMBER RemoveOnClick)
    Q_PROPERTY(bool UseSubmenu READ UseSubmenu WRITE SetUseSubmenu)
    Q_PROPERTY(bool InsertSeparator READ InsertSeparator WRITE SetInsertSeparator)
    Q_PROPERTY(QString SubmenuName READ SubmenuName WRITE SetSubmenuName)
    Q_PROPERTY(bool AutoSave MEMBER AutoSave)
    Q_PROPERTY(QString AutoSaveName MEMBER AutoSaveName)
    Q_PROPERTY(QString AutoSaveKey MEMBER AutoSaveKey)
public:
    explicit TMRUFileList(QObject *parent = nullptr);
    // Saves to the store when AutoSave is on and the list was loaded.
    ~TMRUFileList() override;

    // Names already listed (ignoring case) move to the top; new ones go on top and the oldest
    // fall off beyond Maximum. Rebuilds the menu.
    void AddFile(const QString &fileName);
    const QStringList &Files() const { return fFiles; }

    int Maximum() const { return fMaximum; }
    void SetMaximum(int maximum); // 0..255, as a byte
    bool UseSubmenu() const { return fUseSubmenu; }
    void SetUseSubmenu(bool on);
    bool InsertSeparator() const { return fInsertSeparator; }
    void SetInsertSeparator(bool on);
    QString SubmenuName() const { return fSubmenuName; }
    void SetSubmenuName(const QString &name);
    QMenu *FileMenu() const { return fFileMenu; }
    void SetFileMenu(QMenu *menu);

    // Called by the owning window once it is built (the load of a loaded form).
    void Loaded();
    // Reads the "MRU Items" section ("F0", "F1", ... in order) and rebuilds the menu.
    void LoadFromRegistry();
    // Replaces the section with one value per entry; raises when the store cannot be written.
    void SaveToRegistry() const;

    // Simulates a click on entry i (1-based), as the menu does.
    void ClickEntry(int position);

    bool RemoveOnClick = true;
    bool AutoSave = true;
    QString AutoSaveName = QStringLiteral("\\Software\\My Application");
    QString AutoSaveKey = QStringLiteral("MRU Items");
    // Raised with the clicked entry (nullptr from ClickEntry without a menu) and the file name.
    std::function<void(QAction *item, const QString &fileName)> OnMRUItemClick;

private:
    void RebuildMenu();
    void RemoveMenuItems();
    void ItemClicked(TMRUMenuItem *item);

    QStringList fFiles;
    int fMaximum = 5;
    bool fUseSubmenu = false;
    bool fInsertSeparator = true;
    QString fSubmenuName = QStringLiteral("Reopen");
    QPointer<QMenu> fFileMenu;
    bool fLoaded = false;
};
