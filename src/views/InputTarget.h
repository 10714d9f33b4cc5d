#pragma once

namespace orinsub::views {

/// Where the DMX input takes faders over. The values are the console's own numbers; those of the
/// rows are their row indexes.
enum class InputTarget : int {
    RowA = 0,
    RowB = 1,
    SubMasters = 2,
    None = 3,
};

constexpr bool IsRowTarget(InputTarget target)
{
    return target == InputTarget::RowA || target == InputTarget::RowB;
}

/// The target of row 0 (A) or 1 (B).
constexpr InputTarget RowTarget(int row)
{
    return row == 0 ? InputTarget::RowA : InputTarget::RowB;
}

/// The row index of a row target.
constexpr int TargetRow(InputTarget target)
{
    return target == InputTarget::RowA ? 0 : 1;
}

} // namespace orinsub::views
