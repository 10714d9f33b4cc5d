#pragma once

#include "ControlTarget.h"

#include <QObject>
#include <QString>

#include <cstdint>

namespace orinsub::surfaces {

/// The desk as surfaces see it: every surface reads and moves the console through this, never
/// through its panes. Targets are those of the desk's own families (strips and banks are the
/// control layer's). The console has one, over its panes; tests use a small fake. UI thread only.
class Desk : public QObject
{
    Q_OBJECT
public:
    // The controls --------------------------------------------------------------------------
    /// A target's value: faders 0..255, a Number in tenths within its range, a lamp or state
    /// 0 or 1. 0 for a target the desk does not have.
    virtual int Value(const ControlTarget &target) const = 0;
    /// Moves a valued target (a fader, a handle, a setting, a latch's state) to value within its
    /// family's range, exactly as the mouse or the keys would; a family that does not clamp (a
    /// cue number) may pass any value, and one that names nothing changes nothing. The linked
    /// crossfader moves through MoveCrossfader.
    virtual void Move(const ControlTarget &target, int value) = 0;
    /// Both crossfader handles at once, as the linked drag moves them.
    virtual void MoveCrossfader(int levelA, int levelB) = 0;
    /// A button went down or up: a Button acts on the way down, as its key does.
    virtual void Press(const ControlTarget &target, bool down) = 0;
    /// Shows on a pick-up fader where a surface fader that has not caught it stands (0..255),
    /// or hides that mark (-1).
    virtual void SetPickUpMark(const ControlTarget &target, int level) = 0;

    // What a remote page shows besides the controls -----------------------------------------
    virtual int Page() const = 0;
    virtual QString StatusLine() const = 0;
    virtual QString ChannelName(int channel) const = 0; // channel 0..79
    virtual QString SubMasterName(int fader) const = 0; // of the sub-master fader 0..19 plays
    /// Fader 0..19's groove: 0 empty, 1 holds levels, 2 still plays another page's sub-master.
    virtual int SubMasterState(int fader) const = 0;
    /// The number of the chase put on the sub-master fader 0..19 plays, 0 for none.
    virtual int SubMasterChase(int fader) const = 0;
    virtual uint8_t OutputLevel(int channel) const = 0;
    virtual bool IsOnAir(int row) const = 0; // row 0 A, 1 B: its crossfader handle above 0
    /// Cue number (tenths) as the cue readout shows it: "number label", the number alone
    /// without a label; empty for 0.
    virtual QString CueText(int number) const = 0;

signals:
    /// Something on the desk may have changed: a value, a lamp, a name, the status line. Comes
    /// many times for one change, at once: listeners gather before they look.
    void Changed();
};

} // namespace orinsub::surfaces
