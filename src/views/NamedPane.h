#pragma once

#include "ScrollPane.h"

#include <memory>
#include <vector>

namespace orinsub::controls {
class CFaderLabel;
class CMyEdit;
} // namespace orinsub::controls

namespace orinsub::views {

/// A console pane with a row of name boxes (the preset and master panes). Tab and Shift+Tab move
/// along the boxes with wrap-around, Escape gives the focus back to the pane, every key then goes
/// to the console's key dispatcher; the edit commands act on the focused box.
class NamedPane : public ScrollPane
{
public:
    using ScrollPane::ScrollPane;

    /// The name box that has the keyboard focus, or null.
    controls::CMyEdit *GetFocusedNameEdit() const;

    // Edit commands: on the focused name box; Undo without one undoes the last section copy.
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditUndo();
    void OnEditSelectAll();

protected:
    /// The pane's name labels in Tab order.
    virtual const std::vector<std::unique_ptr<controls::CFaderLabel>> &NameLabels() const = 0;
    /// Tab typed while the pane itself has the focus.
    virtual void OnTabInPane() = 0;
    /// The focus has moved to another name box by Tab.
    virtual void OnNameFocusMoved(QWidget *) {}

    void keyPressEvent(QKeyEvent *event) override;

private:
    void MoveNameFocus(bool backwards);
};

} // namespace orinsub::views
