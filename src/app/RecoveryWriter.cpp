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

CRecoveryWriter::CRecoveryWriter(QStringList files)
    : m_files(std::move(files)), m_worker([this] { Run(); })
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

void CRecoveryWriter::Write(QList<QByteArray> contents)
{
    Post({Kind::Write, std::move(contents)});
}

void CRecoveryWriter::Remove()
{
    Post({Kind::Remove, {}});
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
            written = WriteFiles(request.contents);
        else
            RemoveFiles();
        lock.lock();
        m_running = false;
        if (!written)
            ++m_failedWrites;
        m_changed.notify_all();
    }
}

bool CRecoveryWriter::WriteFiles(const QList<QByteArray> &contents) const
{
    for (qsizetype i = 0; i < m_files.size() && i < contents.size(); ++i) {
        if (!model::SaveBytesAtomically(m_files[i], contents[i]).IsOk())
            return false;
    }
    return true;
}

void CRecoveryWriter::RemoveFiles() const
{
    for (auto file = m_files.rbegin(); file != m_files.rend(); ++file)
        QFile::remove(*file);
    if (!m_files.isEmpty())
        SyncFolder(m_files.front());
}

} // namespace orinsub::app
