#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <cstdint>

class QPainter;

namespace orinsub::controls {

class Pane;

/// Where a client point falls on a fader. The values are the console's hit-test numbers.
enum class FaderHit : int {
    Track = -1, ///< on the track beside the knob
    None = 0,
    Knob = 1,
};

/// The common base of every fader: one level 0..255 and the mapping between that level and a
/// knob position on a vertical travel. A fader is not a widget: it draws into its pane's painter
/// and is driven by the pane's mouse handlers. Geometry is kept in the pane's logical
/// coordinates; the rectangles it returns are client coordinates (logical minus the pane's
/// scroll position). All divisions truncate toward zero, as the console's numbers expect.
class CFader
{
public:
    CFader() = default;
    virtual ~CFader() = default;
    CFader(const CFader &) = delete;
    CFader &operator=(const CFader &) = delete;

    /// The knob's rectangle, client coordinates.
    virtual QRect GetKnobRect() const;
    /// Centre (x, y) of the travel, its length, and the track area's size. travel must be > 0.
    virtual void SetGeometry(int x, int y, int travel, int width, int height);
    void SetView(Pane *view) { m_view = view; }
    Pane *GetView() const { return m_view; }
    uint8_t GetLevel() const { return m_level; }
    /// Stores the level; no repaint.
    virtual void SetLevel(uint8_t level) { m_level = level; }
    bool IsSelected() const { return m_selected; }
    /// Grabs (true) or releases the knob; point is where the mouse grabbed it (client).
    /// Repaints the knob.
    virtual void SetSelected(bool select, QPoint point);
    /// The normal knob artwork; its size becomes the knob's size.
    void SetBitmap(int id);
    /// The artwork when grabbed or hooked; the same size as the normal one.
    void SetSelectedBitmap(int id) { m_selBitmapId = id; }
    /// Ticks, groove and knob, in logical coordinates.
    virtual void Draw(QPainter &painter) const;
    /// The track area, client coordinates.
    virtual QRect GetTrackRect() const;
    /// The knob wins over the track it lies on.
    FaderHit HitTest(QPoint point) const;
    bool IsHooked() const { return m_hooked; }
    /// Marks the fader as following its DMX input slot; no repaint.
    void SetHooked(bool hooked) { m_hooked = hooked; }
    /// Where a surface fader that has not yet taken this fader over stands (0..255), shown as
    /// a bar across the track so the operator sees which way to move it; -1 for none.
    /// Repaints what changed.
    void SetPickUpMark(int level);
    int GetPickUpMark() const { return m_pickUpMark; }

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    int GetTravel() const { return m_travel; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetKnobHeight() const { return m_knobHeight; }
    int GetKnobOffsetX() const { return m_knobOffsetX; }
    QColor GetGrooveColor() const { return m_grooveColor; }

    /// The DMX input level the pane's pick-up saw at its previous tick (it tells whether the
    /// input crossed the fader's level).
    uint8_t m_lastInput = 0;

protected:
    QPoint ScrollPosition() const;
    /// Repaints a client rectangle of the pane.
    void Invalidate(const QRect &client) const;
    /// The knob rectangle in logical coordinates.
    QRect KnobRectLogical() const;
    /// The knob's centre height for a level, logical coordinates.
    int KnobCentreY(int level) const;
    /// The pick-up mark's bar, logical coordinates (empty without a mark).
    QRect PickUpMarkRect() const;
    /// Draws the knob with the given artwork at its current position.
    void DrawKnob(QPainter &painter, int bitmapId) const;
    /// The artwork the knob shows now.
    virtual int CurrentBitmap() const;

    Pane *m_view = nullptr;
    uint8_t m_level = 0;
    int m_x = 0;
    int m_y = 0;
    int m_travel = 0;
    int m_width = 0;
    int m_height = 0;
    int m_knobOffsetX = 0;
    int m_bitmapId = 0;
    int m_selBitmapId = 0;
    int m_knobWidth = 0;
    int m_knobHeight = 0;
    bool m_inverted = false;
    bool m_selected = false;
    bool m_hooked = false;
    int m_pickUpMark = -1;
    QColor m_grooveColor{0, 0, 0};
};

} // namespace orinsub::controls
