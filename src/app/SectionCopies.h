#pragma once

#include <QString>

namespace orinsub::controls {
class CDan;
class CSubFader;
} // namespace orinsub::controls
namespace orinsub::views {
class CDanConsoleView;
}

namespace orinsub::app {

// The six copies a section drag ends in. Each asks the operator first (not while Shift is held);
// on OK it saves the target in the undo record, copies, repaints and recomputes the output.
// A copy into a sub-master goes to the sub-master of the page shown with the target fader's
// number, marks the show modified, and refreshes the master pane even when declined.
// UI thread only; the panes and the undo record come from g_orin.

/// "A段" for row 0, "B段" for any other.
QString RowLabel(int rowIndex);
/// "サブマスター [PAGE p - No.n] ", the trailing space included.
QString SubMasterLabel(int page, int number);

void CopyRowToRow(const controls::CDan &source, controls::CDan &target);
void CopyOutputToRow(const views::CDanConsoleView &output, controls::CDan &target);
/// The source contributes the sub-master it holds, which may be of another page than the one
/// shown.
void CopySubMasterToRow(const controls::CSubFader &source, controls::CDan &target);
void CopyRowToSubMaster(const controls::CDan &source, controls::CSubFader &target);
void CopyOutputToSubMaster(const views::CDanConsoleView &output, controls::CSubFader &target);
/// All 512 levels and the name.
void CopySubMasterToSubMaster(const controls::CSubFader &source, controls::CSubFader &target);

} // namespace orinsub::app
