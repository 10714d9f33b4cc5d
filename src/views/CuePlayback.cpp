#include "CuePlayback.h"

#include "ConsoleOperations.h"
#include "ConsoleTexts.h"
#include "DanConsoleView.h"
#include "DeskWatch.h"
#include "controls/CueReadout.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "model/CueTexts.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <algorithm>

namespace orinsub::views {

using model::g_orin;
using std::chrono::milliseconds;

namespace {

QString CueTitle(const model::Cue *cue)
{
    if (!cue)
        return {};
    const QString number = model::CueNumberText(cue->number);
    return cue->label.isEmpty() ? number : number + u' ' + cue->label;
}

} // namespace

FadeTimes TimesOf(const model::Cue &cue)
{
    return {milliseconds(cue.upTime * 100), milliseconds(cue.downTime * 100),
            milliseconds(cue.delay * 100)};
}

CuePlayback::CuePlayback(GoFade &go, QObject *parent)
    : QObject(parent), m_go(go), m_clock(&std::chrono::steady_clock::now)
{
    m_followTimer.setSingleShot(true);
    m_followTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_followTimer, &QTimer::timeout, this, &CuePlayback::CheckFollow);
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        Refresh();
        if (!m_go.IsRunning() && !m_followDue)
            m_progressTimer.stop();
    });
}

CuePlayback::~CuePlayback()
{
    m_go.SetPlayer(nullptr);
}

void CuePlayback::SetPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    m_go.SetPlayer(playing ? this : nullptr);
    CancelFollow();
    m_message.clear();
    Refresh();
    NotifyDeskChanged();
    if (m_onPlaying)
        m_onPlaying(playing);
}

const model::CueList *CuePlayback::Cues() const
{
    return g_orin.m_pDoc ? &g_orin.m_pDoc->m_extension.cues : nullptr;
}

QString CuePlayback::CueText(int number) const
{
    if (number <= 0)
        return {};
    const QString text = Cues() ? CueTitle(Cues()->Find(number)) : QString();
    return text.isEmpty() ? model::CueNumberText(number) : text;
}

int CuePlayback::GetNextCue() const
{
    const model::Cue *next = Cues() ? Cues()->After(m_current) : nullptr;
    return next ? next->number : 0;
}

bool CuePlayback::Go()
{
    if (!m_playing) {
        Say(cuetexts::kPlaybackOff);
        return false;
    }
    return m_go.Go(); // GO comes back through OnGo
}

std::optional<FadeTimes> CuePlayback::OnGo(int row, bool cut)
{
    // What a hand left half done is completed first, without loading anything into a row that
    // is already on the stage.
    std::optional<FadeTimes> completion = m_go.GetStoppedRemainder(row);
    if (!completion && m_go.GetHandleLevel(row) > 0)
        completion = FadeTimes::Together(milliseconds(m_go.GetFadeTime() * 100));
    if (completion) {
        m_message.clear();
        ShowProgress();
        return completion;
    }
    const model::Cue *next = Cues() ? Cues()->After(m_current) : nullptr;
    if (!next) {
        Say(Cues() && !Cues()->IsEmpty() ? cuetexts::kListEnd : cuetexts::kListEmpty);
        return std::nullopt;
    }
    Load(row, *next);
    m_current = next->number;
    m_message.clear();
    if (cut)
        CancelFollow();
    else
        ArmFollow(*next);
    ShowProgress();
    return TimesOf(*next); // a cut runs none of them
}

bool CuePlayback::Back()
{
    if (!m_playing) {
        Say(cuetexts::kPlaybackOff);
        return false;
    }
    if (!m_go.AcceptsGo())
        return false;
    const model::Cue *previous = Cues() ? Cues()->Before(m_current) : nullptr;
    if (!previous) {
        Say(cuetexts::kListStart);
        return false;
    }
    return Play(*previous, FadeTimes::Together(milliseconds(m_backTime * 100)), false);
}

bool CuePlayback::GoTo(int number)
{
    if (!m_playing) {
        Say(cuetexts::kPlaybackOff);
        return false;
    }
    const model::Cue *cue = Cues() ? Cues()->Find(number) : nullptr;
    if (!cue) {
        const bool inRange = number >= model::kMinCueNumber && number <= model::kMaxCueNumber;
        Say(inRange ? model::texts::kCueMissing.toString().arg(model::CueNumberText(number))
                    : model::texts::kCueNumberRange.toString());
        return false;
    }
    if (!m_go.AcceptsGo())
        return false;
    return Play(*cue, TimesOf(*cue), true);
}

std::optional<FadeTimes> CuePlayback::NextTimes() const
{
    if (std::optional<FadeTimes> rest = m_go.GetStoppedRemainder(m_go.GetNextRow()))
        return rest;
    const model::Cue *next = Cues() ? Cues()->After(m_current) : nullptr;
    return next ? std::optional<FadeTimes>(TimesOf(*next)) : std::nullopt;
}

void CuePlayback::OnTakenOver()
{
    CancelFollow();
    if (m_go.GetStoppedRemainder(m_go.GetNextRow()))
        Say(cuetexts::kFadeStopped.arg(model::CueNumberText(m_current)));
}

bool CuePlayback::CanLoadNextRow()
{
    const int row = m_go.GetNextRow();
    if (m_go.GetHandleLevel(row) == 0)
        return true;
    Say(cuetexts::kRowNotDown.arg(RowLetter(row)));
    return false;
}

bool CuePlayback::Play(const model::Cue &cue, const FadeTimes &times, bool follows)
{
    if (!CanLoadNextRow())
        return false;
    Load(m_go.GetNextRow(), cue);
    if (!m_go.Go(times))
        return false;
    m_current = cue.number;
    m_message.clear();
    if (follows)
        ArmFollow(cue);
    else
        CancelFollow();
    ShowProgress();
    return true;
}

void CuePlayback::Load(int row, const model::Cue &cue)
{
    CDanConsoleView *dan = g_orin.m_pDanView;
    const controls::CDan *faders = dan ? dan->GetRow(row) : nullptr;
    if (!faders)
        return;
    // Fader by fader, as a hand would set them: the section copies' undo stays as it was.
    dan->BeginInvalidationBatch();
    const int count = std::min<int>(faders->GetFaderCount(), cue.look.size());
    for (int i = 0; i < count; ++i) {
        controls::CDanFader &fader = *faders->GetFader(i);
        const bool hooked = fader.IsHooked();
        fader.MoveTo(cue.look[i]);
        if (hooked) // its knob is drawn as the input's
            dan->InvalidateRect(fader.GetKnobRect());
    }
    dan->EndInvalidationBatch();
    model::RecomputeAllChannels(); // a row partly on air shows at once
    UpdateOutputDisplays();
}

void CuePlayback::ArmFollow(const model::Cue &cue)
{
    CancelFollow();
    if (cue.follow)
        ArmFollowIn(milliseconds(*cue.follow * 100));
}

void CuePlayback::ArmFollowIn(milliseconds left)
{
    m_followDue = m_clock() + left;
    m_followTimer.start(static_cast<int>(left.count()));
}

void CuePlayback::CancelFollow()
{
    m_followDue.reset();
    m_followTimer.stop();
}

void CuePlayback::CheckFollow()
{
    if (!m_followDue || !m_playing)
        return;
    const auto left = std::chrono::ceil<milliseconds>(*m_followDue - m_clock());
    if (left.count() > 0) {
        m_followTimer.start(static_cast<int>(left.count()));
        return;
    }
    if (m_go.IsRunning()) { // the fade before it has the crossfader until it ends
        m_followTimer.start(GoFade::kStepMs);
        return;
    }
    CancelFollow();
    if (m_go.AcceptsFollow())
        FollowOn();
}

void CuePlayback::FollowOn()
{
    const model::Cue *next = Cues() ? Cues()->After(m_current) : nullptr;
    if (!next) {
        Say(cuetexts::kListEnd);
        return;
    }
    if (!CanLoadNextRow())
        return;
    Load(m_go.GetNextRow(), *next);
    m_go.Follow(TimesOf(*next));
    m_current = next->number;
    m_message.clear();
    ArmFollow(*next);
    ShowProgress();
}

CuePlayback::Standing CuePlayback::Capture() const
{
    Standing standing{m_playing, m_current, std::nullopt};
    if (m_followDue)
        standing.followLeft =
            std::max(milliseconds(0), std::chrono::ceil<milliseconds>(*m_followDue - m_clock()));
    return standing;
}

void CuePlayback::Restore(const Standing &standing)
{
    SetPlaying(standing.playing);
    m_current = standing.current;
    m_message.clear();
    CancelFollow();
    if (m_playing && standing.followLeft)
        ArmFollowIn(*standing.followLeft);
    ShowProgress();
    NotifyDeskChanged();
}

void CuePlayback::SetBackTime(int tenths)
{
    m_backTime = std::clamp(tenths, 0, GoFade::kMaxFadeTime);
}

void CuePlayback::ShowChanged()
{
    CancelFollow();
    m_current = 0;
    m_message.clear();
    Refresh();
}

void CuePlayback::SetReadout(controls::CCueReadout *readout)
{
    m_readout = readout;
    Refresh();
}

void CuePlayback::Say(const QString &message)
{
    m_message = message;
    Refresh();
}

void CuePlayback::ShowProgress()
{
    Refresh();
    m_progressTimer.start(); // it stops once the fade has ended and no follow waits
}

void CuePlayback::Refresh()
{
    NotifyDeskChanged(); // a remote page shows the cue texts too
    if (!m_readout)
        return;
    controls::CueReadoutState state;
    state.playing = m_playing;
    state.current = CueText(m_current);
    state.next = CueText(GetNextCue());
    state.progress = m_go.GetProgress();
    state.message = m_message;
    if (m_message.isEmpty() && m_followDue) {
        const auto left =
            std::max(milliseconds(0), std::chrono::ceil<milliseconds>(*m_followDue - m_clock()));
        state.message = cuetexts::kFollowCountdown.arg(
            model::SecondsText(static_cast<int>((left.count() + 99) / 100)));
    }
    m_readout->Show(state);
    m_go.ShowDisplay(); // the times beside GO are the next cue's
}

} // namespace orinsub::views
