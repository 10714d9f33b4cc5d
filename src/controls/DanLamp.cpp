#include "DanLamp.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

void CDanLamp::SetGeometry(int x, int y, int width, int height)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

QRect CDanLamp::GetRect() const
{
    return RectLTRB(m_x - Half(m_width), m_y - Half(m_height), m_x + Half(m_width),
                    m_y + Half(m_height));
}

void CDanLamp::SetState(RowState state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (m_view)
        m_view->InvalidateRect(GetRect().translated(-m_view->GetScrollPosition()));
}

QColor CDanLamp::GetColor() const
{
    const auto index = static_cast<size_t>(m_state);
    return index < m_colors.size() ? m_colors[index] : m_colors[0];
}

void CDanLamp::Draw(QPainter &painter) const
{
    const QRect r = GetRect();
    painter.fillRect(r, GetColor());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setFont(ConsoleFont(120));
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_text);
}

} // namespace orinsub::controls
