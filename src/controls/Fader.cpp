#include "Fader.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "KnobArt.h"
#include "Pane.h"

#include <QPainter>
#include <algorithm>

namespace orinsub::controls {

QPoint CFader::ScrollPosition() const
{
    return m_view ? m_view->GetScrollPosition() : QPoint();
}

void CFader::Invalidate(const QRect &client) const
{
    if (m_view && !client.isEmpty())
        m_view->InvalidateRect(client);
}

int CFader::KnobCentreY(int level) const
{
    const int offset = m_inverted ? ((level + 1) * m_travel) / 255 - Half(m_travel)
                                  : Half(m_travel) - (level * m_travel) / 255;
    return m_y + offset;
}

QRect CFader::KnobRectLogical() const
{
    const int cx = m_x + m_knobOffsetX;
    const int cy = KnobCentreY(m_level);
    return RectLTRB(cx - Half(m_knobWidth), cy - Half(m_knobHeight), cx + Half(m_knobWidth),
                    cy + Half(m_knobHeight));
}

QRect CFader::GetKnobRect() const
{
    return KnobRectLogical().translated(-ScrollPosition());
}

QRect CFader::PickUpMarkRect() const
{
    if (m_pickUpMark < 0)
        return {};
    const int cx = m_x + m_knobOffsetX;
    const int cy = KnobCentreY(m_pickUpMark);
    return RectLTRB(cx - Half(m_knobWidth), cy - 1, cx + Half(m_knobWidth), cy + 2);
}

void CFader::SetPickUpMark(int level)
{
    level = level < 0 ? -1 : std::min(level, 255);
    if (level == m_pickUpMark)
        return;
    const QRect before = PickUpMarkRect();
    m_pickUpMark = level;
    Invalidate(before.united(PickUpMarkRect()).translated(-ScrollPosition()));
}

void CFader::SetGeometry(int x, int y, int travel, int width, int height)
{
    m_x = x;
    m_y = y;
    m_travel = travel;
    m_width = width;
    m_height = height;
}

void CFader::SetSelected(bool select, QPoint)
{
    m_selected = select;
    Invalidate(GetKnobRect());
}

void CFader::SetBitmap(int id)
{
    m_bitmapId = id;
    const QSize size = KnobSize(id);
    m_knobWidth = size.width();
    m_knobHeight = size.height();
}

QRect CFader::GetTrackRect() const
{
    return RectLTRB(m_x - Half(m_width), m_y - Half(m_height), m_x + Half(m_width),
                    m_y + Half(m_height))
        .translated(-ScrollPosition());
}

FaderHit CFader::HitTest(QPoint point) const
{
    if (GetKnobRect().contains(point))
        return FaderHit::Knob;
    return GetTrackRect().contains(point) ? FaderHit::Track : FaderHit::None;
}

int CFader::CurrentBitmap() const
{
    return m_selected || m_hooked ? m_selBitmapId : m_bitmapId;
}

void CFader::DrawKnob(QPainter &painter, int bitmapId) const
{
    painter.drawPixmap(KnobRectLogical().topLeft(), KnobPixmap(bitmapId));
}

void CFader::Draw(QPainter &painter) const
{
    const int left = m_x - Half(m_width);
    const int right = m_x + Half(m_width);
    for (int i = 0; i <= 10; ++i) {
        const int n = 5 - i;
        // The whole sum is truncated, so a mark above the centre rounds up, not towards it.
        const int ty = static_cast<int>(m_y + m_travel / 10.0 * n);
        const bool major = i == 0 || i == 5 || i == 10;
        painter.fillRect(major ? RectLTRB(left, ty - 1, right, ty + 2)
                               : RectLTRB(left, ty, right, ty + 1),
                         kTickColor);
    }
    painter.fillRect(m_x + m_knobOffsetX - 1, m_y - Half(m_travel), 2, m_travel, m_grooveColor);
    if (m_pickUpMark >= 0)
        painter.fillRect(PickUpMarkRect(), kPickUpMarkColor);
    DrawKnob(painter, CurrentBitmap());
}

} // namespace orinsub::controls
