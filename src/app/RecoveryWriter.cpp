#include "RecoveryWriter.h"

#include "model/AtomicSave.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace orinsub::app {

namespace {

/// So that a removal itself survives a power cut.
void SyncFolder(const QString &file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

CRecoveryWriter::CRecoveryWriter(QString copy, QString originalFile)
    : m_copy(std::move(copy)), m_originalFile(std::move(originalFile)), m_worker([this] { Run(); })
{
}

CRecoveryWriter::~CRecoveryWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

void CRecoveryWriter::Write(QByteArray show, QString originalPath)
{
    Post({Kind::Write, std::move(show), std::move(originalPath)});
}

void CRecoveryWriter::Remove()
{
    Post({Kind::Remove, {}, {}});
}

void CRecoveryWriter::Post(Request request)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(request);
    }
    m_changed.notify_all();
}

void CRecoveryWriter::WaitUntilDone()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.kind == Kind::None && !m_running; });
}

int CRecoveryWriter::FailedWrites() const
{
    std::lock_guard lock(m_mutex);
    return m_failedWrites;
}

void CRecoveryWriter::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_waiting.kind != Kind::None; });
        if (m_waiting.kind == Kind::None)
            return; // stopped with nothing left to do
        const Request request = std::exchange(m_waiting, {});
        m_running = true;
        lock.unlock();
        bool written = true;
        if (request.kind == Kind::Write)
            written = WriteCopy(request);
        else
            RemoveCopy();
        lock.lock();
        m_running = false;
        if (!written)
            ++m_failedWrites;
        m_changed.notify_all();
    }
}

// The side file first: a copy is never there without the path of its show.
bool CRecoveryWriter::WriteCopy(const Request &request) const
{
    return model::SaveBytesAtomically(m_originalFile, request.originalPath.toUtf8()).IsOk() &&
           model::SaveBytesAtomically(m_copy, request.show).IsOk();
}

void CRecoveryWriter::RemoveCopy() const
{
    QFile::remove(m_copy);
    QFile::remove(m_originalFile);
    SyncFolder(m_copy);
}

} // namespace orinsub::app
