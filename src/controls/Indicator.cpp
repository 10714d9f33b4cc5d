#include "Indicator.h"

#include "Pane.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orinsub::controls {

namespace {

const QColor kUnlit(31, 31, 31);
const QColor kFrame(0, 0, 0);

void InvalidateIn(Pane *owner, const QRect &logical)
{
    if (owner)
        owner->InvalidateRect(logical.translated(-owner->GetScrollPosition()));
}

} // namespace

CIndicator::CIndicator(const QRect &logical, const QColor &lit, Pane *owner)
    : m_rect(logical), m_litColour(lit), m_owner(owner)
{
}

void CIndicator::Draw(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(kFrame);
    painter.setBrush(m_lit ? m_litColour : kUnlit);
    painter.drawEllipse(QRectF(m_rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}

void CIndicator::SetLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    InvalidateIn(m_owner, m_rect);
}

CProgressBar::CProgressBar(const QRect &logical, const QColor &fill, Pane *owner)
    : m_rect(logical), m_fill(fill), m_owner(owner)
{
}

void CProgressBar::Draw(QPainter &painter) const
{
    painter.fillRect(m_rect, kFrame);
    const QRect inside = m_rect.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, kUnlit);
    painter.fillRect(QRect(inside.topLeft(), QSize(m_filled, inside.height())), m_fill);
}

void CProgressBar::SetShare(double share)
{
    const int filled = static_cast<int>(std::floor(std::clamp(share, 0.0, 1.0) * Inside()));
    if (filled == m_filled)
        return;
    m_filled = filled;
    InvalidateIn(m_owner, m_rect);
}

} // namespace orinsub::controls
