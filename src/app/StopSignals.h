#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace orinsub::app {

/// Ctrl+C in the terminal (SIGINT) and SIGTERM end the console the way its window's close does,
/// with the question to save a changed show and the link stopped in order, instead of killing it
/// on the spot. One per process.
class CStopSignals : public QObject
{
public:
    /// Calls stop on the UI thread for every SIGINT and SIGTERM from now on.
    explicit CStopSignals(std::function<void()> stop, QObject *parent = nullptr);
    ~CStopSignals() override;

private:
    std::function<void()> m_stop;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace orinsub::app
