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

using model::CueNotice;
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

/// A time left as a readout counts it down: rounded up to the tenth, so 0.0 means over.
QString TenthsLeft(milliseconds left)
{
    return model::TimeWithUnit(static_cast<int>((left.count() + 99) / 100));
}

QString NoticeText(const CueNotice &notice)
{
    switch (notice.kind) {
    case CueNotice::Kind::None:
        return {};
    case CueNotice::Kind::PlaybackOff:
        return cuetexts::kPlaybackOff;
    case CueNotice::Kind::ListEmpty:
        return cuetexts::kListEmpty;
    case CueNotice::Kind::ListEnd:
        return cuetexts::kListEnd;
    case CueNotice::Kind::ListStart:
        return cuetexts::kListStart;
    case CueNotice::Kind::CueMissing:
        return model::texts::kCueMissing.toString().arg(model::CueNumberText(notice.value));
    case CueNotice::Kind::NumberRange:
        return model::texts::kCueNumberRange.toString();
    case CueNotice::Kind::RowNotDown:
        return cuetexts::kRowNotDown.arg(RowLetter(notice.value));
    case CueNotice::Kind::FadeStopped:
        return cuetexts::kFadeStopped.arg(model::CueNumberText(notice.value));
    }
    return {};
}

} // namespace

CuePlayback::CuePlayback(GoFade &go, QObject *parent)
    : QObject(parent), CueSequence(go, *this), m_go(go)
{
    m_followTimer.setSingleShot(true);
    m_followTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_followTimer, &QTimer::timeout, this, [this] { CheckFollow(); });
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        Refresh();
        if (!m_go.IsRunning() && !IsFollowPending())
            m_progressTimer.stop();
    });
}

const model::CueList *CuePlayback::GetCues() const
{
    return g_orin.m_pDoc ? &g_orin.m_pDoc->m_extension.cues : nullptr;
}

QString CuePlayback::CueText(int number) const
{
    if (number <= 0)
        return {};
    const QString text = GetCues() ? CueTitle(GetCues()->Find(number)) : QString();
    return text.isEmpty() ? model::CueNumberText(number) : text;
}

QString CuePlayback::GetMessage() const
{
    return NoticeText(GetNotice());
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

void CuePlayback::Show(bool started)
{
    Refresh();
    if (started)
        m_progressTimer.start(); // it stops once the fade has ended and no follow waits
}

void CuePlayback::WakeIn(std::optional<milliseconds> delay)
{
    if (delay)
        m_followTimer.start(static_cast<int>(delay->count()));
    else
        m_followTimer.stop();
}

void CuePlayback::PlayingChanged(bool playing)
{
    NotifyDeskChanged();
    if (m_onPlaying)
        m_onPlaying(playing);
}

void CuePlayback::SetReadout(controls::CCueReadout *readout)
{
    m_readout = readout;
    Refresh();
}

void CuePlayback::Refresh()
{
    NotifyDeskChanged(); // a remote page shows the cue texts too
    if (!m_readout)
        return;
    controls::CueReadoutState state;
    state.playing = IsPlaying();
    state.current = CueText(GetCurrentCue());
    state.next = CueText(GetNextCue());
    state.progress = m_go.GetProgress();
    if (m_go.IsRunning())
        state.remaining = cuetexts::kFadeRemaining.arg(TenthsLeft(m_go.GetRemaining()));
    state.message = GetMessage();
    if (state.message.isEmpty()) {
        if (const std::optional<milliseconds> left = GetFollowLeft())
            state.message = cuetexts::kFollowCountdown.arg(TenthsLeft(*left));
    }
    m_readout->Show(state);
    m_go.ShowDisplay(); // the times beside GO are the next cue's
}

} // namespace orinsub::views
