#pragma once
// Stand-ins for the main window's six all-names lists: list views over item models whose rows
// carry an attached object in Qt::UserRole, as the browser's list models do.

#include "browser/app/C1QuillmarkBrowser_SearchDialog.h"
#include "browser/support/L1ListBoxes.h"
#include "platform/core/Exception.h"
#include "platform/ui/QtPrompts.h"

#include <QListView>
#include <QStandardItemModel>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace fixture {

// The object attached to a source row.
inline quintptr ObjectOf(int row) { return 0x1000 + quintptr(row); }

inline void Fill(QStandardItemModel &model, const std::vector<std::string> &names)
{
    model.clear();
    for (size_t i = 0; i < names.size(); ++i) {
        auto *item = new QStandardItem(FromCp1252(names[i]));
        item->setData(QVariant::fromValue(ObjectOf(int(i))), Qt::UserRole);
        model.appendRow(item);
    }
}

// The owner window with one source list per kind.
struct Sources {
    QWidget owner;
    std::array<QStandardItemModel *, L0NameKindCount> models{};
    std::array<QListView *, L0NameKindCount> lists{};

    Sources()
    {
        for (int k = 0; k < L0NameKindCount; ++k) {
            lists[size_t(k)] = new QListView(&owner);
            models[size_t(k)] = new QStandardItemModel(lists[size_t(k)]);
            lists[size_t(k)]->setModel(models[size_t(k)]);
        }
    }
    void Set(TL0NameKind kind, const std::vector<std::string> &names) { Fill(*models[size_t(kind)], names); }
    void BindTo(TqmkbSearchDialog &dialog)
    {
        for (int k = 0; k < L0NameKindCount; ++k)
            dialog.SetListBox(TL0NameKind(k), lists[size_t(k)]);
    }
};

// The texts a result list shows, in order.
inline std::vector<std::string> Texts(const QAbstractItemModel &model)
{
    std::vector<std::string> texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.push_back(ToCp1252(model.data(model.index(row, 0)).toString()));
    return texts;
}

// n names "Prefix0" ... in order.
inline std::vector<std::string> Numbered(const std::string &prefix, int n, int from = 0)
{
    std::vector<std::string> names;
    for (int i = from; i < from + n; ++i)
        names.push_back(prefix + std::to_string(i));
    return names;
}

} // namespace fixture
