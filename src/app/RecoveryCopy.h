#pragma once

#include "RecoveryWriter.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

class CRecoverySlot;
class CShowDocument;

/// Keeps a recovery copy of a show with unsaved changes, so that a crash, a killed process or
/// a power cut loses at most the last interval of work. While the show is modified, every
/// interval the show is encoded (on the UI thread, between events: well under a millisecond)
/// and, when it changed since the last copy, written by the worker; once the show is saved,
/// left unsaved or replaced, the copy goes. UI thread only.
class CRecoveryCopy : public QObject
{
public:
    /// The interval of the console: at most this much work is lost.
    static constexpr std::chrono::milliseconds kInterval{30000};

    /// slot, doc and show must outlive it. Starts at once when doc is already modified (a
    /// restored show).
    CRecoveryCopy(std::unique_ptr<CRecoverySlot> slot, const model::COrinSUBDoc &doc,
                  const CShowDocument &show, std::chrono::milliseconds interval = kInterval);
    ~CRecoveryCopy() override;

    /// A normal close: the copy goes, whether the show was saved or not. Waits for the disk.
    void Discard();
    /// A stop that asks nothing: the copy holds the show as it is now (none for an unmodified
    /// show), for the next start to offer, and stays whatever happens after. Waits for the disk.
    void KeepForNextStart();
    /// Waits until the worker has done what was asked so far.
    void WaitForDisk();

private:
    void ModifiedChanged(bool modified);
    void WriteIfChanged();

    std::unique_ptr<CRecoverySlot> m_slot;
    const model::COrinSUBDoc &m_doc;
    const CShowDocument &m_show;
    CRecoveryWriter m_writer;
    QTimer m_timer;
    QByteArray m_written;   // what the copy holds now; empty when there is none
    int m_failedWrites = 0; // as far as seen: a failed write is tried again
    bool m_kept = false;
};

} // namespace orinsub::app
