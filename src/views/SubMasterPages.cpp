#include "SubMasterPages.h"

#include "controls/FaderLabel.h"
#include "controls/SubFader.h"
#include "model/OrinSUBDoc.h"

#include <algorithm>

namespace orinsub::views {

using controls::CSubFader;

SubMasterPages::SubMasterPages(const std::vector<std::unique_ptr<CSubFader>> &faders,
                               model::COrinSUBDoc *doc)
    : m_faders(faders), m_doc(doc)
{
}

void SubMasterPages::Step(bool up)
{
    if (CanStep(up))
        m_page += up ? 1 : -1;
}

void SubMasterPages::Bind()
{
    for (const auto &fader : m_faders) {
        const bool held = fader->GetLevel() != 0 || fader->IsDragSource() || fader->IsFlashHeld();
        if (held && fader->GetPage() != m_page) {
            fader->SetContentState(controls::ContentState::HeldElsewhere);
            continue;
        }
        if (!held)
            fader->SetPageNumber(m_page, fader->GetNumber());
        fader->SetContentState(fader->HasContentIn(m_doc) ? controls::ContentState::HasLevels
                                                          : controls::ContentState::Empty);
        if (!held)
            ShowNameOf(*fader);
    }
}

void SubMasterPages::Restore(int page, std::span<const model::SubFaderReading> readings)
{
    m_page = std::clamp(page, 1, model::kPages);
    const size_t count = std::min(readings.size(), m_faders.size());
    for (size_t i = 0; i < count; ++i) {
        CSubFader &fader = *m_faders[i];
        const model::SubFaderReading &reading = readings[i];
        fader.SetHooked(false);
        fader.SetPageNumber(reading.level > 0 ? std::clamp(reading.page, 1, model::kPages) : m_page,
                            fader.GetNumber());
        fader.SetLevelAndRedraw(reading.level);
        ShowNameOf(fader);
    }
}

void SubMasterPages::ShowNameOf(CSubFader &fader) const
{
    const model::CSubMaster *subMaster =
        m_doc ? m_doc->GetSubMaster(fader.GetPage(), fader.GetNumber()) : nullptr;
    fader.GetLabel()->SetText(subMaster ? subMaster->m_name : QString());
}

} // namespace orinsub::views
