#include "Dan.h"

#include "DanFader.h"
#include "OutputLevels.h"
#include "Pane.h"
#include "SubFader.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"

namespace orinsub::controls {

void CDan::SetShowReadouts(bool show)
{
    m_showReadouts = show;
    for (CDanFader *fader : m_faders) {
        if (Pane *view = fader->GetView())
            view->InvalidateRect(fader->GetTrackRect());
    }
}

QRect CDan::GetRect() const
{
    if (m_faders.empty())
        return QRect();
    QRect first = m_faders.front()->GetTrackRect();
    first.setLeft(0);
    QRect rect = first;
    for (const CDanFader *fader : m_faders)
        rect = rect.united(fader->GetTrackRect());
    const Pane *view = m_faders.front()->GetView();
    return view ? rect.intersected(view->GetClientRect()) : rect;
}

void CDan::SetLevelUnhooked(int i, uint8_t level)
{
    m_faders[i]->SetLevel(level);
    m_faders[i]->SetHooked(false);
}

void CDan::CopyLevelsFromRow(const CDan &other)
{
    for (int i = 0; i < GetFaderCount() && i < other.GetFaderCount(); ++i)
        SetLevelUnhooked(i, other.m_faders[i]->GetLevel());
}

void CDan::CopyLevelsFromOutput(const OutputLevels &output)
{
    for (int i = 0; i < GetFaderCount(); ++i)
        SetLevelUnhooked(i, output.GetOutputDisplayLevel(i));
}

void CDan::CopyLevelsFromSubMaster(const CSubFader &subFader)
{
    int page = 0, number = 0;
    subFader.GetPageNumber(page, number);
    const model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    const model::CSubMaster *subMaster = doc ? doc->GetSubMaster(page, number) : nullptr;
    for (int i = 0; i < GetFaderCount(); ++i)
        SetLevelUnhooked(i, subMaster ? subMaster->LevelAt(i) : 0);
}

void CDan::CopyLevelsFromArray(const std::vector<uint8_t> &levels)
{
    for (int i = 0; i < GetFaderCount(); ++i)
        SetLevelUnhooked(i, i < static_cast<int>(levels.size()) ? levels[i] : 0);
}

uint8_t CDan::GetChannelLevel(int channel) const
{
    if (channel < 1 || channel > GetFaderCount())
        return 0;
    return m_faders[channel - 1]->GetLevel();
}

std::vector<uint8_t> CDan::GetLevels() const
{
    std::vector<uint8_t> levels;
    levels.reserve(m_faders.size());
    for (const CDanFader *fader : m_faders)
        levels.push_back(fader->GetLevel());
    return levels;
}

void RecordRow(model::UndoRecord &record, const CDan &row)
{
    record.RecordRow(row.GetIndex(), row.GetLevels());
}

} // namespace orinsub::controls
