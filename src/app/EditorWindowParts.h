#pragma once

#include <QPalette>
#include <QStyledItemDelegate>
#include <functional>

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

/// A key that acts in widget: anywhere in its window (Qt::WindowShortcut), or only while it has
/// the focus (Qt::WidgetShortcut: a list whose open cell's editor keeps the key for its text).
void AddKey(QWidget *widget, const QKeySequence &key, Qt::ShortcutContext context,
            std::function<void()> act);

/// Tells the operator why an edit was refused once the event that asked is over: a box that
/// opens while a cell's editor closes takes its focus, and the editor would hand in the same
/// text again.
void WarnLater(QWidget *window, const QString &error, const QString &caption);

} // namespace orinsub::app
