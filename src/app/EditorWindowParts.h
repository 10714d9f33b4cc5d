#pragma once

#include <QPalette>
#include <QStyledItemDelegate>

class QAbstractItemView;

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

} // namespace orinsub::app
