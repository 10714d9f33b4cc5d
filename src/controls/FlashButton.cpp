#include "FlashButton.h"

#include "ConsoleLook.h"
#include "Pane.h"
#include "PushButton.h"

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
    DrawButtonFace(painter, m_rect, m_held ? lit : kFlashButtonFree,
                   m_held ? kFlashCaptionLit : kFlashCaptionFree, kFlashCaptionPointSize,
                   solo ? kSoloCaption : kFlashCaption, m_held);
}

} // namespace orinsub::controls
