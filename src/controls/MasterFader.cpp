#include "MasterFader.h"

#include <algorithm>

namespace orinsub::controls {

int CMasterFader::s_grabY = 0;

void CMasterFader::Grab(QPoint point)
{
    m_grabLevel = m_level;
    s_grabY = point.y();
}

void CMasterFader::SetSelected(bool select, QPoint point)
{
    if (select)
        Grab(point);
    CFader::SetSelected(select, point);
}

uint8_t CMasterFader::DragLevel(QPoint point) const
{
    int delta = (point.y() - s_grabY) * 255 / m_travel;
    if (m_inverted)
        delta = -delta;
    return static_cast<uint8_t>(std::clamp(m_grabLevel - delta, 0, 255));
}

void CMasterFader::MoveKnobTo(uint8_t level)
{
    const QRect before = GetKnobRect();
    m_level = level;
    Invalidate(before.united(GetKnobRect()));
}

} // namespace orinsub::controls
