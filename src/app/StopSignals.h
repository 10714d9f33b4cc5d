#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace orinsub::app {

/// Ctrl+C in the terminal (SIGINT) and SIGTERM from a service manager end the console without
/// asking anything: whoever sends them may not be there to answer. One per process.
class CStopSignals : public QObject
{
public:
    /// From now on a stop signal ends the process at once with status 0: while the console
    /// starts, the files of the last run are still as they were, for the next start to offer.
    explicit CStopSignals(QObject *parent = nullptr);
    ~CStopSignals() override;

    /// From now on a stop signal calls stop on the UI thread instead, from the event loop (a
    /// modal one included).
    void CallOnSignal(std::function<void()> stop);

private:
    std::function<void()> m_stop;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace orinsub::app
