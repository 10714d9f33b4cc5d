#include "FaderLabel.h"

#include "ConsoleLook.h"
#include "MyEdit.h"

#include <QLabel>

namespace orinsub::controls {

CFaderLabel::CFaderLabel() : m_edit(std::make_unique<CMyEdit>()) {}

CFaderLabel::~CFaderLabel() = default;

void CFaderLabel::Create(int x, int y, int width, int height)
{
    if (m_created || !m_parent)
        return;
    m_edit->setParent(m_parent);
    m_edit->setGeometry(x, y, width, height);
    m_edit->ShowText(m_text);
    m_edit->show();
    m_created = true;
}

void CFaderLabel::SetNumber(int number)
{
    m_number = number;
    m_edit->SetNumber(number);
}

void CFaderLabel::SetText(const QString &text)
{
    m_text = text;
    if (m_created)
        m_edit->ShowText(text);
}

void CFaderLabel::ShowText(const QString &text)
{
    if (m_created)
        m_edit->ShowText(text);
}

void CFaderLabel::ShowBadge(const QString &text)
{
    if (!m_badge && text.isEmpty())
        return;
    if (!m_badge) {
        m_badge = new QLabel(m_edit.get());
        m_badge->setFont(ConsoleFont(kBadgePointSize));
        m_badge->setAlignment(Qt::AlignCenter);
        m_badge->setAutoFillBackground(true);
        QPalette colours = m_badge->palette();
        colours.setColor(QPalette::Window, kBadgeBackground);
        colours.setColor(QPalette::WindowText, kBadgeColor);
        m_badge->setPalette(colours);
    }
    // Placed on every call, as the box follows the desk's size; the same place repaints nothing.
    const int height = m_badge->fontMetrics().height();
    m_badge->setGeometry(0, m_edit->height() - height, m_edit->width(), height);
    if (text == m_badgeText)
        return;
    m_badgeText = text;
    m_badge->setText(text);
    m_badge->setVisible(!text.isEmpty());
}

} // namespace orinsub::controls
