#pragma once

#include "model/MixInputs.h"
#include "model/ShowLimits.h"

#include <memory>
#include <span>
#include <vector>

namespace orinsub::controls {
class CSubFader;
}
namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::views {

/// Which sub-master each sub fader plays: one of the page shown, except that a raised fader (or
/// one dragged from, or one whose flash button is held) keeps its sub-master until it comes back
/// to 0. Each fader's name box shows the name of the sub-master it plays. The faders and the
/// show outlive it.
class SubMasterPages
{
public:
    SubMasterPages(const std::vector<std::unique_ptr<controls::CSubFader>> &faders,
                   model::COrinSUBDoc *doc);

    int GetPage() const { return m_page; }
    bool CanStep(bool up) const { return up ? m_page < model::kPages : m_page > 1; }
    /// One page up or down, no wrap-around (Bind follows).
    void Step(bool up);
    /// Binds every fader that is not held to the page shown and marks each fader's content.
    void Bind();
    /// The page shown, then each fader's page as a restart found it (readings in the faders'
    /// order; a fader at 0 plays the page shown), its level and name, unhooked (Bind follows).
    void Restore(int page, std::span<const model::SubFaderReading> readings);

private:
    void ShowNameOf(controls::CSubFader &fader) const;

    const std::vector<std::unique_ptr<controls::CSubFader>> &m_faders;
    model::COrinSUBDoc *m_doc;
    int m_page = 1;
};

} // namespace orinsub::views
