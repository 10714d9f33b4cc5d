#pragma once

#include "Desk.h"

namespace orinsub::views {
class CuePlayback;
}

namespace orinsub::surfaces {

/// The desk over the console's panes (reached through g_orin; a missing pane reads as an empty
/// desk and takes no moves). Hears every change the panes announce through views' desk
/// listener; one at a time.
class PaneDesk final : public Desk
{
public:
    PaneDesk();
    ~PaneDesk() override;
    PaneDesk(const PaneDesk &) = delete;
    PaneDesk &operator=(const PaneDesk &) = delete;

    /// The cue playback the cue targets play (not owned; null: they read 0 and do nothing).
    void SetCuePlayback(views::CuePlayback *cues) { m_cues = cues; }

    int Value(const ControlTarget &target) const override;
    void Move(const ControlTarget &target, int value) override;
    void MoveCrossfader(int levelA, int levelB) override;
    void Press(const ControlTarget &target, bool down) override;
    void SetPickUpMark(const ControlTarget &target, int level) override;

    int Page() const override;
    QString StatusLine() const override;
    QString ChannelName(int channel) const override;
    QString SubMasterName(int fader) const override;
    int SubMasterState(int fader) const override;
    uint8_t OutputLevel(int channel) const override;
    bool IsOnAir(int row) const override;
    QString CueText(int number) const override;

private:
    views::CuePlayback *m_cues = nullptr;
};

} // namespace orinsub::surfaces
