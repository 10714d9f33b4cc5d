#include "OrinSUBDoc.h"

#include <algorithm>

namespace orinsub::model {

COrinSUBDoc::COrinSUBDoc()
{
    for (int i = 1; i <= m_channelCount; ++i) {
        auto channel = std::make_unique<CChannel>();
        channel->AddDimmer(i);
        m_channels.push_back(std::move(channel));
    }
    auto spare = std::make_unique<CChannel>();
    for (int d = 1; d <= m_dimmerCount; ++d) {
        if (FindChannelOfDimmer(d) == -1)
            spare->AddDimmer(d);
    }
    m_channels.push_back(std::move(spare));
    for (int p = 0; p < kPages; ++p)
        m_pages.push_back(std::make_unique<CSubPage>());
}

CSubMaster *COrinSUBDoc::GetSubMaster(int page, int number) const
{
    if (page < 1 || page > static_cast<int>(m_pages.size()))
        return nullptr;
    const auto &subMasters = m_pages[page - 1]->m_subMasters;
    if (number < 1 || number > static_cast<int>(subMasters.size()))
        return nullptr;
    return subMasters[number - 1].get();
}

int COrinSUBDoc::FindChannelOfDimmer(int d) const
{
    if (d < 1 || d > m_dimmerCount)
        return -1;
    for (size_t i = 0; i < m_channels.size(); ++i) {
        for (int32_t dimmer : m_channels[i]->m_dimmers) {
            if (dimmer == d)
                return static_cast<int>(i);
        }
    }
    return -1;
}

void COrinSUBDoc::UnpatchDimmer(int d)
{
    // A loaded show may list a dimmer on several channels; it must end up on none of them.
    for (int index = FindChannelOfDimmer(d); index >= 0; index = FindChannelOfDimmer(d))
        m_channels[index]->RemoveDimmer(d);
}

void COrinSUBDoc::PatchSelectionTo(int channelIndex)
{
    CChannel &target = Channel(channelIndex);
    for (int32_t d : m_patchSelection) {
        UnpatchDimmer(d);
        target.AddDimmer(d);
    }
    m_patchSelection.clear();
}

bool COrinSUBDoc::OnNewDocument()
{
    for (const auto &page : m_pages) {
        for (const auto &subMaster : page->m_subMasters) {
            subMaster->m_name.clear();
            const size_t n = std::min<size_t>(subMaster->m_levels.size(), kLevelsPerSubMaster);
            std::fill_n(subMaster->m_levels.begin(), n, uint8_t{0});
        }
    }
    for (const auto &channel : m_channels)
        channel->m_name.clear();
    RestoreOneToOnePatch();
    m_extension = {};
    return true;
}

void COrinSUBDoc::RestoreOneToOnePatch()
{
    // Starting from empty lists also drops what a loaded show may carry beyond 1..512.
    for (const auto &channel : m_channels)
        channel->ClearDimmers();
    for (int d = 1; d <= m_dimmerCount; ++d)
        Channel(d <= m_channelCount ? d - 1 : m_channelCount).AddDimmer(d);
    m_patchSelection.clear();
}

void COrinSUBDoc::StoreTypedName(QString &name, const QString &typed)
{
    if (name == typed)
        return;
    name = typed;
    SetModifiedFlag(true);
}

void COrinSUBDoc::SetIndependent(int channel, bool independent)
{
    if (channel < 1 || channel > kConsoleChannels ||
        m_extension.IsIndependent(channel) == independent)
        return;
    m_extension.independent[channel - 1] = independent;
    SetModifiedFlag(true);
}

void COrinSUBDoc::SetFlashMode(FlashMode mode)
{
    if (mode == m_extension.flashMode)
        return;
    m_extension.flashMode = mode;
    SetModifiedFlag(true);
}

void COrinSUBDoc::SetFadeTime(int tenths)
{
    const auto clamped = static_cast<uint16_t>(std::clamp(tenths, 0, kMaxFadeTime));
    if (clamped == m_extension.fadeTime)
        return;
    m_extension.fadeTime = clamped;
    SetModifiedFlag(true);
}

bool COrinSUBDoc::SetDimmerCurves(std::span<const int> dimmers, const DimmerCurve &curve)
{
    if (!CheckCurve(curve).isEmpty() ||
        std::any_of(dimmers.begin(), dimmers.end(), [](int d) { return d < 1 || d > kDimmers; }))
        return false;
    bool changed = false;
    for (int d : dimmers) {
        changed = changed || m_extension.curves[d - 1] != curve;
        m_extension.curves[d - 1] = curve;
    }
    if (changed)
        SetModifiedFlag(true);
    return true;
}

template <typename List, typename Edit>
Edit COrinSUBDoc::EditList(List &list, const std::function<Edit(List &)> &edit)
{
    // On a copy, so that a failing edit cannot leave half of itself behind.
    List copy = list;
    Edit result = edit(copy);
    if (result.IsOk() && copy != list) {
        list = std::move(copy);
        SetModifiedFlag(true);
    }
    return result;
}

CueEdit COrinSUBDoc::EditCues(const std::function<CueEdit(CueList &)> &edit)
{
    return EditList(m_extension.cues, edit);
}

ChaseEdit COrinSUBDoc::EditChases(const std::function<ChaseEdit(ChaseList &)> &edit)
{
    return EditList(m_extension.chases, edit);
}

void COrinSUBDoc::SetModifiedFlag(bool modified)
{
    ++m_edits;
    if (modified == m_modified)
        return;
    m_modified = modified;
    if (m_onModified)
        m_onModified(modified);
}

} // namespace orinsub::model
