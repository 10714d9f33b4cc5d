#pragma once

#include "surfaces/ControlTarget.h"

namespace orinsub::controls {
class CFader;
}

namespace orinsub::views {
class CuePlayback;
}

namespace orinsub::app {

/// What each target of the control catalogue does on the console's panes (reached through
/// g_orin; a missing pane reads 0 and takes no moves). The one way the surfaces' desk, the menu
/// commands and the console's keys play the desk, so each of them meets the same rules (GO's
/// bounce guard, a running fade, blackout at once from a button). UI thread only.
class DeskTargets
{
public:
    /// The cue playback the cue targets play (not owned; null: they read 0 and do nothing).
    void SetCuePlayback(views::CuePlayback *cues) { m_cues = cues; }
    views::CuePlayback *GetCuePlayback() const { return m_cues; }

    /// As surfaces::Desk describes them.
    int Value(const surfaces::ControlTarget &target) const;
    void Move(const surfaces::ControlTarget &target, int value);
    void MoveCrossfader(int levelA, int levelB);
    void Press(const surfaces::ControlTarget &target, bool down);
    void SetPickUpMark(const surfaces::ControlTarget &target, int level);

private:
    views::CuePlayback *m_cues = nullptr;
};

} // namespace orinsub::app
