#include "CueSequence.h"

#include "ShowLimits.h"

#include <algorithm>

namespace orinsub::model {

using std::chrono::milliseconds;

namespace {

FadeTimes TimesOf(const Cue &cue)
{
    return {milliseconds(cue.upTime * 100), milliseconds(cue.downTime * 100),
            milliseconds(cue.delay * 100)};
}

} // namespace

CueSequence::CueSequence(Crossfade &crossfade, CueSequenceHost &host)
    : m_crossfade(crossfade), m_host(host), m_clock(&std::chrono::steady_clock::now)
{
}

CueSequence::~CueSequence()
{
    m_crossfade.SetPlayer(nullptr);
}

void CueSequence::SetPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    m_crossfade.SetPlayer(playing ? this : nullptr);
    CancelFollow();
    m_notice = {};
    m_host.Show(false);
    m_host.PlayingChanged(playing);
}

const Cue *CueSequence::NextCue() const
{
    const CueList *cues = m_host.GetCues();
    return cues ? cues->After(m_current) : nullptr;
}

int CueSequence::GetNextCue() const
{
    const Cue *next = NextCue();
    return next ? next->number : 0;
}

bool CueSequence::Go()
{
    if (!m_playing) {
        Say({CueNotice::Kind::PlaybackOff});
        return false;
    }
    return m_crossfade.Go(); // GO comes back through OnGo
}

std::optional<FadeTimes> CueSequence::OnGo(int row, bool cut)
{
    // What a hand left half done is completed first, without loading anything into a row that
    // is already on the stage.
    std::optional<FadeTimes> completion = m_crossfade.GetStoppedRemainder(row);
    if (!completion && m_crossfade.GetHandleLevel(row) > 0)
        completion = FadeTimes::Together(milliseconds(m_crossfade.GetFadeTime() * 100));
    if (completion) {
        m_notice = {};
        m_host.Show(true);
        return completion;
    }
    const Cue *next = NextCue();
    if (!next) {
        const CueList *cues = m_host.GetCues();
        Say({cues && !cues->IsEmpty() ? CueNotice::Kind::ListEnd : CueNotice::Kind::ListEmpty});
        return std::nullopt;
    }
    m_host.Load(row, *next);
    Started(*next, !cut);
    return TimesOf(*next); // a cut runs none of them
}

bool CueSequence::Back()
{
    if (!m_playing) {
        Say({CueNotice::Kind::PlaybackOff});
        return false;
    }
    if (!m_crossfade.AcceptsGo())
        return false;
    const CueList *cues = m_host.GetCues();
    const Cue *previous = cues ? cues->Before(m_current) : nullptr;
    if (!previous) {
        Say({CueNotice::Kind::ListStart});
        return false;
    }
    return Play(*previous, FadeTimes::Together(milliseconds(m_backTime * 100)), false,
                By::Operator);
}

bool CueSequence::GoTo(int number)
{
    if (!m_playing) {
        Say({CueNotice::Kind::PlaybackOff});
        return false;
    }
    const CueList *cues = m_host.GetCues();
    const Cue *cue = cues ? cues->Find(number) : nullptr;
    if (!cue) {
        const bool inRange = number >= kMinCueNumber && number <= kMaxCueNumber;
        Say(inRange ? CueNotice{CueNotice::Kind::CueMissing, number}
                    : CueNotice{CueNotice::Kind::NumberRange});
        return false;
    }
    if (!m_crossfade.AcceptsGo())
        return false;
    return Play(*cue, TimesOf(*cue), true, By::Operator);
}

std::optional<FadeTimes> CueSequence::NextTimes() const
{
    if (std::optional<FadeTimes> rest = m_crossfade.GetStoppedRemainder(m_crossfade.GetNextRow()))
        return rest;
    const Cue *next = NextCue();
    return next ? std::optional<FadeTimes>(TimesOf(*next)) : std::nullopt;
}

void CueSequence::OnTakenOver()
{
    CancelFollow();
    if (m_crossfade.GetStoppedRemainder(m_crossfade.GetNextRow()))
        Say({CueNotice::Kind::FadeStopped, m_current});
}

bool CueSequence::CanLoadNextRow()
{
    const int row = m_crossfade.GetNextRow();
    if (m_crossfade.GetHandleLevel(row) == 0)
        return true;
    Say({CueNotice::Kind::RowNotDown, row});
    return false;
}

bool CueSequence::Play(const Cue &cue, const FadeTimes &times, bool follows, By by)
{
    if (!CanLoadNextRow())
        return false;
    m_host.Load(m_crossfade.GetNextRow(), cue);
    if (!(by == By::Follow ? m_crossfade.Follow(times) : m_crossfade.Go(times)))
        return false;
    Started(cue, follows);
    return true;
}

void CueSequence::Started(const Cue &cue, bool follows)
{
    m_current = cue.number;
    m_notice = {};
    if (follows && cue.follow)
        ArmFollowIn(milliseconds(*cue.follow * 100));
    else
        CancelFollow();
    m_host.Show(true);
}

void CueSequence::ArmFollowIn(milliseconds left)
{
    m_followDue = m_clock() + left;
    m_host.WakeIn(left);
}

void CueSequence::CancelFollow()
{
    m_followDue.reset();
    m_host.WakeIn(std::nullopt);
}

std::optional<milliseconds> CueSequence::GetFollowLeft() const
{
    if (!m_followDue)
        return std::nullopt;
    return std::max(milliseconds(0), std::chrono::ceil<milliseconds>(*m_followDue - m_clock()));
}

void CueSequence::CheckFollow()
{
    if (!m_followDue || !m_playing)
        return;
    const auto left = std::chrono::ceil<milliseconds>(*m_followDue - m_clock());
    if (left.count() > 0) {
        m_host.WakeIn(left);
        return;
    }
    if (m_crossfade.IsRunning()) { // the fade before it has the crossfader until it ends
        m_host.WakeIn(kFollowRetry);
        return;
    }
    CancelFollow();
    if (m_crossfade.AcceptsFollow())
        FollowOn();
}

void CueSequence::FollowOn()
{
    const Cue *next = NextCue();
    if (!next) {
        Say({CueNotice::Kind::ListEnd});
        return;
    }
    Play(*next, TimesOf(*next), true, By::Follow);
}

CueSequence::Standing CueSequence::Capture() const
{
    return {m_playing, m_current, GetFollowLeft()};
}

void CueSequence::Restore(const Standing &standing)
{
    SetPlaying(standing.playing);
    m_current = standing.current;
    m_notice = {};
    CancelFollow();
    if (m_playing && standing.followLeft)
        ArmFollowIn(*standing.followLeft);
    m_host.Show(true);
}

void CueSequence::SetBackTime(int tenths)
{
    m_backTime = std::clamp(tenths, 0, kMaxFadeTime);
}

void CueSequence::ShowChanged()
{
    CancelFollow();
    m_current = 0;
    m_notice = {};
    m_host.Show(false);
}

void CueSequence::Say(CueNotice notice)
{
    m_notice = notice;
    m_host.Show(false);
}

} // namespace orinsub::model
