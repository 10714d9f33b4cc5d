#include "RcLamp.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

CRcLamp::CRcLamp(int left, int top, int right, int bottom, const QString &text)
    : m_rect(RectLTRB(left, top, right, bottom)), m_text(text)
{
}

QColor CRcLamp::CurrentFill() const
{
    if (m_on)
        return m_hover ? m_fillHover : m_fillOn;
    return m_fillOff;
}

void CRcLamp::Draw(QPainter &painter) const
{
    painter.fillRect(m_rect, CurrentFill());
    painter.setPen(m_on ? m_textOn : m_textOff);
    painter.setFont(ConsoleFont(m_pointSize));
    painter.drawText(m_rect.adjusted(1, 0, 0, 0), Qt::AlignCenter | Qt::TextSingleLine, m_text);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
}

CInButton::CInButton(int top, int bottom, const QString &text, Pane *owner)
    : CRcLamp(4, top, 24, bottom, text), m_owner(owner)
{
    m_pointSize = 90;
    m_textOn = QColor(0, 0, 0);
    m_textOff = QColor(0, 0, 0);
    m_fillOn = QColor(191, 191, 63);
    m_fillHover = QColor(159, 159, 63);
    m_fillOff = QColor(127, 127, 63);
}

void CInButton::Draw(QPainter &painter) const
{
    CRcLamp::Draw(painter);
    const int l = m_rect.x(), t = m_rect.y(), r = RightOf(m_rect), b = BottomOf(m_rect);
    painter.setPen(QColor(233, 233, 233));
    if (m_on) {
        painter.drawLine(l + 2, b - 2, r - 2, b - 2);
        painter.drawLine(r - 2, b - 2, r - 2, t + 2);
    } else {
        // Kept one pixel inside the exclusive edges, so the button's own repaint covers it.
        painter.drawLine(l, b - 1, l, t);
        painter.drawLine(l, t, r - 1, t);
    }
}

void CInButton::SwitchOff()
{
    m_on = false;
    m_hover = false;
    Invalidate();
}

void CInButton::Invalidate() const
{
    if (m_owner)
        m_owner->InvalidateRect(m_rect.translated(-m_owner->GetScrollPosition()));
}

} // namespace orinsub::controls
