#pragma once
// Small routines over list boxes (any item view over a one-column model).

#include <QPoint>

#include <functional>
#include <string>

class QAbstractItemView;

// Selects the entry with that text, letter case ignored (an entry spelt exactly so first); gives
// whether it exists.
bool SelectListItem(QAbstractItemView *list, const std::string &text);
// Selects the entry under the point (viewport coordinates); gives its row or -1.
int SelectListItemAt(QAbstractItemView *list, QPoint point);
// The selected entry's text; empty when nothing valid is selected or on any error.
std::string SelectedListText(QAbstractItemView *list);
// For Enter (13) or Space (32) on a list with a double-click handler: runs it and gives true.
bool ListKeyAsDoubleClick(QAbstractItemView *list, int key, const std::function<void()> &doubleClickHandler);
