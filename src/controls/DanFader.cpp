#include "DanFader.h"

#include "Dan.h"
#include "Geometry.h"

#include <algorithm>

namespace orinsub::controls {

namespace {
constexpr int kActivityTicks = 15;
} // namespace

CDanFader::CDanFader() = default;

void CDanFader::SetLevel(uint8_t level)
{
    m_level = level;
    m_readout.SetLevel(level);
}

void CDanFader::InvalidateReadout() const
{
    if (m_readoutAtTop > 0)
        Invalidate(PlaceReadout().translated(-ScrollPosition()));
}

void CDanFader::SetSelected(bool select, QPoint)
{
    if (m_row)
        m_row->SetSweep(select);
    m_selected = select;
    Invalidate(GetKnobRect());
    InvalidateReadout();
}

QRect CDanFader::PlaceReadout() const
{
    QRect r = KnobRectLogical();
    if (m_readoutAtTop > 0) {
        const int top = m_y - Half(m_height) + 6;
        r = RectLTRB(r.x(), top, RightOf(r), top + m_knobHeight);
    }
    return r.adjusted(6, 1, -6, -1);
}

void CDanFader::Draw(QPainter &painter) const
{
    CFader::Draw(painter);
    m_readout.SetRect(PlaceReadout());
}

void CDanFader::DrawReadout(QPainter &painter) const
{
    m_readout.Draw(painter);
}

void CDanFader::DragTo(QPoint point)
{
    const int level = (Half(m_travel) + m_y - ScrollPosition().y() - point.y()) * 255 / m_travel;
    MoveTo(static_cast<uint8_t>(std::clamp(level, 0, 255)));
}

void CDanFader::MoveTo(uint8_t level)
{
    SetHooked(false);
    SetLevelAndRedraw(level);
}

void CDanFader::SetLevelAndRedraw(uint8_t level)
{
    const int activityBefore = m_activity;
    if (m_hooked) {
        if (level == m_level) {
            if (m_activity > 0)
                --m_activity;
        } else {
            m_activity = kActivityTicks;
        }
    }
    // Repaint only what shows a difference: the knob when the level moved, the readout also
    // when its countdown has just hidden it. The input feeds every hooked fader 100 times a
    // second, mostly with the level it already has.
    if (level == m_level && !(activityBefore > 0 && m_activity == 0))
        return;
    const QRect before = GetKnobRect();
    SetLevel(level);
    Invalidate(before.united(GetKnobRect()));
    InvalidateReadout();
}

} // namespace orinsub::controls
