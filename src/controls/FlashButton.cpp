#include "FlashButton.h"

#include "ConsoleLook.h"
#include "Geometry.h"
#include "Pane.h"

#include <QPainter>

namespace orinsub::controls {

CFlashButton::CFlashButton(const QRect &logical, Pane *owner) : m_rect(logical), m_owner(owner) {}

void CFlashButton::SetHeld(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    Invalidate();
}

void CFlashButton::Invalidate() const
{
    if (m_owner)
        m_owner->InvalidateRect(m_rect.translated(-m_owner->GetScrollPosition()));
}

void CFlashButton::Draw(QPainter &painter, bool solo) const
{
    const QColor lit = solo ? kSoloLit : kFlashLit;
    painter.fillRect(m_rect, m_held ? lit : kFlashButtonFree);
    painter.setFont(ConsoleFont(kFlashCaptionPointSize));
    painter.setPen(m_held ? kFlashCaptionLit : kFlashCaptionFree);
    painter.drawText(m_rect, Qt::AlignCenter | Qt::TextSingleLine,
                     solo ? kSoloCaption : kFlashCaption);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
    // Raised while free, pressed in while held, as a push-button moves under a finger. The
    // bevel stays inside the outline, so the button's own repaint covers it.
    const int l = m_rect.x() + 1, t = m_rect.y() + 1;
    const int r = RightOf(m_rect) - 2, b = BottomOf(m_rect) - 2;
    painter.setPen(kFlashBevel);
    if (m_held) {
        painter.drawLine(l + 1, b, r, b);
        painter.drawLine(r, b, r, t + 1);
    } else {
        painter.drawLine(l, b, l, t);
        painter.drawLine(l, t, r, t);
    }
}

} // namespace orinsub::controls
