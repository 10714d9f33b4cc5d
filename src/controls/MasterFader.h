#pragma once

#include "Fader.h"

namespace orinsub::controls {

/// A fader dragged relatively: after the grab the knob moves by as much as the mouse, so an
/// off-centre grab does not make it jump. The sub-master faders and the crossfader handles.
class CMasterFader : public CFader
{
public:
    /// When grabbing, remembers the level and the grab's y for DragBy.
    void SetSelected(bool select, QPoint point) override;
    /// Sets the level from the grab level and the mouse's vertical movement since the grab
    /// (client point), clamped to 0..255, and repaints the old and new knob.
    void DragBy(QPoint point);

protected:
    /// Starts a grab at point without changing the selection.
    void Grab(QPoint point);

    int m_grabLevel = 0;
    /// Client y where the current grab began; one grab at a time, and a linked crossfader grabs
    /// both handles at the same point, so one value serves every master fader.
    static int s_grabY;
};

} // namespace orinsub::controls
