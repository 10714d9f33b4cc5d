#pragma once

namespace orinsub::views {

/// Undo of the last section copy: swaps the registered undo record with the present state of
/// its target (a preset row, or the sub-master of the page shown with the record's number), so
/// that the next Undo redoes the copy; then recomputes the output. An empty record does nothing.
void UndoLastEdit();

} // namespace orinsub::views
