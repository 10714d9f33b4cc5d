#pragma once

#include "DeskTargets.h"
#include "surfaces/Desk.h"

namespace orinsub::app {

/// The desk over the console's panes (reached through g_orin; a missing pane reads as an empty
/// desk and takes no moves): its controls play as the menus and keys play them. Hears every
/// change the panes announce through views' desk listener; one at a time.
class PaneDesk final : public surfaces::Desk
{
public:
    PaneDesk();
    ~PaneDesk() override;
    PaneDesk(const PaneDesk &) = delete;
    PaneDesk &operator=(const PaneDesk &) = delete;

    /// The cue playback the cue targets play (not owned; null: they read 0 and do nothing).
    void SetCuePlayback(views::CuePlayback *cues) { m_targets.SetCuePlayback(cues); }

    int Value(const surfaces::ControlTarget &target) const override;
    void Move(const surfaces::ControlTarget &target, int value) override;
    void MoveCrossfader(int levelA, int levelB) override;
    void Press(const surfaces::ControlTarget &target, bool down) override;
    void SetPickUpMark(const surfaces::ControlTarget &target, int level) override;

    int Page() const override;
    QString StatusLine() const override;
    QString ChannelName(int channel) const override;
    QString SubMasterName(int fader) const override;
    int SubMasterState(int fader) const override;
    int SubMasterChase(int fader) const override;
    uint8_t OutputLevel(int channel) const override;
    bool IsOnAir(int row) const override;
    QString CueText(int number) const override;

private:
    DeskTargets m_targets;
};

} // namespace orinsub::app
