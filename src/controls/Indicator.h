#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace orinsub::controls {

class Pane;

/// A small round lamp that only shows a state (the GO lamp while a fade runs). Not a widget: the
/// pane draws it; it repaints itself in its pane only when it turns on or off.
class CIndicator
{
public:
    CIndicator(const QRect &logical, const QColor &lit, Pane *owner);

    /// Logical coordinates.
    void Draw(QPainter &painter) const;
    QRect GetRect() const { return m_rect; }
    bool IsLit() const { return m_lit; }
    void SetLit(bool lit);

private:
    QRect m_rect; // logical
    QColor m_litColour;
    Pane *m_owner;
    bool m_lit = false;
};

/// A horizontal bar that fills from the left with a share 0..1 (the GO's progress). It repaints
/// only when the filled width changes by a whole pixel.
class CProgressBar
{
public:
    CProgressBar(const QRect &logical, const QColor &fill, Pane *owner);

    /// Logical coordinates.
    void Draw(QPainter &painter) const;
    QRect GetRect() const { return m_rect; }
    /// The filled width in pixels inside the frame.
    int GetFilled() const { return m_filled; }
    void SetShare(double share);

private:
    int Inside() const { return m_rect.width() - 2; }

    QRect m_rect; // logical, frame included
    QColor m_fill;
    Pane *m_owner;
    int m_filled = 0;
};

} // namespace orinsub::controls
