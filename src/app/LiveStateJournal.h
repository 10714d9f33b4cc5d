#pragma once

#include "RecoveryWriter.h"
#include "model/LiveState.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

namespace orinsub::app {

/// Keeps the desk's live state in a file, so that a crash or a power cut does not leave the stage
/// dark at the next start. Told of a change on the desk (every pane's change notice comes here),
/// it reads the desk once the delay has passed (on the UI thread: a few microseconds) and, when
/// that differs from what the file holds, has the worker replace the file atomically. A desk as a
/// console starts holds nothing to bring back: then the file goes. Nothing runs while nothing
/// changes. UI thread only.
class CLiveStateJournal : public QObject
{
public:
    /// At most this long after a change, the change is on its way to the disk.
    static constexpr std::chrono::milliseconds kDelay{500};

    /// path: the file. capture reads the desk. onDisk: what the file holds now (a desk restored
    /// from it), none when there is no file.
    CLiveStateJournal(QString path, std::function<model::LiveState()> capture,
                      std::optional<model::LiveState> onDisk,
                      std::chrono::milliseconds delay = kDelay);
    ~CLiveStateJournal() override;
    CLiveStateJournal(const CLiveStateJournal &) = delete;
    CLiveStateJournal &operator=(const CLiveStateJournal &) = delete;

    /// Something on the desk may have changed: read it within the delay.
    void Changed();
    /// A normal close: the file goes and nothing is written any more. Waits for the disk.
    void Discard();
    /// A stop that asks nothing: the file holds the desk as it is now, for the next start to
    /// offer, and nothing is written or removed any more. Waits for the disk.
    void KeepForNextStart();
    /// Waits until the worker has done what was asked so far.
    void WaitForDisk();

private:
    void WriteIfChanged();

    CRecoveryWriter m_writer;
    QTimer m_timer;
    std::function<model::LiveState()> m_capture;
    std::optional<model::LiveState> m_onDisk; // as far as asked of the worker
    int m_failedWrites = 0;                   // as far as seen: a failed write is tried again
    bool m_discarded = false;                 // or kept: the file is left alone from then on
};

} // namespace orinsub::app
