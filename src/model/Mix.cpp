#include "Mix.h"

#include "MixInputs.h"
#include "OrinGlobal.h"
#include "OrinSUBDoc.h"
#include "ShowLimits.h"
#include "dmx/OrinZentra.h"

namespace orinsub::model {

std::array<uint8_t, 512> s_channelLevels{};

namespace {

/// What every channel's mix shares: the handles and the raised sub faders with their sub-masters,
/// read once per recompute rather than once per channel.
struct DeskSnapshot
{
    uint8_t xa = 0;
    uint8_t xb = 0;
    struct RaisedSub
    {
        uint8_t level;
        const CSubMaster *subMaster;
    };
    std::array<RaisedSub, kSubMastersPerPage> raised{};
    int raisedCount = 0;
};

DeskSnapshot TakeDeskSnapshot()
{
    DeskSnapshot desk;
    const MasterLevelSource *master = g_orin.m_pMasterLevels;
    if (!master)
        return desk;
    desk.xa = master->GetCrossfaderLevel(0);
    desk.xb = master->GetCrossfaderLevel(1);
    const COrinSUBDoc *doc = g_orin.m_pDoc;
    const int faders = doc ? master->GetSubFaderCount() : 0;
    for (int j = 0; j < faders && desk.raisedCount < static_cast<int>(desk.raised.size()); ++j) {
        const SubFaderReading sub = master->GetSubFaderReading(j);
        if (sub.level == 0)
            continue;
        if (const CSubMaster *subMaster = doc->GetSubMaster(sub.page, sub.number))
            desk.raised[desk.raisedCount++] = {sub.level, subMaster};
    }
    return desk;
}

void MixChannelOf(const DeskSnapshot &desk, int n)
{
    if (n < 1 || n > static_cast<int>(s_channelLevels.size()))
        return;
    const RowLevelSource *rows = g_orin.m_pRowLevels;
    const uint8_t a = rows ? rows->GetRowLevel(0, n) : 0;
    const uint8_t b = rows ? rows->GetRowLevel(1, n) : 0;
    uint8_t out = CrossfadeLevel(a, b, desk.xa, desk.xb);
    for (int j = 0; j < desk.raisedCount; ++j)
        out = HighestTakesPrecedence(out, desk.raised[j].subMaster->LevelAt(n - 1), desk.raised[j].level);

    s_channelLevels[n - 1] = out;
    const COrinSUBDoc *doc = g_orin.m_pDoc;
    dmx::COrinZentra *port = g_orin.m_pZentra;
    if (doc && port && n - 1 < static_cast<int>(doc->m_channels.size())) {
        for (int32_t d : doc->m_channels[n - 1]->m_dimmers)
            port->SetOutputSlot(d, out);
    }
}

} // namespace

void MixChannel(int n)
{
    MixChannelOf(TakeDeskSnapshot(), n);
}

void RecomputeAllChannels()
{
    const DeskSnapshot desk = TakeDeskSnapshot();
    for (int n = 1; n <= kConsoleChannels; ++n)
        MixChannelOf(desk, n);
}

} // namespace orinsub::model
