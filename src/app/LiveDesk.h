#pragma once

#include "model/LiveState.h"

namespace orinsub::app {

class CMainFrame;

/// The desk's live state as the panes of frame show it, with where the cue list stands and the
/// look on the output (the show's path left empty).
model::LiveState CaptureLiveState(const CMainFrame &frame);

/// Puts a live state back on the desk, as the operator's hands would have: the rows, the
/// crossfader with its link and the row last on air, the sub faders with the sub-masters they
/// play and the page shown, the grand master, blackout, the fade time and the input take-overs;
/// then the cue list's switch and the cue on stage, a fade running on from where it was and a
/// waiting follow. The output follows at once. The show's path is not the desk's business.
void RestoreLiveState(CMainFrame &frame, const model::LiveState &state);

} // namespace orinsub::app
