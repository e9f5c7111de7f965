// Small routines over list boxes.

#include "browser/support/L1ListBoxes.h"

#include "platform/ui/QtPrompts.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

bool SelectListItem(QAbstractItemView *list, const std::string &text)
{
    if (!list || !list->model())
        return false;
    QAbstractItemModel *model = list->model();
    if (model->rowCount() == 0)
        return false;
    // Names compare without regard to letter case; an entry spelt exactly so comes first.
    const QString wanted = FromCp1252(text);
    QModelIndexList hits = model->match(model->index(0, 0), Qt::DisplayRole, wanted, 1,
                                        Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (hits.isEmpty())
        hits = model->match(model->index(0, 0), Qt::DisplayRole, wanted, 1, Qt::MatchFixedString);
    if (hits.isEmpty())
        return false;
    list->setCurrentIndex(hits.front());
    list->scrollTo(hits.front());
    return true;
}

int SelectListItemAt(QAbstractItemView *list, QPoint point)
{
    if (!list)
        return -1;
    QModelIndex index = list->indexAt(point);
    if (!index.isValid())
        return -1;
    list->setCurrentIndex(index);
    return index.row();
}

std::string SelectedListText(QAbstractItemView *list)
{
    if (!list || !list->selectionModel())
        return {};
    QModelIndex index = list->currentIndex();
    if (!index.isValid() || !list->selectionModel()->isSelected(index))
        return {};
    return ToCp1252(index.data(Qt::DisplayRole).toString());
}

bool ListKeyAsDoubleClick(QAbstractItemView *list, int key, const std::function<void()> &doubleClickHandler)
{
    if (!list || !doubleClickHandler || (key != 13 && key != 32))
        return false;
    doubleClickHandler();
    return true;
}
