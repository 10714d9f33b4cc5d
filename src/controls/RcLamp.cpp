#include "RcLamp.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

CRcLamp::CRcLamp(int left, int top, int right, int bottom, const QString &text, Pane *owner)
    : m_rect(RectLTRB(left, top, right, bottom)), m_text(text), m_owner(owner)
{
}

QColor CRcLamp::CurrentFill() const
{
    if (m_on)
        return m_hover ? m_fillHover : m_fillOn;
    return m_fillOff;
}

void CRcLamp::SetOn(bool on)
{
    const bool hover = on && m_hover;
    if (on == m_on && hover == m_hover)
        return;
    m_on = on;
    m_hover = hover;
    Invalidate();
}

void CRcLamp::SetHover(bool hover)
{
    if (hover == m_hover)
        return;
    m_hover = hover;
    Invalidate();
}

void CRcLamp::Invalidate() const
{
    if (m_owner)
        m_owner->InvalidateRect(m_rect.translated(-m_owner->GetScrollPosition()));
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
    : CRcLamp(4, top, 24, bottom, text, owner)
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
    const QRect rect = GetRect();
    const int l = rect.x(), t = rect.y(), r = RightOf(rect), b = BottomOf(rect);
    painter.setPen(QColor(233, 233, 233));
    if (IsOn()) {
        painter.drawLine(l + 2, b - 2, r - 2, b - 2);
        painter.drawLine(r - 2, b - 2, r - 2, t + 2);
    } else {
        // Kept one pixel inside the exclusive edges, so the button's own repaint covers it.
        painter.drawLine(l, b - 1, l, t);
        painter.drawLine(l, t, r - 1, t);
    }
}

} // namespace orinsub::controls
