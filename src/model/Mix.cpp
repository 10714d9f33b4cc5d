#include "Mix.h"

#include "MixInputs.h"
#include "OrinGlobal.h"
#include "OrinSUBDoc.h"
#include "ShowLimits.h"
#include "dmx/OrinZentra.h"

#include <algorithm>

namespace orinsub::model {

std::array<uint8_t, 512> s_channelLevels{};

namespace {

/// One way of playing the desk: the handles and the raised sub faders with their sub-masters.
struct Look
{
    struct RaisedSub
    {
        uint8_t level;
        const CSubMaster *subMaster;
    };

    void Raise(uint8_t level, const CSubMaster *subMaster)
    {
        if (level > 0 && count < static_cast<int>(raised.size()))
            raised[count++] = {level, subMaster};
    }

    uint8_t LevelOf(int n, uint8_t a, uint8_t b) const
    {
        uint8_t out = CrossfadeLevel(a, b, xa, xb);
        for (int j = 0; j < count; ++j)
            out = HighestTakesPrecedence(out, raised[j].subMaster->LevelAt(n - 1), raised[j].level);
        return out;
    }

    uint8_t xa = 0;
    uint8_t xb = 0;
    std::array<RaisedSub, kSubMastersPerPage> raised{};
    int count = 0;
};

/// What every channel's mix shares, read once per recompute rather than once per channel.
struct DeskSnapshot
{
    Look asSet;  // the faders as they stand: what independent channels play
    Look played; // with the held flash buttons, in flash or solo mode
    uint8_t grandMaster = 255;
    bool blackout = false;
};

DeskSnapshot TakeDeskSnapshot()
{
    DeskSnapshot desk;
    const MasterLevelSource *master = g_orin.m_pMasterLevels;
    if (!master)
        return desk;
    desk.asSet.xa = master->GetCrossfaderLevel(0);
    desk.asSet.xb = master->GetCrossfaderLevel(1);
    desk.grandMaster = master->GetGrandMaster();
    desk.blackout = master->IsBlackout();
    const COrinSUBDoc *doc = g_orin.m_pDoc;

    struct Sub
    {
        SubFaderReading reading;
        const CSubMaster *subMaster;
    };
    std::array<Sub, kSubMastersPerPage> subs{};
    const int count = doc ? std::min<int>(master->GetSubFaderCount(), subs.size()) : 0;
    bool anyHeld = false;
    for (int j = 0; j < count; ++j) {
        const SubFaderReading reading = master->GetSubFaderReading(j);
        const CSubMaster *subMaster = reading.level > 0 || reading.flashHeld
                                          ? doc->GetSubMaster(reading.page, reading.number)
                                          : nullptr;
        subs[j] = {reading, subMaster};
        anyHeld = anyHeld || (reading.flashHeld && subMaster);
        if (subMaster)
            desk.asSet.Raise(reading.level, subMaster);
    }
    if (!anyHeld) {
        desk.played = desk.asSet;
        return desk;
    }
    const bool solo = doc->m_extension.flashMode == FlashMode::Solo;
    desk.played.xa = solo ? 0 : desk.asSet.xa;
    desk.played.xb = solo ? 0 : desk.asSet.xb;
    for (int j = 0; j < count; ++j) {
        const Sub &sub = subs[j];
        if (!sub.subMaster)
            continue;
        if (sub.reading.flashHeld)
            desk.played.Raise(255, sub.subMaster);
        else if (!solo)
            desk.played.Raise(sub.reading.level, sub.subMaster);
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
    const COrinSUBDoc *doc = g_orin.m_pDoc;
    const bool independent = doc && doc->m_extension.IsIndependent(n);
    uint8_t out = (independent ? desk.asSet : desk.played).LevelOf(n, a, b);
    if (!independent)
        out = desk.blackout ? 0 : GrandMasterLevel(out, desk.grandMaster);

    s_channelLevels[n - 1] = out;
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

std::array<uint8_t, kConsoleChannels> LevelsUnderMasters()
{
    const Look asSet = TakeDeskSnapshot().asSet;
    const RowLevelSource *rows = g_orin.m_pRowLevels;
    std::array<uint8_t, kConsoleChannels> levels{};
    for (int n = 1; n <= kConsoleChannels; ++n)
        levels[n - 1] = asSet.LevelOf(n, rows ? rows->GetRowLevel(0, n) : 0,
                                      rows ? rows->GetRowLevel(1, n) : 0);
    return levels;
}

} // namespace orinsub::model
