// The recent-files list and its menu entries.
#include "browser/app/MRUList.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/core/Exception.h"
#include "platform/ui/Settings.h"

#include <QMenu>
#include <QMenuBar>

#include <algorithm>

TMRUMenuItem::TMRUMenuItem(TMRUFileList *owner, int position, QObject *parent)
    : QAction(parent), fOwner(owner), fPosition(position)
{
}

TMRUFileList::TMRUFileList(QObject *parent) : QObject(parent) {}

TMRUFileList::~TMRUFileList()
{
    RemoveMenuItems();
    // Only a list that was loaded is saved: one that never was would wipe the stored entries.
    if (AutoSave && fLoaded) {
        try {
            SaveToRegistry();
        } catch (const std::exception &e) {
            DebugWindow().WriteError(std::string("The recent files could not be saved: ") + e.what());
        }
    }
}

void TMRUFileList::AddFile(const QString &fileName)
{
    auto same = [&](const QString &f) { return f.compare(fileName, Qt::CaseInsensitive) == 0; };
    auto found = std::find_if(fFiles.begin(), fFiles.end(), same);
    if (found != fFiles.end()) {
        QString existing = *found;
        fFiles.erase(found);
        fFiles.prepend(existing);
    } else {
        fFiles.prepend(fileName);
        while (fFiles.size() > fMaximum)
            fFiles.removeLast();
    }
    RebuildMenu();
}

void TMRUFileList::SetMaximum(int maximum)
{
    maximum = std::clamp(maximum, 0, 255);
    bool lower = maximum < fMaximum;
    fMaximum = maximum;
    if (lower) {
        while (fFiles.size() > fMaximum)
            fFiles.removeLast();
        RebuildMenu();
    }
}

void TMRUFileList::SetUseSubmenu(bool on)
{
    fUseSubmenu = on;
    RebuildMenu();
}

void TMRUFileList::SetInsertSeparator(bool on)
{
    fInsertSeparator = on;
    RebuildMenu();
}

void TMRUFileList::SetSubmenuName(const QString &name)
{
    fSubmenuName = name;
    if (fUseSubmenu)
        RebuildMenu();
}

void TMRUFileList::SetFileMenu(QMenu *menu)
{
    RemoveMenuItems();
    fFileMenu = menu;
    RebuildMenu();
}

void TMRUFileList::Loaded()
{
    fLoaded = true;
    if (AutoSave)
        LoadFromRegistry();
}

void TMRUFileList::LoadFromRegistry()
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return;
    auto settings = OpenSettings((AutoSaveName + QLatin1Char('\\') + AutoSaveKey).toStdString());
    if (!settings)
        return;
    // Values in the order they were written: "F0", "F1", ... (the store lists "F10" before "F2").
    QStringList keys = settings->childKeys();
    auto order = [](const QString &key) {
        bool ok = false;
        int n = key.mid(1).toInt(&ok);
        return key.startsWith(QLatin1Char('F')) && ok ? n : INT_MAX;
    };
    std::stable_sort(keys.begin(), keys.end(), [&](const QString &a, const QString &b) { return order(a) < order(b); });
    fFiles.clear();
    for (const QString &key : keys) {
        if (fFiles.size() >= fMaximum)
            break;
        fFiles.append(settings->value(key).toString());
    }
    RebuildMenu();
}

void TMRUFileList::SaveToRegistry() const
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return;
    auto settings = OpenSettings((AutoSaveName + QLatin1Char('\\') + AutoSaveKey).toStdString());
    if (!settings)
        return;
    settings->remove(QString());
    for (int i = 0; i < fFiles.size(); ++i)
        settings->setValue(QStringLiteral("F%1").arg(i), fFiles[i]);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw Exception("The settings file " + settings->fileName().toStdString() + " could not be written.");
}

void TMRUFileList::ClickEntry(int position)
{
    if (position < 1 || position > fFiles.size())
        return;
    QAction *item = nullptr;
    if (fFileMenu) {
        for (QAction *a : fFileMenu->findChildren<TMRUMenuItem *>())
            if (static_cast<TMRUMenuItem *>(a)->Position() == position)
                item = a;
    }
    QString fileName = fFiles[position - 1];
    if (RemoveOnClick) {
        fFiles.removeAt(position - 1);
        RebuildMenu();
        item = nullptr; // rebuilt
    }
    if (OnMRUItemClick)
        OnMRUItemClick(item, fileName);
}

void TMRUFileList::ItemClicked(TMRUMenuItem *item)
{
    int position = item->Position();
    if (position < 1 || position > fFiles.size())
        return;
    QString fileName = fFiles[position - 1];
    if (RemoveOnClick) {
        fFiles.removeAt(position - 1);
        // The clicked action is deleted by the rebuild: rebuild once the click has been delivered.
        QMetaObject::invokeMethod(this, [this] { RebuildMenu(); }, Qt::QueuedConnection);
    }
    if (OnMRUItemClick)
        OnMRUItemClick(item, fileName);
}

void TMRUFileList::RemoveMenuItems()
{
    // Every entry, the separator and the submenu item are children of the file menu.
    if (!fFileMenu)
        return;
    for (TMRUMenuItem *item : fFileMenu->findChildren<TMRUMenuItem *>(Qt::FindDirectChildrenOnly)) {
        if (item->Owner() != this)
            continue;
        for (QObject *holder : item->associatedObjects())
            if (auto *widget = qobject_cast<QWidget *>(holder))
                widget->removeAction(item);
        delete item;
    }
}

void TMRUFileList::RebuildMenu()
{
    if (!fFileMenu)
        return;
    RemoveMenuItems();
    if (fFiles.isEmpty())
        return;

    // Where the entries go: the end of the file menu when it has items, else the menu holding
    // the file menu, at its place.
    QWidget *holder = fFileMenu;
    QAction *before = nullptr;
    if (fFileMenu->actions().isEmpty()) {
        holder = nullptr;
        for (QObject *o : fFileMenu->menuAction()->associatedObjects())
            if (auto *w = qobject_cast<QWidget *>(o); w && w != fFileMenu)
                holder = w;
        if (!holder)
            return;
        before = fFileMenu->menuAction();
    }
    auto make = [&](int position) {
        auto *item = new TMRUMenuItem(this, position, fFileMenu);
        return item;
    };
    if (fInsertSeparator) {
        TMRUMenuItem *separator = make(0);
        separator->setSeparator(true);
        holder->insertAction(before, separator);
    }
    QWidget *entries = holder;
    QAction *entriesBefore = before;
    if (fUseSubmenu) {
        TMRUMenuItem *submenuItem = make(0);
        submenuItem->setText(fSubmenuName);
        auto *submenu = new QMenu(fFileMenu);
        connect(submenuItem, &QObject::destroyed, submenu, &QObject::deleteLater);
        submenuItem->setMenu(submenu);
        holder->insertAction(before, submenuItem);
        entries = submenu;
        entriesBefore = nullptr;
    }
    for (int i = 0; i < fFiles.size(); ++i) {
        TMRUMenuItem *item = make(i + 1);
        // "&&" shows an ampersand of the path instead of making it an accelerator.
        item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(fFiles[i]).replace(QLatin1Char('&'), QLatin1String("&&"))));
        connect(item, &QAction::triggered, this, [this, item] { ItemClicked(item); });
        entries->insertAction(entriesBefore, item);
    }
}
