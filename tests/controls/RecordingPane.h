#pragma once

#include "controls/Pane.h"

#include <QRegion>
#include <vector>

namespace orinsub::testing {

/// A pane that only remembers what the controls asked to repaint.
class RecordingPane : public controls::Pane
{
public:
    QPoint GetScrollPosition() const override { return scroll; }
    void InvalidateRect(const QRect &client) override { invalidated.push_back(client); }
    QRect GetClientRect() const override { return client; }

    QRegion Invalidated() const
    {
        QRegion region;
        for (const QRect &r : invalidated)
            region += r;
        return region;
    }
    bool WasInvalidated(const QRect &r) const { return Invalidated().contains(r); }

    QPoint scroll;
    QRect client{0, 0, 1192, 392};
    std::vector<QRect> invalidated;
};

} // namespace orinsub::testing
