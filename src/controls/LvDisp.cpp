#include "LvDisp.h"

#include "ConsoleLook.h"
#include "Pane.h"
#include "model/LevelPercent.h"

#include <QPainter>

namespace orinsub::controls {

QString CLvDisp::Text() const
{
    const int percent = model::LevelPercent(m_level);
    if (percent == 0)
        return m_zeroText;
    if (percent == 100)
        return m_fullText;
    if (percent < 10 && m_smallWithLeadingZero)
        return QStringLiteral("0%1").arg(percent);
    return QString::number(percent);
}

void CLvDisp::Draw(QPainter &painter) const
{
    painter.fillRect(m_rect, m_backColor);
    painter.setFont(ConsoleFont(m_pointSize));
    painter.setPen(m_textColor);
    painter.drawText(m_rect, Qt::AlignCenter | Qt::TextSingleLine, Text());
}

void CChanLvDisp::SetLevel(uint8_t level)
{
    StoreLevel(level);
    Invalidate();
}

bool CChanLvDisp::StoreLevel(uint8_t level)
{
    if (m_level == level)
        return false;
    m_level = level;
    return true;
}

void CChanLvDisp::Invalidate() const
{
    if (m_view)
        m_view->InvalidateRect(m_rect.translated(-m_view->GetScrollPosition()));
}

} // namespace orinsub::controls
