#include "ChasePlayer.h"

#include "OrinGlobal.h"
#include "dmx/ChaseStage.h"
#include "dmx/OrinZentra.h"

#include <algorithm>
#include <random>

namespace orinsub::model {

static_assert(kSubMastersPerPage == dmx::kChaseLanes, "a lane for every sub fader");

namespace {

dmx::ChaseStage *PortStage()
{
    return g_orin.m_pZentra ? &g_orin.m_pZentra->GetChaseStage() : nullptr;
}

} // namespace

ChasePlayer::ChasePlayer(MonotonicClock clock)
    : m_stageSource(PortStage), m_seed(std::random_device{}())
{
    SetClock(std::move(clock));
}

void ChasePlayer::SetClock(MonotonicClock clock)
{
    m_clock = clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); };
}

ChasePlayer::Run *ChasePlayer::RunOf(int chase)
{
    return chase >= 1 && chase <= kMaxChases ? &m_runs[chase] : nullptr;
}

const ChasePlayer::Run *ChasePlayer::RunOf(int chase) const
{
    return chase >= 1 && chase <= kMaxChases ? &m_runs[chase] : nullptr;
}

int ChasePlayer::LaneOf(int chase) const
{
    const auto lane = std::find_if(m_lanes.begin(), m_lanes.end(),
                                   [chase](const Lane &l) { return l.chase == chase; });
    return chase != 0 && lane != m_lanes.end() ? static_cast<int>(lane - m_lanes.begin()) : -1;
}

dmx::ChaseStage *ChasePlayer::Stage() const
{
    return m_stageSource ? m_stageSource() : nullptr;
}

uint32_t ChasePlayer::NextSeed()
{
    // Consecutive seeds drawn apart, so that two runs never share an order by accident.
    m_seed = m_seed * 1664525u + 1013904223u;
    return m_seed;
}

void ChasePlayer::Follow(const ChaseList &chases, std::span<const SubFaderReading> faders,
                         uint64_t showEdits)
{
    const bool edited = m_showEdits != showEdits;
    m_showEdits = showEdits;
    bool changed = edited && FollowEdits(chases);
    for (int j = 0; j < static_cast<int>(m_lanes.size()); ++j) {
        const Chase *chase = nullptr;
        if (j < static_cast<int>(faders.size())) {
            const SubFaderReading &fader = faders[j];
            if (fader.level > 0 || fader.flashHeld)
                chase = chases.OnSubMaster(fader.page, fader.number);
        }
        changed |= Play(j, chase, edited);
    }
    if (changed)
        Changed();
}

bool ChasePlayer::FollowEdits(const ChaseList &chases)
{
    bool changed = false;
    for (int number = 1; number <= kMaxChases; ++number) {
        Run &run = m_runs[number];
        const Chase *chase = chases.Find(number);
        if (!chase) {
            if (run.inShow)
                run = Run{}; // a chase of this number made later starts afresh
            continue;
        }
        run.inShow = true;
        if (run.storedStepMs != chase->stepMs) {
            run.timeline.SetStep(std::chrono::milliseconds(chase->stepMs), Now());
            run.storedStepMs = chase->stepMs;
            changed = true;
        }
    }
    return changed;
}

bool ChasePlayer::Play(int j, const Chase *chase, bool stepsMayDiffer)
{
    Lane &lane = m_lanes[j];
    const ChaseTimeline::TimePoint now = Now();
    dmx::ChaseStage *stage = Stage();
    const int number = chase ? chase->number : 0;
    const bool started = lane.chase != number;
    bool changed = started;
    if (started) {
        if (Run *run = RunOf(lane.chase))
            run->timeline.Stop(now);
        lane.chase = number;
        if (!chase) {
            if (stage)
                stage->Stop(j);
            return true;
        }
    } else if (!chase) {
        return false;
    }
    Run &run = *RunOf(number);
    if (started)
        run.timeline.Start(now, !chase->restartOnRaise, NextSeed());
    const bool newSteps = started || (stepsMayDiffer && lane.steps != chase->steps);
    if (newSteps)
        lane.steps = chase->steps;
    const dmx::ChaseTiming timing = run.timeline.Timing(*chase);
    if (newSteps || lane.stage != stage) {
        lane.stage = stage;
        if (stage)
            stage->Run(j, lane.steps, timing);
    } else if (timing != lane.published && stage) {
        stage->Retime(j, timing);
    }
    lane.published = timing;
    return changed;
}

void ChasePlayer::Retime(int chase)
{
    const int j = LaneOf(chase);
    if (j < 0)
        return;
    Lane &lane = m_lanes[j];
    lane.published = RunOf(chase)->timeline.Retimed(lane.published);
    dmx::ChaseStage *stage = Stage();
    if (stage && stage == lane.stage)
        stage->Retime(j, lane.published);
    else if (stage) // a port that came since: it gets the whole lane
        stage->Run(j, lane.steps, lane.published);
    lane.stage = stage;
}

const ChaseLook *ChasePlayer::LaneLook(int lane)
{
    if (lane < 0 || lane >= static_cast<int>(m_lanes.size()) || m_lanes[lane].chase == 0)
        return nullptr;
    Lane &l = m_lanes[lane];
    if (l.steps.empty()) {
        l.look.fill(0);
        return &l.look;
    }
    const dmx::ChaseMoment moment = dmx::ChaseMomentAt(l.published, Now());
    for (int c = 0; c < kConsoleChannels; ++c)
        l.look[c] = dmx::BlendLevel(l.steps[moment.from][c], l.steps[moment.step][c], moment.share);
    return &l.look;
}

int ChasePlayer::LaneChase(int lane) const
{
    return lane >= 0 && lane < static_cast<int>(m_lanes.size()) ? m_lanes[lane].chase : 0;
}

bool ChasePlayer::IsRunning(int chase) const
{
    return LaneOf(chase) >= 0;
}

bool ChasePlayer::IsAnyRunning() const
{
    return std::any_of(m_lanes.begin(), m_lanes.end(), [](const Lane &l) { return l.chase != 0; });
}

double ChasePlayer::GetBpm(int chase) const
{
    const Run *run = RunOf(chase);
    return run ? BpmOfStep(run->timeline.GetStep()) : 0;
}

int ChasePlayer::GetStep(int chase) const
{
    const int j = LaneOf(chase);
    if (j < 0 || m_lanes[j].steps.empty())
        return 0;
    return dmx::ChaseMomentAt(m_lanes[j].published, Now()).step + 1;
}

void ChasePlayer::Tap(int chase)
{
    Run *run = RunOf(chase);
    if (!run)
        return;
    const ChaseTimeline::TimePoint now = Now();
    const std::optional<std::chrono::nanoseconds> step = run->taps.Tap(now);
    if (!step)
        return;
    run->timeline.SetStep(*step, now);
    if (run->timeline.IsRunning())
        run->timeline.SyncBeat(now);
    Retime(chase);
    Changed();
}

void ChasePlayer::SetBpm(int chase, double bpm)
{
    Run *run = RunOf(chase);
    if (!run)
        return;
    run->timeline.SetStep(StepOfBpm(bpm), Now());
    Retime(chase);
    Changed();
}

void ChasePlayer::NextStep(int chase)
{
    Run *run = RunOf(chase);
    if (!run || !run->timeline.IsRunning())
        return;
    run->timeline.NextStep(Now());
    Retime(chase);
}

void ChasePlayer::Changed() const
{
    if (m_onChange)
        m_onChange();
}

} // namespace orinsub::model
