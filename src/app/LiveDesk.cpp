#include "LiveDesk.h"

#include "MainFrame.h"
#include "controls/CrossFader.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "views/ConsoleOperations.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/DeskLock.h"
#include "views/GoFade.h"
#include "views/MasterConsoleView.h"

#include <algorithm>
#include <vector>

namespace orinsub::app {

namespace {

using views::InputTarget;

struct TakeOverBit
{
    InputTarget target;
    uint8_t bit;
};
constexpr TakeOverBit kTakeOverBits[] = {
    {InputTarget::RowA, model::LiveState::kTakeOverA},
    {InputTarget::RowB, model::LiveState::kTakeOverB},
    {InputTarget::SubMasters, model::LiveState::kTakeOverSub},
};

} // namespace

model::LiveState CaptureLiveState(const CMainFrame &frame)
{
    model::LiveState state;
    const views::CDanConsoleView &dan = *frame.GetDanView();
    const views::CMasterConsoleView &master = *frame.GetMasterView();
    for (int row = 0; row < 2; ++row) {
        for (int channel = 1; channel <= model::kConsoleChannels; ++channel)
            state.rows[row][channel - 1] = dan.GetRowLevel(row, channel);
    }
    state.handles = {master.GetCrossfaderLevel(0), master.GetCrossfaderLevel(1)};
    state.linked = master.GetCrossFader()->IsLinked();
    const views::GoFade &go = master.GetGoFade();
    state.lastOnAir = static_cast<uint8_t>(go.GetLastOnAir());
    for (int i = 0; i < master.GetSubFaderCount() && i < model::kSubMastersPerPage; ++i) {
        const model::SubFaderReading reading = master.GetSubFaderReading(i);
        state.subFaders[i] = {reading.level, static_cast<uint8_t>(reading.page)};
    }
    state.page = static_cast<uint8_t>(master.GetPage());
    state.grandMaster = master.GetGrandMaster();
    state.blackout = master.IsBlackout();
    state.fadeTime = static_cast<uint16_t>(go.GetFadeTime());
    for (const TakeOverBit &takeOver : kTakeOverBits) {
        if (views::IsInputHookOn(takeOver.target))
            state.takeOvers |= takeOver.bit;
    }
    const views::CuePlayback::Standing cues = frame.GetCuePlayback().Capture();
    state.cuePlaying = cues.playing;
    state.currentCue = cues.current;
    state.followLeft = cues.followLeft;
    state.fade = go.CaptureFade();
    state.locked = views::IsDeskLocked();
    if (const dmx::COrinZentra *port = model::g_orin.m_pZentra) {
        // What is on stage, running chases included, before the dimmers' curves.
        const std::array<uint8_t, dmx::kFrameSize> sent = port->GetSentLook();
        model::LiveState::Look look{};
        std::copy(sent.begin() + 1, sent.end(), look.begin());
        state.look = look;
    }
    return state;
}

void RestoreLiveState(CMainFrame &frame, const model::LiveState &state)
{
    views::CDanConsoleView &dan = *frame.GetDanView();
    views::CMasterConsoleView &master = *frame.GetMasterView();
    for (int row = 0; row < 2; ++row) {
        for (int index = 0; index < model::kConsoleChannels; ++index)
            dan.MoveFaderTo(row, index, state.rows[row][index]);
    }
    master.MoveCrossfader(state.handles[0], state.handles[1]);
    master.SetCrossfaderLinked(state.linked);
    views::GoFade &go = master.GetGoFade();
    go.SetLastOnAir(state.lastOnAir);
    std::vector<model::SubFaderReading> readings;
    for (const model::LiveState::SubFader &fader : state.subFaders)
        readings.push_back({fader.level, fader.page, 0, false});
    master.RestoreSubFaders(state.page, readings);
    master.SetGrandMaster(state.grandMaster);
    master.SetBlackout(state.blackout);
    go.SetFadeTime(state.fadeTime);
    for (const TakeOverBit &takeOver : kTakeOverBits) {
        if (state.takeOvers & takeOver.bit)
            frame.SetInputHook(takeOver.target);
    }
    frame.GetCuePlayback().Restore({state.cuePlaying, state.currentCue, state.followLeft});
    go.ResumeFade(state.fade);
    views::SetDeskLocked(state.locked);
}

} // namespace orinsub::app
