#include "StateReport.h"

namespace orinsub::app {

CStateReport::CStateReport(Print print, QObject *parent)
    : QObject(parent), m_print(std::move(print))
{
    connect(&m_poll, &QTimer::timeout, this, &CStateReport::Poll);
    m_poll.start(kPollMs);
}

void CStateReport::Watch(std::function<QString()> read)
{
    m_parts.push_back({std::move(read), {}});
    Poll();
}

void CStateReport::Poll()
{
    for (Part &part : m_parts) {
        QString now = part.read();
        if (now == part.last)
            continue;
        part.last = std::move(now);
        if (!part.last.isEmpty())
            m_print(part.last);
    }
}

} // namespace orinsub::app
