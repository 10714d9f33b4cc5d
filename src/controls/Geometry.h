#pragma once

#include <QPoint>
#include <QRect>

namespace orinsub::controls {

// The console's geometry works on rectangles given by their edges, right and bottom exclusive,
// and halves that truncate toward zero. These helpers keep that arithmetic in one place.

inline constexpr int Half(int v)
{
    return v / 2;
}

/// The rectangle from (left, top) up to, not including, (right, bottom).
inline QRect RectLTRB(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
/// The exclusive right and bottom edges.
inline int RightOf(const QRect &r)
{
    return r.x() + r.width();
}
inline int BottomOf(const QRect &r)
{
    return r.y() + r.height();
}

/// True when the segment a->b passes straight through the rectangle from one side to the
/// opposite side, both ends outside it (all comparisons strict). A segment that starts or ends
/// inside, or cuts a corner, does not count.
inline bool SegmentCrossesRect(QPoint a, QPoint b, const QRect &r)
{
    const int l = r.x(), t = r.y(), rr = RightOf(r), bb = BottomOf(r);
    const bool vertically = ((a.y() < t && b.y() > bb) || (b.y() < t && a.y() > bb)) && l < a.x() &&
                            a.x() < rr && l < b.x() && b.x() < rr;
    const bool horizontally = ((a.x() < l && b.x() > rr) || (b.x() < l && a.x() > rr)) &&
                              t < a.y() && a.y() < bb && t < b.y() && b.y() < bb;
    return vertically || horizontally;
}

} // namespace orinsub::controls
