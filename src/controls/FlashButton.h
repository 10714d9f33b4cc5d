#pragma once

#include <QRect>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A sub-master fader's flash button: a drawn push-button that plays its sub-master while it is
/// held. Its caption tells what a press does ("FLASH", or "SOLO" in solo mode); its lamp lights
/// while held. Not a widget: the pane draws it and hit-tests GetRect; the button repaints itself
/// in its pane when it is pressed or let go.
class CFlashButton
{
public:
    CFlashButton(const QRect &logical, Pane *owner);

    /// Raised and grey when free; pressed and lit (pale yellow, or orange in solo mode) while
    /// held. Logical coordinates.
    void Draw(QPainter &painter, bool solo) const;
    QRect GetRect() const { return m_rect; }
    bool IsHeld() const { return m_held; }
    /// Repaints only on a change.
    void SetHeld(bool held);
    /// Repaints the button (the caption changes with the mode).
    void Invalidate() const;

private:
    QRect m_rect; // logical
    Pane *m_owner;
    bool m_held = false;
};

} // namespace orinsub::controls
