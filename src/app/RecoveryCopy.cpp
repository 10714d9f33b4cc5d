#include "RecoveryCopy.h"

#include "RecoverySlot.h"
#include "ShowDocument.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFileWriter.h"

namespace orinsub::app {

CRecoveryCopy::CRecoveryCopy(std::unique_ptr<CRecoverySlot> slot, const model::COrinSUBDoc &doc,
                             const CShowDocument &show, std::chrono::milliseconds interval)
    : m_slot(std::move(slot)), m_doc(doc), m_show(show),
      // The side file first: a copy is never there without the path of its show.
      m_writer({m_slot->OriginalPathFile(), m_slot->CopyPath()})
{
    m_timer.setInterval(interval);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse one may come 5 % late
    connect(&m_timer, &QTimer::timeout, this, &CRecoveryCopy::WriteIfChanged);
    connect(&show, &CShowDocument::ModifiedChanged, this, &CRecoveryCopy::ModifiedChanged);
    if (m_doc.IsModified())
        m_timer.start();
}

CRecoveryCopy::~CRecoveryCopy() = default;

void CRecoveryCopy::ModifiedChanged(bool modified)
{
    if (m_kept)
        return;
    if (modified) {
        if (!m_timer.isActive())
            m_timer.start();
        return;
    }
    m_timer.stop();
    m_written.clear();
    m_writer.Remove();
}

void CRecoveryCopy::WriteIfChanged()
{
    if (!m_doc.IsModified())
        return;
    QByteArray show = model::ShowFileWriter::Encode(m_doc);
    const int failedWrites = m_writer.FailedWrites();
    if (show == m_written && failedWrites == m_failedWrites)
        return;
    m_written = show;
    m_failedWrites = failedWrites;
    m_writer.Write({m_show.GetPathName().toUtf8(), std::move(show)});
}

void CRecoveryCopy::Discard()
{
    if (m_kept)
        return;
    m_timer.stop();
    m_written.clear();
    m_writer.Remove();
    m_writer.WaitUntilDone();
}

void CRecoveryCopy::KeepForNextStart()
{
    if (!m_kept)
        WriteIfChanged();
    m_kept = true;
    m_timer.stop();
    m_writer.WaitUntilDone();
}

void CRecoveryCopy::WaitForDisk()
{
    m_writer.WaitUntilDone();
}

} // namespace orinsub::app
