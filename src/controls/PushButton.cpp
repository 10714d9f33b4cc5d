#include "PushButton.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

void DrawButtonFace(QPainter &painter, const QRect &rect, const QColor &fill,
                    const QColor &captionColour, int pointSize, const QString &caption,
                    bool pressed)
{
    painter.fillRect(rect, fill);
    painter.setFont(ConsoleFont(pointSize));
    painter.setPen(captionColour);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, caption);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    const int l = rect.x() + 1, t = rect.y() + 1;
    const int r = RightOf(rect) - 2, b = BottomOf(rect) - 2;
    painter.setPen(kFlashBevel);
    if (pressed) {
        painter.drawLine(l + 1, b, r, b);
        painter.drawLine(r, b, r, t + 1);
    } else {
        painter.drawLine(l, b, l, t);
        painter.drawLine(l, t, r, t);
    }
}

CPushButton::CPushButton(const QRect &logical, const QString &caption, const ButtonLook &look,
                         Pane *owner)
    : m_rect(logical), m_caption(caption), m_look(look), m_owner(owner)
{
}

void CPushButton::Draw(QPainter &painter) const
{
    DrawButtonFace(painter, m_rect, m_lit ? m_look.lit : m_look.free,
                   m_lit ? m_look.captionLit : m_look.captionFree, m_look.pointSize, m_caption,
                   m_pressed);
}

void CPushButton::SetPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    Invalidate();
}

void CPushButton::SetLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    Invalidate();
}

void CPushButton::Invalidate() const
{
    if (m_owner)
        m_owner->InvalidateRect(m_rect.translated(-m_owner->GetScrollPosition()));
}

} // namespace orinsub::controls
