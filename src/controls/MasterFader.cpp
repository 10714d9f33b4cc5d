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

void CMasterFader::DragBy(QPoint point)
{
    int delta = (point.y() - s_grabY) * 255 / m_travel;
    if (m_inverted)
        delta = -delta;
    const QRect before = GetKnobRect();
    m_level = static_cast<uint8_t>(std::clamp(m_grabLevel - delta, 0, 255));
    Invalidate(before.united(GetKnobRect()));
}

} // namespace orinsub::controls
