#include "Cross1Fader.h"

#include "CrossFader.h"
#include "Geometry.h"

namespace orinsub::controls {

void CCross1Fader::SetSelected(bool select, QPoint point)
{
    CMasterFader::SetSelected(select, point);
    if (m_owner)
        m_owner->OnHandleSelected(select, point);
}

void CCross1Fader::DragTo(QPoint point)
{
    MoveTo(DragLevel(point));
}

void CCross1Fader::MoveTo(uint8_t level)
{
    MoveKnobTo(level);
    if (m_owner)
        m_owner->OnHandleMoved(m_handleIndex, m_level);
}

void CCross1Fader::SetBitmaps(int normal, int linkedNormal, int selected, int linkedSelected)
{
    m_bmpNormal = normal;
    m_bmpLinkedNormal = linkedNormal;
    m_bmpSelected = selected;
    m_bmpLinkedSelected = linkedSelected;
    SetBitmap(normal);
    SetSelectedBitmap(selected);
}

void CCross1Fader::UseLinkedBitmaps(bool linked)
{
    SetBitmap(linked ? m_bmpLinkedNormal : m_bmpNormal);
    SetSelectedBitmap(linked ? m_bmpLinkedSelected : m_bmpSelected);
}

void CCross1Fader::SetFollowing(bool follow, QPoint point)
{
    m_following = follow;
    if (follow)
        Grab(point);
    Invalidate(GetKnobRect());
}

void CCross1Fader::SetHandleGeometry(int x, int y, int travel, int width, int height, int knobSize)
{
    SetGeometry(x, y, travel, width, height);
    m_knobOffsetX = Half(width) - Half(knobSize);
    if (m_inverted)
        m_knobOffsetX = -m_knobOffsetX;
}

int CCross1Fader::CurrentBitmap() const
{
    return m_following ? m_selBitmapId : CMasterFader::CurrentBitmap();
}

} // namespace orinsub::controls
