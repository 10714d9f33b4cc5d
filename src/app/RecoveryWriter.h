#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orinsub::app {

/// Writes and removes a set of recovery files on a worker thread of its own, so that the disk
/// never holds up the desk. Only the latest request counts: a write still waiting is replaced by
/// the next write or by a removal, and a removal made after a write always wins. Every call is
/// thread-safe and returns at once.
class CRecoveryWriter
{
public:
    /// files: written in this order (a file that names another comes first, so that the other
    /// is never there without it), removed in the reverse order.
    explicit CRecoveryWriter(QStringList files);
    /// Finishes the request at hand (a waiting one too), then ends the worker.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter &) = delete;
    CRecoveryWriter &operator=(const CRecoveryWriter &) = delete;

    /// Replaces each file atomically with its contents, one per file in the files' order.
    void Write(QList<QByteArray> contents);
    /// Removes every file.
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
        QList<QByteArray> contents;
    };

    void Post(Request request);
    void Run();
    bool WriteFiles(const QList<QByteArray> &contents) const;
    void RemoveFiles() const;

    const QStringList m_files;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Request m_waiting;
    bool m_running = false;
    bool m_stop = false;
    int m_failedWrites = 0;
    std::thread m_worker;
};

} // namespace orinsub::app
