#include "Mix.h"

#include "ChasePlayer.h"
#include "MixInputs.h"
#include "OrinGlobal.h"
#include "OrinSUBDoc.h"
#include "ShowLimits.h"
#include "dmx/OrinZentra.h"

#include <algorithm>
#include <span>

namespace orinsub::model {

std::array<uint8_t, 512> s_channelLevels{};

namespace {

/// A channel's level before the masters, without the running chases (what the output frame
/// carries: the link tick lays the chases over it at its own time) and with them (what the desk
/// shows).
struct ChannelMix
{
    uint8_t withoutChases;
    uint8_t withChases;
};

/// One way of playing the desk: the handles, the raised sub faders with their sub-masters' levels
/// and the raised sub faders playing a chase with the chase's look now.
struct Look
{
    struct Raised
    {
        uint8_t level;
        std::span<const uint8_t> levels; // channel n at n - 1; shorter tables give 0 beyond
    };
    using RaisedList = std::array<Raised, kSubMastersPerPage>;

    static void Raise(RaisedList &list, int &count, uint8_t level, std::span<const uint8_t> levels)
    {
        if (level > 0 && count < static_cast<int>(list.size()))
            list[count++] = {level, levels};
    }
    void Raise(uint8_t level, std::span<const uint8_t> levels, bool chase)
    {
        if (chase)
            Raise(chases, chaseCount, level, levels);
        else
            Raise(subs, subCount, level, levels);
    }

    static uint8_t Highest(uint8_t out, const RaisedList &list, int count, int n)
    {
        for (int j = 0; j < count; ++j) {
            const std::span<const uint8_t> levels = list[j].levels;
            out = HighestTakesPrecedence(
                out, n - 1 < static_cast<int>(levels.size()) ? levels[n - 1] : 0, list[j].level);
        }
        return out;
    }
    ChannelMix LevelOf(int n, uint8_t a, uint8_t b) const
    {
        const uint8_t out = Highest(CrossfadeLevel(a, b, xa, xb), subs, subCount, n);
        return {out, Highest(out, chases, chaseCount, n)};
    }

    uint8_t xa = 0;
    uint8_t xb = 0;
    RaisedList subs{};
    int subCount = 0;
    RaisedList chases{};
    int chaseCount = 0;
};

/// What every channel's mix shares, read once per recompute rather than once per channel.
struct DeskSnapshot
{
    Look asSet;  // the faders as they stand: what independent channels play
    Look played; // with the held flash buttons, in flash or solo mode
    uint8_t grandMaster = 255;
    bool blackout = false;
};

/// A sub fader as the snapshot takes it: what it plays, if anything.
struct Sub
{
    SubFaderReading reading;
    std::span<const uint8_t> levels;
    bool playing = false;
    bool chase = false;
};

/// The sub faders as they stand; the chase player follows them first, so that a chase's lane is
/// published before its fader's gains.
std::array<Sub, kSubMastersPerPage> ReadSubFaders(const MasterLevelSource &master,
                                                  const COrinSUBDoc &doc, int &count)
{
    std::array<Sub, kSubMastersPerPage> subs{};
    std::array<SubFaderReading, kSubMastersPerPage> readings{};
    count = std::min<int>(master.GetSubFaderCount(), subs.size());
    for (int j = 0; j < count; ++j)
        readings[j] = master.GetSubFaderReading(j);
    ChasePlayer *player = g_orin.m_pChases;
    if (player)
        player->Follow(doc.m_extension.chases, std::span(readings).first(count),
                       doc.GetEditCount());
    for (int j = 0; j < count; ++j) {
        Sub &sub = subs[j];
        sub.reading = readings[j];
        if (sub.reading.level == 0 && !sub.reading.flashHeld)
            continue;
        const CSubMaster *subMaster = doc.GetSubMaster(sub.reading.page, sub.reading.number);
        if (!subMaster)
            continue;
        sub.playing = true;
        // A chase plays instead of the sub-master's own levels.
        sub.chase = doc.m_extension.chases.OnSubMaster(sub.reading.page, sub.reading.number);
        if (!sub.chase)
            sub.levels = subMaster->m_levels;
        else if (const ChaseLook *look = player ? player->LaneLook(j) : nullptr)
            sub.levels = *look;
    }
    return subs;
}

/// What the link tick needs to lay the running chases over the output frame as this mix plays
/// them: each lane's fader, the masters and the patch. Published only while a chase runs.
void PublishChaseMix(const DeskSnapshot &desk, std::span<const Sub> subs, bool anyHeld, bool solo,
                     const COrinSUBDoc &doc)
{
    dmx::COrinZentra *port = g_orin.m_pZentra;
    if (!port || !g_orin.m_pChases || !g_orin.m_pChases->IsAnyRunning())
        return;
    dmx::ChaseStage &stage = port->GetChaseStage();
    for (int j = 0; j < static_cast<int>(subs.size()); ++j) {
        const Sub &sub = subs[j];
        const uint8_t asSet = sub.playing ? sub.reading.level : 0;
        const uint8_t played = !sub.playing            ? 0
                               : !anyHeld              ? asSet
                               : sub.reading.flashHeld ? 255
                               : solo                  ? 0
                                                       : asSet;
        stage.SetGains(j, asSet, played);
    }
    stage.SetMasters(desk.grandMaster, desk.blackout, doc.m_extension.independent);
    std::array<uint8_t, dmx::kStageSlots + 1> channelOfSlot;
    channelOfSlot.fill(dmx::kNoChannel);
    for (int n = 0; n < kConsoleChannels && n < static_cast<int>(doc.m_channels.size()); ++n) {
        for (int32_t d : doc.m_channels[n]->m_dimmers) {
            if (d >= 1 && d <= dmx::kStageSlots)
                channelOfSlot[d] = static_cast<uint8_t>(n);
        }
    }
    for (int slot = 1; slot <= dmx::kStageSlots; ++slot)
        stage.SetChannelOfSlot(slot, channelOfSlot[slot]);
}

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
    if (!doc) {
        desk.played = desk.asSet;
        return desk;
    }

    int count = 0;
    const std::array<Sub, kSubMastersPerPage> subs = ReadSubFaders(*master, *doc, count);
    bool anyHeld = false;
    for (int j = 0; j < count; ++j) {
        const Sub &sub = subs[j];
        anyHeld = anyHeld || (sub.reading.flashHeld && sub.playing);
        if (sub.playing)
            desk.asSet.Raise(sub.reading.level, sub.levels, sub.chase);
    }
    const bool solo = doc->m_extension.flashMode == FlashMode::Solo;
    if (!anyHeld) {
        desk.played = desk.asSet;
    } else {
        desk.played.xa = solo ? 0 : desk.asSet.xa;
        desk.played.xb = solo ? 0 : desk.asSet.xb;
        for (int j = 0; j < count; ++j) {
            const Sub &sub = subs[j];
            if (!sub.playing)
                continue;
            if (sub.reading.flashHeld)
                desk.played.Raise(255, sub.levels, sub.chase);
            else if (!solo)
                desk.played.Raise(sub.reading.level, sub.levels, sub.chase);
        }
    }
    PublishChaseMix(desk, std::span(subs).first(count), anyHeld, solo, *doc);
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
    const ChannelMix mix = (independent ? desk.asSet : desk.played).LevelOf(n, a, b);
    const auto mastered = [&](uint8_t level) -> uint8_t {
        if (independent)
            return level;
        return desk.blackout ? 0 : GrandMasterLevel(level, desk.grandMaster);
    };

    s_channelLevels[n - 1] = mastered(mix.withChases);
    dmx::COrinZentra *port = g_orin.m_pZentra;
    if (doc && port && n - 1 < static_cast<int>(doc->m_channels.size())) {
        const uint8_t out = mastered(mix.withoutChases);
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
        levels[n - 1] =
            asSet.LevelOf(n, rows ? rows->GetRowLevel(0, n) : 0, rows ? rows->GetRowLevel(1, n) : 0)
                .withChases;
    return levels;
}

} // namespace orinsub::model
