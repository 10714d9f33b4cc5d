#pragma once

#include "Fader.h"

namespace orinsub::controls {

/// A fader dragged relatively: after the grab the knob moves by as much as the mouse, so an
/// off-centre grab does not make it jump. The sub-master faders and the crossfader handles.
class CMasterFader : public CFader
{
public:
    /// When grabbing, remembers the level and the grab's y for DragLevel.
    void SetSelected(bool select, QPoint point) override;
    /// The level a drag to point (client) gives: the grab level moved by the mouse's vertical
    /// movement since the grab, clamped to 0..255.
    uint8_t DragLevel(QPoint point) const;
    /// Puts the knob at level and repaints the old and new knob.
    void MoveKnobTo(uint8_t level);

protected:
    /// Starts a grab at point without changing the selection.
    void Grab(QPoint point);

    int m_grabLevel = 0;
    /// Client y where the current grab began; one grab at a time, and a linked crossfader grabs
    /// both handles at the same point, so one value serves every master fader.
    static int s_grabY;
};

} // namespace orinsub::controls
