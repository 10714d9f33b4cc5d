#include "DeskTargets.h"

#include "controls/CrossFader.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "model/ChasePlayer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/ConsoleOperations.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/DeskLock.h"
#include "views/DeskWatch.h"
#include "views/GoFade.h"
#include "views/LiveControls.h"
#include "views/MasterConsoleView.h"

#include <algorithm>
#include <cmath>

namespace orinsub::app {

// Every target plays the views' panes and operations.
using namespace views;
using model::g_orin;
using surfaces::ControlTarget;

namespace {

using Kind = ControlTarget::Kind;

uint8_t Byte(int value)
{
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

/// The console fader that shows a target's pick-up mark ("xfade": handle A).
controls::CFader *MarkedFader(const ControlTarget &target)
{
    CDanConsoleView *dan = g_orin.m_pDanView;
    CMasterConsoleView *master = g_orin.m_pMasterView;
    switch (target.kind) {
    case Kind::RowFader:
        return dan ? dan->GetFader(target.row * ControlTarget::kChannels + target.index) : nullptr;
    case Kind::SubFader:
        return master ? master->GetSubFader(target.index) : nullptr;
    case Kind::CrossfadeHandle:
    case Kind::Crossfade:
        if (!master)
            return nullptr;
        if (target.kind == Kind::CrossfadeHandle && target.index == 1)
            return master->GetCrossFader()->GetHandleB();
        return master->GetCrossFader()->GetHandleA();
    case Kind::GrandMaster:
        return master ? &master->GetLiveControls().GetGrandMasterFader() : nullptr;
    default:
        return nullptr;
    }
}

/// The player of the chase a chase target names, when the show has that chase; else null.
model::ChasePlayer *ChasePlayerFor(const ControlTarget &target)
{
    const model::COrinSUBDoc *doc = g_orin.m_pDoc;
    return doc && doc->m_extension.chases.Find(target.index + 1) ? g_orin.m_pChases : nullptr;
}

} // namespace

int DeskTargets::Value(const ControlTarget &target) const
{
    const CDanConsoleView *dan = g_orin.m_pDanView;
    const CMasterConsoleView *master = g_orin.m_pMasterView;
    switch (target.kind) {
    case Kind::RowFader:
        return dan && target.row >= 0 && target.row <= 1 && target.index >= 0 &&
                       target.index < ControlTarget::kChannels
                   ? dan->GetFader(target.row * ControlTarget::kChannels + target.index)->GetLevel()
                   : 0;
    case Kind::SubFader: {
        const controls::CSubFader *fader = master ? master->GetSubFader(target.index) : nullptr;
        return fader ? fader->GetLevel() : 0;
    }
    case Kind::CrossfadeHandle:
        return master ? master->GetCrossfaderLevel(target.index) : 0;
    case Kind::Crossfade:
        return master ? master->GetCrossfaderLevel(0) : 0;
    case Kind::PageUp:
        return master && master->GetPageUpLamp()->IsOn() ? 1 : 0;
    case Kind::PageDown:
        return master && master->GetPageDownLamp()->IsOn() ? 1 : 0;
    case Kind::Input:
        return IsInputHookOn(static_cast<InputTarget>(target.index)) ? 1 : 0;
    case Kind::Link:
        return master && master->GetCrossFader()->IsLinked() ? 1 : 0;
    case Kind::Go:
        return master && master->GetGoFade().IsRunning() ? 1 : 0;
    case Kind::GoTime:
        return master ? master->GetGoFade().GetFadeTime() : 0;
    case Kind::Flash: {
        const controls::CSubFader *fader = master ? master->GetSubFader(target.index) : nullptr;
        return fader && fader->IsFlashHeld() ? 1 : 0;
    }
    case Kind::FlashMode:
        return IsFlashSolo() ? 1 : 0;
    case Kind::Independent:
        return IsIndependentChannel(target.index + 1) ? 1 : 0;
    case Kind::GrandMaster:
        return master ? master->GetGrandMaster() : 0;
    case Kind::Blackout:
        return master && master->IsBlackout() ? 1 : 0;
    case Kind::CueMode:
        return m_cues && m_cues->IsPlaying() ? 1 : 0;
    case Kind::CueGo:
        return m_cues && m_cues->IsPlaying() && master && master->GetGoFade().IsRunning() ? 1 : 0;
    case Kind::CueBack:
        return m_cues && m_cues->IsPlaying() ? 1 : 0;
    case Kind::CueGoto:
    case Kind::CueCurrent:
        return m_cues ? m_cues->GetCurrentCue() : 0;
    case Kind::CueNext:
        return m_cues ? m_cues->GetNextCue() : 0;
    case Kind::Lock:
        return IsDeskLocked() ? 1 : 0;
    case Kind::Output:
        return master && !master->IsOutputLost() ? 1 : 0;
    case Kind::Backup:
        return IsDeskFollowing() ? 0 : 1;
    case Kind::ChaseTap:
    case Kind::ChaseStep: {
        const model::ChasePlayer *chases = ChasePlayerFor(target);
        return chases && chases->IsRunning(target.index + 1) ? 1 : 0;
    }
    case Kind::ChaseBpm: {
        const model::ChasePlayer *chases = ChasePlayerFor(target);
        return chases ? static_cast<int>(std::lround(chases->GetBpm(target.index + 1) * 10)) : 0;
    }
    default:
        return 0;
    }
}

void DeskTargets::Move(const ControlTarget &target, int value)
{
    if (IsDeskFollowing())
        return; // the console it follows plays this desk
    CDanConsoleView *dan = g_orin.m_pDanView;
    CMasterConsoleView *master = g_orin.m_pMasterView;
    switch (target.kind) {
    case Kind::RowFader:
        if (dan)
            dan->MoveFaderTo(target.row, target.index, Byte(value));
        break;
    case Kind::SubFader:
        if (master)
            master->MoveSubFaderTo(target.index, Byte(value));
        break;
    case Kind::CrossfadeHandle:
        if (master)
            master->MoveCrossfaderHandle(target.index, Byte(value));
        break;
    case Kind::GoTime:
        if (master)
            master->GetGoFade().SetFadeTime(value); // clamped to its range there
        break;
    case Kind::FlashMode:
        SetFlashMode(value != 0 ? model::FlashMode::Solo : model::FlashMode::Flash);
        break;
    case Kind::Independent:
        SetIndependentChannel(target.index + 1, value != 0);
        break;
    case Kind::GrandMaster:
        if (master)
            master->SetGrandMaster(Byte(value));
        break;
    case Kind::Blackout:
        if (master)
            master->SetBlackout(value != 0);
        break;
    case Kind::CueMode:
        if (m_cues)
            m_cues->SetPlaying(value != 0);
        break;
    case Kind::CueGoto:
        if (m_cues)
            m_cues->GoTo(value);
        break;
    case Kind::Lock:
        SetDeskLocked(value != 0);
        break;
    case Kind::ChaseBpm:
        if (model::ChasePlayer *chases = ChasePlayerFor(target)) {
            chases->SetBpm(target.index + 1, value / 10.0);
            NotifyDeskChanged(); // the player tells the master pane only
        }
        break;
    default:
        break;
    }
}

void DeskTargets::MoveCrossfader(int levelA, int levelB)
{
    if (IsDeskFollowing())
        return;
    if (CMasterConsoleView *master = g_orin.m_pMasterView)
        master->MoveCrossfader(Byte(levelA), Byte(levelB));
}

void DeskTargets::Press(const ControlTarget &target, bool down)
{
    if (IsDeskFollowing())
        return;
    CMasterConsoleView *master = g_orin.m_pMasterView;
    if (target.kind == Kind::Flash) {
        if (master)
            master->HoldFlash(target.index, down);
        return;
    }
    if (!down)
        return;
    switch (target.kind) {
    case Kind::PageUp:
    case Kind::PageDown:
        if (master)
            master->StepPage(target.kind == Kind::PageUp);
        break;
    case Kind::Input:
        ToggleInputHook(static_cast<InputTarget>(target.index));
        break;
    case Kind::Link:
        if (master)
            master->ToggleCrossfaderLink();
        break;
    case Kind::Go:
        if (master)
            master->GetGoFade().Go();
        break;
    case Kind::FlashMode:
    case Kind::Independent:
    case Kind::CueMode:
    case Kind::Lock:
    case Kind::Blackout:                          // at once: a box's button is pressed on purpose
        Move(target, Value(target) == 0 ? 1 : 0); // a button toggles a latch
        break;
    case Kind::Cut:
        if (master)
            master->GetGoFade().Cut();
        break;
    case Kind::CueGo:
        if (m_cues)
            m_cues->Go();
        break;
    case Kind::CueBack:
        if (m_cues)
            m_cues->Back();
        break;
    case Kind::ChaseTap:
        if (model::ChasePlayer *chases = ChasePlayerFor(target)) {
            chases->Tap(target.index + 1);
            NotifyDeskChanged();
        }
        break;
    case Kind::ChaseStep:
        if (model::ChasePlayer *chases = ChasePlayerFor(target))
            chases->NextStep(target.index + 1);
        break;
    default:
        break;
    }
}

void DeskTargets::SetPickUpMark(const ControlTarget &target, int level)
{
    if (controls::CFader *fader = MarkedFader(target))
        fader->SetPickUpMark(level);
}

} // namespace orinsub::app
