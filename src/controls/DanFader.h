#pragma once

#include "Fader.h"
#include "LvDisp.h"

namespace orinsub::controls {

class CDan;

/// A channel fader of a preset row: its channel and row, a percent readout, an absolute drag
/// (the knob jumps to the mouse) and an activity countdown that keeps the readout shown for a
/// while after the DMX input moved the fader.
class CDanFader : public CFader
{
public:
    CDanFader();

    /// Stores the level in the fader and its readout; no repaint.
    void SetLevel(uint8_t level) override;
    /// Also starts (true) or ends a sweep on the row, and repaints the readout.
    void SetSelected(bool select, QPoint point) override;
    /// Ticks, groove and knob; places the readout (drawn later by DrawReadout, on top).
    void Draw(QPainter &painter) const override;
    /// Draws the readout where the last Draw placed it.
    void DrawReadout(QPainter &painter) const;
    /// The mouse takes the fader back from the DMX input and sets the level from the pointer
    /// (client point): the bottom end of the travel is 0, the top end 255.
    void DragTo(QPoint point);
    /// Takes the fader back from the DMX input and sets the level, as a drag does.
    void MoveTo(uint8_t level);
    /// Sets the level and repaints what changed. A hooked fader's activity restarts at 15 when
    /// the level changes and counts down when it does not.
    void SetLevelAndRedraw(uint8_t level);
    void SetRow(CDan *row) { m_row = row; }
    CDan *GetRow() const { return m_row; }
    void SetChannel(int channel) { m_channel = channel; }
    int GetChannel() const { return m_channel; }
    /// The track's left and right edges, logical coordinates.
    int GetLeft() const { return m_x - m_width / 2; }
    int GetRight() const { return m_x + m_width / 2; }
    /// Above 0: the readout sits at the top of the track instead of on the knob.
    void SetReadoutAtTop(int atTop) { m_readoutAtTop = atTop; }
    /// The readout box, logical coordinates: 6 pixels below the top of the track when at the
    /// top, else on the knob; 12 pixels narrower and 2 shorter than the knob.
    QRect GetReadoutRect() const { return PlaceReadout(); }

    /// Ticks left during which the readout stays shown after an input-driven change.
    int m_activity = 0;

private:
    QRect PlaceReadout() const;
    void InvalidateReadout() const;

    CDan *m_row = nullptr;
    int m_channel = 0;
    mutable CLvDisp m_readout; // its box follows the knob, so Draw places it
    int m_readoutAtTop = 0;
};

} // namespace orinsub::controls
