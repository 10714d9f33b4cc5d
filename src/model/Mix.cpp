#include "Mix.h"

#include "MixInputs.h"
#include "OrinGlobal.h"
#include "OrinSUBDoc.h"
#include "ShowLimits.h"
#include "dmx/OrinZentra.h"

namespace orinsub::model {

std::array<uint8_t, 512> s_channelLevels{};

void MixChannel(int n)
{
    if (n < 1 || n > static_cast<int>(s_channelLevels.size()))
        return;
    const MasterLevelSource *master = g_orin.m_pMasterLevels;
    const RowLevelSource *rows = g_orin.m_pRowLevels;
    const uint8_t xa = master ? master->GetCrossfaderLevel(0) : 0;
    const uint8_t xb = master ? master->GetCrossfaderLevel(1) : 0;
    const uint8_t a = rows ? rows->GetRowLevel(0, n) : 0;
    const uint8_t b = rows ? rows->GetRowLevel(1, n) : 0;
    uint8_t out = CrossfadeLevel(a, b, xa, xb);

    const COrinSUBDoc *doc = g_orin.m_pDoc;
    if (master && doc) {
        const int faders = master->GetSubFaderCount();
        for (int j = 0; j < faders; ++j) {
            const SubFaderReading sub = master->GetSubFaderReading(j);
            if (sub.level == 0)
                continue;
            if (const CSubMaster *subMaster = doc->GetSubMaster(sub.page, sub.number))
                out = HighestTakesPrecedence(out, subMaster->LevelAt(n - 1), sub.level);
        }
    }

    s_channelLevels[n - 1] = out;
    dmx::COrinZentra *port = g_orin.m_pZentra;
    if (doc && port && n - 1 < static_cast<int>(doc->m_channels.size())) {
        for (int32_t d : doc->m_channels[n - 1]->m_dimmers)
            port->SetOutputSlot(d, out);
    }
}

void RecomputeAllChannels()
{
    for (int n = 1; n <= kConsoleChannels; ++n)
        MixChannel(n);
}

} // namespace orinsub::model
