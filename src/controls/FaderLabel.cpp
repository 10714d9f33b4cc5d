#include "FaderLabel.h"

#include "MyEdit.h"

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

} // namespace orinsub::controls
