#pragma once

#include <QItemSelectionModel>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QTableView>
#include <algorithm>
#include <functional>
#include <vector>

// What the show's list windows (cues, chases) share: their look, how a cell hands in its text,
// and Space as GO.

namespace orinsub::app {

/// Whether the show's lists may be edited from the console: not while the desk is locked, nor
/// while it follows another console, whose show it plays.
bool IsShowEditable();

/// The console's colours for a list window: dark panes, a black list, white buttons' text.
QPalette EditorWindowPalette(QPalette look);

/// Hands a cell's text to the show only when the operator typed in its editor: an editor opened
/// and left changes nothing.
class TypedOnlyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};

/// Space in the list is GO, as on the desk, never the start of an edit. The filter lives as
/// long as the list.
void MakeSpaceGo(QAbstractItemView *list);

/// A key that acts in widget: anywhere in its window (Qt::WindowShortcut), or only while it has
/// the focus (Qt::WidgetShortcut: a list whose open cell's editor keeps the key for its text).
void AddKey(QWidget *widget, const QKeySequence &key, Qt::ShortcutContext context,
            std::function<void()> act);

/// Selects in list the row of the item numbered number, or the first one after it (the last
/// when none is), items being the list's rows in ascending number order. A row already selected
/// keeps its current cell: an edit in it may still be closing.
template <class Item>
void SelectNumbered(QTableView *list, const std::vector<Item> &items, int number)
{
    if (items.empty())
        return;
    const auto at = std::lower_bound(items.begin(), items.end(), number,
                                     [](const Item &item, int n) { return item.number < n; });
    const int row =
        std::min(static_cast<int>(at - items.begin()), static_cast<int>(items.size()) - 1);
    if (!list->selectionModel()->isRowSelected(row))
        list->selectRow(row);
    list->scrollTo(list->model()->index(row, 0));
}

/// Tells the operator why an edit was refused once the event that asked is over: a box that
/// opens while a cell's editor closes takes its focus, and the editor would hand in the same
/// text again.
void WarnLater(QWidget *window, const QString &error, const QString &caption);

} // namespace orinsub::app
