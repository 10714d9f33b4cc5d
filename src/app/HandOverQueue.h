#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

namespace orinsub::app {

/// Shows handed over from the desktop wait until the console has started, and while a question
/// or dialog is open: a show opened under an open box would change the show and the page the
/// box speaks of before the operator answers it. Then the waiting shows open in the order they
/// came, each through the usual save question. UI thread only.
class CHandOverQueue : public QObject
{
public:
    /// open opens one show (the show controller's OpenDocumentFile).
    explicit CHandOverQueue(std::function<void(const QString &)> open, QObject *parent = nullptr);

    /// The console has started: shows open from now on.
    void Start();
    /// Opens path now, or as soon as the console has started and no modal box or dialog is open.
    void HandOver(const QString &path);
    /// The shows still waiting.
    int WaitingCount() const { return static_cast<int>(m_waiting.size()); }

private:
    bool MustWait() const;
    void OpenWaiting();

    std::function<void(const QString &)> m_open;
    std::deque<QString> m_waiting;
    QTimer m_retry;
    bool m_started = false;
    bool m_opening = false;
};

} // namespace orinsub::app
