#pragma once

#include <QPoint>
#include <QRect>

namespace orinsub::controls {

/// What a drawn control needs of the pane it lives in. Controls keep their geometry in the
/// pane's logical coordinates; client coordinates are logical minus the scroll position.
class Pane
{
public:
    virtual ~Pane() = default;
    /// The logical point shown at the client's top-left corner; (0, 0) in panes that never scroll.
    virtual QPoint GetScrollPosition() const = 0;
    /// Asks for a repaint of this client rectangle (nothing is erased first).
    virtual void InvalidateRect(const QRect &client) = 0;
    /// The visible client area, at (0, 0).
    virtual QRect GetClientRect() const = 0;
};

} // namespace orinsub::controls
