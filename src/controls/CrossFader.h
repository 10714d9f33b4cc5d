#pragma once

#include "Cross1Fader.h"

#include <functional>

namespace orinsub::controls {

class Pane;

/// The A/B crossfader: two handles, A not inverted (starts at 0) and B inverted (starts at 255),
/// so that with both knobs at the bottom row B is on air and moving both up fades to row A.
/// Linked, grabbing either knob drags both from the same grab point, each clamping by itself.
class CCrossFader
{
public:
    /// Told after every drag step of a handle: its index (0 A, 1 B) and new level.
    using MovedHandler = std::function<void(int handle, uint8_t level)>;

    CCrossFader();

    /// Eight artwork ids: A's normal, linked normal, selected, linked selected, then B's.
    void SetBitmaps(const int (&ids)[8]);
    /// Places the handles side by side in a track area of the given width centred on x, and
    /// puts handle B at 255 (no repaint).
    void SetGeometry(int x, int y, int travel, int width, int height);
    /// Both handles, the scales, the "A" and "B" captions and, linked, the bar between the knobs.
    void Draw(QPainter &painter) const;
    /// Drags every selected or following handle (A first) and repaints the link bar.
    void DragTo(QPoint point);
    /// Puts handle A and B at these levels as a drag step would (reported to the moved
    /// handler, A first) and repaints the link bar.
    void MoveHandlesTo(uint8_t levelA, uint8_t levelB);
    bool IsLinked() const { return m_linked; }
    /// Links or unlinks; linking in the middle of a drag takes the other handle along from the
    /// cursor (client point) on.
    void SetLinked(bool linked, QPoint cursor);
    void ToggleLink(QPoint cursor) { SetLinked(!m_linked, cursor); }
    /// Called by a handle when it is grabbed or released: starts or ends the linked follow.
    void OnHandleSelected(bool select, QPoint point);
    /// Called by a handle after each drag step.
    void OnHandleMoved(int handle, uint8_t level);
    bool IsHandleGrabbed() const { return m_handleGrabbed; }
    void SetView(Pane *view);
    void SetMovedHandler(MovedHandler handler) { m_onMoved = std::move(handler); }
    /// The bar between the two knobs, logical coordinates.
    QRect GetLinkRect() const;
    CCross1Fader *GetHandleA() { return &m_handleA; }
    CCross1Fader *GetHandleB() { return &m_handleB; }
    const CCross1Fader *GetHandleA() const { return &m_handleA; }
    const CCross1Fader *GetHandleB() const { return &m_handleB; }

private:
    void InvalidateLogical(const QRect &logical) const;

    Pane *m_view = nullptr;
    CCross1Fader m_handleA;
    CCross1Fader m_handleB;
    bool m_linked = false;
    bool m_handleGrabbed = false;
    int m_knobSize = 42; // the linked knobs' width: the handles' knobs meet in the middle
    MovedHandler m_onMoved;
};

} // namespace orinsub::controls
