#include "LiveStateJournal.h"

#include "views/DeskWatch.h"

namespace orinsub::app {

CLiveStateJournal::CLiveStateJournal(QString path, std::function<model::LiveState()> capture,
                                     std::optional<model::LiveState> onDisk,
                                     std::chrono::milliseconds delay)
    : m_writer({std::move(path)}), m_capture(std::move(capture)), m_onDisk(std::move(onDisk))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delay);
    connect(&m_timer, &QTimer::timeout, this, &CLiveStateJournal::WriteIfChanged);
    views::SetDeskListener(this, [this] { Changed(); });
}

CLiveStateJournal::~CLiveStateJournal()
{
    views::RemoveDeskListener(this);
}

void CLiveStateJournal::Changed()
{
    // Started once and left to run: a stream of changes is read every delay, not put off.
    if (!m_discarded && !m_timer.isActive())
        m_timer.start();
}

void CLiveStateJournal::WriteIfChanged()
{
    model::LiveState state = m_capture();
    const int failedWrites = m_writer.FailedWrites();
    const bool retry = failedWrites != m_failedWrites;
    m_failedWrites = failedWrites;
    if (state.IsFresh()) {
        if (m_onDisk || retry)
            m_writer.Remove();
        m_onDisk.reset();
        return;
    }
    if (m_onDisk == state && !retry)
        return;
    m_writer.Write({model::LiveStateFile::Encode(state)});
    m_onDisk = std::move(state);
}

void CLiveStateJournal::Discard()
{
    if (m_discarded)
        return;
    m_discarded = true;
    m_timer.stop();
    m_onDisk.reset();
    m_writer.Remove();
    m_writer.WaitUntilDone();
}

void CLiveStateJournal::KeepForNextStart()
{
    if (!m_discarded)
        WriteIfChanged();
    m_discarded = true;
    m_timer.stop();
    m_writer.WaitUntilDone();
}

void CLiveStateJournal::WaitForDisk()
{
    m_writer.WaitUntilDone();
}

} // namespace orinsub::app
