#include "NamedPane.h"

#include "ConsoleKeys.h"
#include "UndoLastEdit.h"
#include "controls/FaderLabel.h"
#include "controls/KeyState.h"
#include "controls/MyEdit.h"

#include <QKeyEvent>

namespace orinsub::views {

controls::CMyEdit *NamedPane::GetFocusedNameEdit() const
{
    for (const auto &label : NameLabels()) {
        if (label->GetEdit()->hasFocus())
            return label->GetEdit();
    }
    return nullptr;
}

void NamedPane::MoveNameFocus(bool backwards)
{
    const auto &labels = NameLabels();
    controls::CMyEdit *focused = GetFocusedNameEdit();
    const int count = static_cast<int>(labels.size());
    for (int i = 0; i < count; ++i) {
        if (labels[i]->GetEdit() != focused)
            continue;
        controls::CMyEdit *next = labels[(i + (backwards ? count - 1 : 1)) % count]->GetEdit();
        next->setFocus(Qt::TabFocusReason);
        next->SelectAllText();
        OnNameFocusMoved(next);
        return;
    }
}

void NamedPane::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (tab) {
        if (hasFocus())
            OnTabInPane();
        else if (GetFocusedNameEdit())
            MoveNameFocus(key == Qt::Key_Backtab || controls::Keys().IsShiftDown());
    } else if (key == Qt::Key_Escape) {
        setFocus(Qt::OtherFocusReason);
    }
    DispatchConsoleKey(tab ? Qt::Key_Tab : key, event->isAutoRepeat());
    event->accept();
}

void NamedPane::OnEditCut()
{
    if (controls::CMyEdit *edit = GetFocusedNameEdit())
        edit->cut();
}

void NamedPane::OnEditCopy()
{
    if (controls::CMyEdit *edit = GetFocusedNameEdit())
        edit->copy();
}

void NamedPane::OnEditPaste()
{
    if (controls::CMyEdit *edit = GetFocusedNameEdit())
        edit->paste();
}

void NamedPane::OnEditUndo()
{
    if (controls::CMyEdit *edit = GetFocusedNameEdit())
        edit->undo();
    else
        UndoLastEdit();
}

void NamedPane::OnEditSelectAll()
{
    if (controls::CMyEdit *edit = GetFocusedNameEdit())
        edit->SelectAllText();
}

} // namespace orinsub::views
