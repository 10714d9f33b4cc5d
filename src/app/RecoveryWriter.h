#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orinsub::app {

/// Writes and removes a recovery copy on a worker thread of its own, so that the disk never
/// holds up the desk. Only the latest request counts: a write still waiting is replaced by the
/// next write or by a removal, and a removal made after a write always wins. Every call is
/// thread-safe and returns at once.
class CRecoveryWriter
{
public:
    /// copy is the copy's file, originalFile the side file that names the show's path.
    CRecoveryWriter(QString copy, QString originalFile);
    /// Finishes the request at hand (a waiting one too), then ends the worker.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter &) = delete;
    CRecoveryWriter &operator=(const CRecoveryWriter &) = delete;

    /// Replaces the copy atomically with show (show-file bytes) made from the show at
    /// originalPath (empty for an untitled show).
    void Write(QByteArray show, QString originalPath);
    /// Removes the copy and its side file.
    void Remove();
    /// Waits until no request is waiting or running.
    void WaitUntilDone();
    /// The writes that failed so far (a full disk, a folder that went away).
    int FailedWrites() const;

private:
    enum class Kind { None, Write, Remove };
    struct Request
    {
        Kind kind = Kind::None;
        QByteArray show;
        QString originalPath;
    };

    void Post(Request request);
    void Run();
    bool WriteCopy(const Request &request) const;
    void RemoveCopy() const;

    const QString m_copy;
    const QString m_originalFile;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Request m_waiting;
    bool m_running = false;
    bool m_stop = false;
    int m_failedWrites = 0;
    std::thread m_worker;
};

} // namespace orinsub::app
