#include "HandOverQueue.h"

#include <QApplication>

namespace orinsub::app {

namespace {

// How often a waiting show looks whether the box is gone: only while one waits.
constexpr int kRetryMs = 100;

} // namespace

CHandOverQueue::CHandOverQueue(std::function<void(const QString &)> open, QObject *parent)
    : QObject(parent), m_open(std::move(open))
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &CHandOverQueue::OpenWaiting);
}

void CHandOverQueue::Start()
{
    m_started = true;
    OpenWaiting();
}

void CHandOverQueue::HandOver(const QString &path)
{
    m_waiting.push_back(path);
    OpenWaiting();
}

bool CHandOverQueue::MustWait() const
{
    return !m_started || QApplication::activeModalWidget() != nullptr;
}

void CHandOverQueue::OpenWaiting()
{
    // A show handed over during another one's save question waits for that one to finish.
    if (m_opening)
        return;
    m_opening = true;
    while (!m_waiting.empty() && !MustWait()) {
        const QString path = m_waiting.front();
        m_waiting.pop_front();
        m_open(path);
    }
    m_opening = false;
    if (!m_waiting.empty() && m_started)
        m_retry.start();
}

} // namespace orinsub::app
