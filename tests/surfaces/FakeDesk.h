#pragma once

#include "surfaces/ControlLayer.h"
#include "surfaces/Desk.h"

#include <array>
#include <map>
#include <optional>

namespace orinsub::testing {

/// A desk of plain values: a move sets the value, a press toggles a button's lamp (not the output
/// readout's), and every change is announced as the console's panes announce theirs.
class FakeDesk : public surfaces::Desk
{
public:
    using Target = surfaces::ControlTarget;

    int Value(const Target &target) const override
    {
        const auto found = values.find(Key(target));
        return found == values.end() ? 0 : found->second;
    }
    void Move(const Target &target, int value) override { Set(target, value); }
    void MoveCrossfader(int levelA, int levelB) override
    {
        values[surfaces::kHandleA] = levelA;
        Set(surfaces::kHandleB, levelB);
    }
    void Press(const Target &target, bool down) override
    {
        if (down && target.kind != Target::Kind::Output) // a readout: only the desk sets it
            Set(target, Value(target) ? 0 : 1);
    }
    void SetPickUpMark(const Target &target, int level) override
    {
        marks[Key(target)] = level;
        emit Changed();
    }
    /// Where the fader shows a surface fader that has not caught it (-1: no mark).
    int Mark(const Target &target) const
    {
        const auto found = marks.find(Key(target));
        return found == marks.end() ? -1 : found->second;
    }

    int Page() const override { return page; }
    QString StatusLine() const override { return status; }
    QString ChannelName(int channel) const override { return QString::number(channel + 1); }
    QString SubMasterName(int) const override { return {}; }
    int SubMasterState(int) const override { return 0; }
    int SubMasterChase(int fader) const override { return subChases.at(fader); }
    uint8_t OutputLevel(int) const override { return 0; }
    bool IsOnAir(int) const override { return false; }
    QString CueText(int) const override { return {}; }

    /// Another hand (the mouse, say) sets a value.
    void Set(const Target &target, int value)
    {
        values[Key(target)] = value;
        emit Changed();
    }

    int page = 1;
    QString status;
    std::array<int, Target::kSubFaders> subChases{};

private:
    static Target Key(const Target &target)
    {
        // The linked crossfader shows handle A.
        return target.kind == Target::Kind::Crossfade ? surfaces::kHandleA : target;
    }
    std::map<Target, int> values;
    std::map<Target, int> marks;
};

/// The layer's feedback timer, run by hand: what the layer asked for waits in due.
class ManualFlushTimer : public surfaces::FlushTimer
{
public:
    Clock::time_point Now() const override { return now; }
    void RunOnce(std::chrono::milliseconds delay, std::function<void()> run) override
    {
        due = {delay, std::move(run)};
    }
    void Cancel() override { due.reset(); }
    /// Lets time pass; a run that falls due meanwhile runs.
    void Advance(std::chrono::milliseconds by)
    {
        now += by;
        if (due && due->first <= by) {
            const auto run = std::move(due->second);
            due.reset();
            run();
        } else if (due) {
            due->first -= by;
        }
    }

    Clock::time_point now{};
    std::optional<std::pair<std::chrono::milliseconds, std::function<void()>>> due;
};

} // namespace orinsub::testing
