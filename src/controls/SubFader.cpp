#include "SubFader.h"

#include "ConsoleLook.h"
#include "Dan.h"
#include "FaderLabel.h"
#include "FlashButton.h"
#include "Geometry.h"
#include "OutputLevels.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowLimits.h"
#include "model/UndoRecord.h"

#include <algorithm>

namespace orinsub::controls {

namespace {

model::CSubMaster *FindSubMaster(int page, int number)
{
    return model::g_orin.m_pDoc ? model::g_orin.m_pDoc->GetSubMaster(page, number) : nullptr;
}

} // namespace

CSubFader::CSubFader()
{
    m_grooveColor = kGrooveEmpty;
}

QRect CSubFader::GetTrackRect() const
{
    const QPoint saved = m_host ? m_host->GetSavedScrollPos() : QPoint();
    return RectLTRB(m_x - Half(m_width), m_y - Half(m_height) - m_extendAbove, m_x + Half(m_width),
                    m_y + Half(m_height) + m_extendBelow)
        .translated(-saved);
}

void CSubFader::SetTrackExtension(int above, int below)
{
    m_extendAbove = above;
    m_extendBelow = below;
}

int CSubFader::ShownPage() const
{
    return m_host ? m_host->GetPage() : m_page;
}

void CSubFader::DragTo(QPoint point)
{
    MoveTo(DragLevel(point));
}

void CSubFader::MoveTo(uint8_t level)
{
    SetHooked(false);
    MoveKnobTo(level);
    FollowPageIfFree();
    model::RecomputeAllChannels();
}

bool CSubFader::SetLevelAndRedraw(uint8_t level)
{
    if (level == m_level)
        return false;
    const QRect before = GetKnobRect();
    SetLevel(level);
    FollowPageIfFree();
    Invalidate(before.united(GetKnobRect()));
    return true;
}

bool CSubFader::IsFlashHeld() const
{
    return m_flash && m_flash->IsHeld();
}

void CSubFader::SetFlashHeld(bool held)
{
    if (!m_flash || held == m_flash->IsHeld())
        return;
    m_flash->SetHeld(held);
    FollowPageIfFree();
}

void CSubFader::FollowPageIfFree()
{
    if (m_level == 0 && !IsFlashHeld())
        FollowPage();
}

void CSubFader::FollowPage()
{
    const int shown = ShownPage();
    if (shown != m_page) {
        SetPageNumber(shown, m_number);
        if (m_label) {
            const model::CSubMaster *subMaster = FindSubMaster(m_page, m_number);
            m_label->SetText(subMaster ? subMaster->m_name : QString());
        }
    }
    RefreshContentState();
}

void CSubFader::SetPageNumber(int page, int number)
{
    m_page = page;
    m_number = number;
}

void CSubFader::GetPageNumber(int &page, int &number) const
{
    page = m_page;
    number = m_number;
}

void CSubFader::StoreLevelsFromOutput(const OutputLevels &output)
{
    model::CSubMaster *target = FindSubMaster(ShownPage(), m_number);
    if (!target)
        return;
    const int count =
        std::min<int>(model::kConsoleChannels, static_cast<int>(target->m_levels.size()));
    for (int i = 0; i < count; ++i)
        target->m_levels[i] = output.GetOutputDisplayLevel(i);
    model::g_orin.m_pDoc->SetModifiedFlag(true);
    RefreshStoredState();
}

void CSubFader::StoreLevelsFromRow(const CDan &row)
{
    model::CSubMaster *target = FindSubMaster(ShownPage(), m_number);
    if (!target)
        return;
    const int count = std::min<int>(row.GetFaderCount(), static_cast<int>(target->m_levels.size()));
    for (int i = 0; i < count; ++i)
        target->m_levels[i] = row.GetChannelLevel(i + 1);
    model::g_orin.m_pDoc->SetModifiedFlag(true);
    RefreshStoredState();
}

void CSubFader::CopyFromSubFader(const CSubFader &other)
{
    model::CSubMaster *target = FindSubMaster(ShownPage(), m_number);
    const model::CSubMaster *source = FindSubMaster(other.m_page, other.m_number);
    if (!target || !source)
        return;
    const int count =
        std::min<int>(model::kLevelsPerSubMaster, static_cast<int>(target->m_levels.size()));
    for (int i = 0; i < count; ++i)
        target->m_levels[i] = source->LevelAt(i);
    target->m_name = source->m_name;
    model::g_orin.m_pDoc->SetModifiedFlag(true);
    if (m_label)
        m_label->SetText(target->m_name);
    RefreshStoredState();
}

void CSubFader::RestoreFrom(const model::UndoRecord &record)
{
    model::CSubMaster *target = FindSubMaster(ShownPage(), m_number);
    if (!target)
        return;
    const size_t count = std::min(record.m_levels.size(), target->m_levels.size());
    std::copy_n(record.m_levels.begin(), count, target->m_levels.begin());
    target->m_name = record.m_name;
    model::g_orin.m_pDoc->SetModifiedFlag(true);
    if (m_label)
        m_label->SetText(target->m_name);
    RefreshStoredState();
}

void CSubFader::RefreshStoredState()
{
    if (GetContentState() != ContentState::HeldElsewhere)
        RefreshContentState();
}

void CSubFader::RefreshContentState()
{
    SetContentState(HasContent() ? ContentState::HasLevels : ContentState::Empty);
}

void CSubFader::SetContentState(ContentState state)
{
    const QColor color = state == ContentState::HasLevels       ? kGrooveHasLevels
                         : state == ContentState::HeldElsewhere ? kGrooveHeldElsewhere
                                                                : kGrooveEmpty;
    if (color == m_grooveColor)
        return;
    m_grooveColor = color;
    Invalidate(GetTrackRect());
}

ContentState CSubFader::GetContentState() const
{
    if (m_grooveColor.red() > 0)
        return ContentState::HeldElsewhere;
    return m_grooveColor.green() > 0 ? ContentState::HasLevels : ContentState::Empty;
}

bool CSubFader::HasContentIn(const model::COrinSUBDoc *doc) const
{
    const model::CSubMaster *subMaster = doc ? doc->GetSubMaster(m_page, m_number) : nullptr;
    // A chase put on it plays instead of its levels: that is content enough.
    return subMaster && (subMaster->HasContent() ||
                         doc->m_extension.chases.OnSubMaster(m_page, m_number) != nullptr);
}

bool CSubFader::HasContent() const
{
    return HasContentIn(model::g_orin.m_pDoc);
}

} // namespace orinsub::controls
