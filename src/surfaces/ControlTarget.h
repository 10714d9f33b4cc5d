#pragma once

#include "model/Chase.h"
#include "model/ShowLimits.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orinsub::surfaces {

struct TargetFamily;

/// How many strips and banks a surface steps through: strip/k and bank/k beyond them play
/// nothing there. The widest is what any surface may name.
struct SurfaceShape
{
    int strips = 128;
    int banks = 128;
};

/// What a surface control plays, named one way everywhere (mapping files, OSC addresses after
/// "/orinsub/", the web page's data-target). The names, their numbers and how each is played
/// come from the catalogue of target families below.
struct ControlTarget
{
    enum class Kind {
        RowFader,        // row 0 (A) or 1 (B), index 0..79
        SubFader,        // index 0..19
        CrossfadeHandle, // index 0 (A) or 1 (B)
        Crossfade,
        PageUp,
        PageDown,
        Input, // index 0 row A, 1 row B, 2 sub-masters (the take-over targets)
        Link,
        Go,
        GoTime,
        Flash,       // sub fader index 0..19's flash button
        FlashMode,   // 0 flash, 1 solo
        Independent, // channel index 0..79
        GrandMaster,
        Blackout,
        Cut,
        Strip,      // index 0.. (strip/1 is index 0)
        BankSelect, // index 0.. (bank/1 is index 0)
        BankNext,
        BankPrevious,
        CueMode, // 0 the desk plays by hand, 1 GO plays the cue list
        CueGo,
        CueBack,
        CueGoto,    // a cue number in tenths: moving it fades to that cue
        CueCurrent, // the cue on stage, in tenths (0: none); shown, not played
        CueNext,    // the cue GO plays next, in tenths (0: none)
        Lock,       // 1 while the desk is locked against the mouse
        Output,     // 1 while frames reach the DMX interface, 0 when not; shown, not played
        Backup,     // 1 while this console plays the stage, 0 while it follows another; shown
        ChaseTap,   // chase number index + 1: a tap of its tempo (lit while it runs)
        ChaseBpm,   // its speed in tenths of a BPM (1200 = 120.0 BPM)
        ChaseStep,  // its next step now (lit while it runs)
    };

    Kind kind = Kind::Go;
    int row = 0;
    int index = 0;

    static constexpr int kChannels = model::kConsoleChannels;
    static constexpr int kSubFaders = model::kSubMastersPerPage;
    static constexpr int kChases = model::kMaxChases;
    static constexpr int kMaxStrips = SurfaceShape{}.strips;
    static constexpr int kMaxBanks = SurfaceShape{}.banks;

    /// The target a name stands for; nothing for an unknown or out-of-range name (strips and
    /// banks: beyond shape).
    static std::optional<ControlTarget> Parse(const QString &name, const SurfaceShape &shape = {});
    /// The same for a name in UTF-8 as it arrives (an OSC address after its prefix): a lookup
    /// that copies nothing, cheap enough for every message of a flood.
    static std::optional<ControlTarget> Find(std::string_view name, const SurfaceShape &shape = {});
    /// The target's one name ("B/1", "sub/3", "xfade/A", "chase/2/tap", ...).
    QString Name() const;
    /// The family the target belongs to (every target parsed or listed has one).
    const TargetFamily &Family() const;

    /// A valued target (a fader, a handle, a strip, a time): surfaces move it. Every other
    /// target is pressed, as a button.
    bool IsContinuous() const;

    /// Ordered by kind, then row, then index.
    auto operator<=>(const ControlTarget &other) const = default;
};

/// The crossfader's handles, which the linked crossfader moves together.
inline constexpr ControlTarget kHandleA{ControlTarget::Kind::CrossfadeHandle, 0, 0};
inline constexpr ControlTarget kHandleB{ControlTarget::Kind::CrossfadeHandle, 0, 1};

/// How a family's targets are played, and what their value is.
enum class TargetAction {
    Level,  // a fader: moved to 0..255
    Number, // a number in tenths (go/time: a time in seconds; cue/goto: a cue; chase/N/bpm: BPM),
            // within its range
    Button, // acts when pressed; its value is its lamp, 0 or 1
    Latch,  // a state 0 or 1: a button toggles it, a value sets it
    Momentary, // on while held: acts when pressed and when let go
};

/// Where a family plays: on the desk itself, or through a surface's own banks.
enum class TargetScope {
    Desk,
    Bank, // strip/k plays the k-th target of the surface's current bank; bank/... choose it
};

/// One row of the catalogue: the targets that share a name and are played alike.
struct TargetFamily
{
    /// A numbered family's prefix ("A" names A/1..A/count), or a single target's whole name.
    const char *name;
    ControlTarget::Kind kind;
    int row = 0;
    int index = 0; // a single target's index (xfade/B: 1)
    int count = 0; // numbered: how many; 0: a single target
    TargetAction action = TargetAction::Button;
    int min = 0; // the range of a valued target's value
    int max = 1;
    TargetScope scope = TargetScope::Desk;
    /// A console fader: a surface fader without a motor must pick it up before it moves it, and
    /// the fader shows where such a surface fader stands until then.
    bool pickUp = false;
    /// In the lists of what a surface shows of the whole desk. Not: the linked crossfader (it
    /// shows handle A) and the bank buttons (one lamp per bank, for a surface that binds them).
    bool listed = true;
    /// A value beyond the range is clamped to it. Not for a cue number: 5000 is no cue, and
    /// playing the last one instead would put the wrong light on stage; the desk refuses it.
    bool clamps = true;
    /// A numbered family whose name goes on after the number ("chase" and "tap" name
    /// chase/1/tap..chase/count/tap); null for none.
    const char *suffix = nullptr;
    /// What one level of a fader-like control (a MIDI fader or knob, 0..255) stands for in the
    /// value: chase/N/bpm takes a level as whole BPM, 10 tenths.
    int perLevel = 1;

    bool IsNumbered() const { return count > 0; }
};

/// The catalogue, in the order lists offer the targets.
std::span<const TargetFamily> TargetFamilies();

/// Which targets a list holds.
enum class TargetList {
    DeskControls, // each control of the desk once: what a page shows, what the operator moves
    Shown,        // the listed families: the desk's controls, the strips and the bank steps
    Everything,   // every target a surface may bind
};

/// The targets of a list, strips and banks as many as shape has, in catalogue order.
std::vector<ControlTarget> ListTargets(TargetList list, const SurfaceShape &shape = {});

} // namespace orinsub::surfaces

/// A target as one number: rows are 0 or 1, and no family counts 65536 targets.
template <> struct std::hash<orinsub::surfaces::ControlTarget>
{
    size_t operator()(const orinsub::surfaces::ControlTarget &target) const noexcept
    {
        return (static_cast<size_t>(target.kind) * 2 + static_cast<size_t>(target.row)) << 16 |
               static_cast<size_t>(target.index);
    }
};
