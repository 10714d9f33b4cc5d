#include "PaneDesk.h"

#include "controls/Dan.h"
#include "controls/SubFader.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/SubMaster.h"
#include "views/ConsoleKeys.h"
#include "views/CuePlayback.h"
#include "views/DanConsoleView.h"
#include "views/DeskWatch.h"
#include "views/MasterConsoleView.h"

namespace orinsub::app {

using model::g_orin;
using surfaces::ControlTarget;

namespace {

ControlTarget::Kind KindOf(views::DeskKeyButton button)
{
    switch (button) {
    case views::DeskKeyButton::PageUp:
        return ControlTarget::Kind::PageUp;
    case views::DeskKeyButton::PageDown:
        return ControlTarget::Kind::PageDown;
    case views::DeskKeyButton::Link:
        return ControlTarget::Kind::Link;
    case views::DeskKeyButton::Go:
        break;
    }
    return ControlTarget::Kind::Go;
}

} // namespace

PaneDesk::PaneDesk()
{
    views::SetDeskListener(this, [this] { emit Changed(); });
    views::SetDeskKeyHandler(
        [this](views::DeskKeyButton button) { Press({.kind = KindOf(button)}, true); });
}

PaneDesk::~PaneDesk()
{
    views::SetDeskKeyHandler({});
    views::RemoveDeskListener(this);
}

int PaneDesk::Value(const ControlTarget &target) const
{
    return m_targets.Value(target);
}

void PaneDesk::Move(const ControlTarget &target, int value)
{
    m_targets.Move(target, value);
}

void PaneDesk::MoveCrossfader(int levelA, int levelB)
{
    m_targets.MoveCrossfader(levelA, levelB);
}

void PaneDesk::Press(const ControlTarget &target, bool down)
{
    m_targets.Press(target, down);
}

void PaneDesk::SetPickUpMark(const ControlTarget &target, int level)
{
    m_targets.SetPickUpMark(target, level);
}

int PaneDesk::Page() const
{
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    return master ? master->GetPage() : 0;
}

QString PaneDesk::StatusLine() const
{
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    return master ? master->GetStatusText() : QString();
}

QString PaneDesk::ChannelName(int channel) const
{
    const model::COrinSUBDoc *doc = g_orin.m_pDoc;
    return doc && channel >= 0 && channel < doc->m_channelCount ? doc->Channel(channel).GetName()
                                                                : QString();
}

QString PaneDesk::SubMasterName(int fader) const
{
    // From the show, not the name box: a typed name is stored there as it is typed.
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    const controls::CSubFader *subFader = master ? master->GetSubFader(fader) : nullptr;
    const model::CSubMaster *subMaster =
        subFader && g_orin.m_pDoc
            ? g_orin.m_pDoc->GetSubMaster(subFader->GetPage(), subFader->GetNumber())
            : nullptr;
    return subMaster ? subMaster->m_name : QString();
}

int PaneDesk::SubMasterState(int fader) const
{
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    const controls::CSubFader *subFader = master ? master->GetSubFader(fader) : nullptr;
    return subFader ? static_cast<int>(subFader->GetContentState()) : 0;
}

int PaneDesk::SubMasterChase(int fader) const
{
    const views::CMasterConsoleView *master = g_orin.m_pMasterView;
    const controls::CSubFader *subFader = master ? master->GetSubFader(fader) : nullptr;
    const model::Chase *chase = subFader && g_orin.m_pDoc
                                    ? g_orin.m_pDoc->m_extension.chases.OnSubMaster(
                                          subFader->GetPage(), subFader->GetNumber())
                                    : nullptr;
    return chase ? chase->number : 0;
}

uint8_t PaneDesk::OutputLevel(int channel) const
{
    return channel >= 0 && channel < ControlTarget::kChannels ? model::s_channelLevels[channel] : 0;
}

bool PaneDesk::IsOnAir(int row) const
{
    const views::CDanConsoleView *dan = g_orin.m_pDanView;
    const controls::CDan *shown = dan ? dan->GetRow(row) : nullptr;
    return shown && shown->GetState() == controls::RowState::OnAir;
}

QString PaneDesk::CueText(int number) const
{
    const views::CuePlayback *cues = m_targets.GetCuePlayback();
    return cues ? cues->CueText(number) : QString();
}

} // namespace orinsub::app
