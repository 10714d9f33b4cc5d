#pragma once

#include "surfaces/ControlTarget.h"

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

namespace orinsub::surfaces::osc {

/// Every address the console answers starts with this.
inline constexpr char kAddressPrefix[] = "/orinsub/";

/// What one OSC message asks of the desk: a continuous target moved to a level, or a button
/// pressed (down) or let go.
struct OscAction
{
    ControlTarget target;
    bool isMove = true;
    int level = 0;     // a move's value within the target's range (go/time: tenths)
    bool down = false; // a button's state

    bool operator==(const OscAction &other) const = default;
};

/// What a packet held that the console ignored.
struct OscTally
{
    uint64_t malformed = 0;      // packets that are no OSC (the whole packet is ignored)
    uint64_t unknownAddress = 0; // messages to an address the console does not have
    uint64_t wrongType = 0;      // messages whose arguments do not fit their target
};

/// Reads one UDP datagram: an OSC message or a bundle (nested bundles too, up to 8 deep), and
/// appends what its messages ask, in packet order. Time tags are not waited for: a bundle acts
/// at once and as a whole. A packet broken anywhere adds nothing and counts as malformed.
///
/// Faders take one argument: a float 0..1 (i, h: an integer 0..255); a Number (go/time) takes
/// its value in whole units (seconds, a cue's number), float or integer. Out-of-range numbers
/// are clamped, but for a cue number, which stays out of range so that the desk refuses it.
/// Buttons take no argument, a number (nonzero presses, zero lets go) or T/F; a latch is set by
/// a number or T/F and toggled by no argument. Address patterns are not expanded; strips and
/// banks beyond shape are unknown addresses. False for a malformed packet.
bool DecodeOscPacket(std::span<const uint8_t> packet, std::vector<OscAction> &actions,
                     OscTally &tally, const SurfaceShape &shape = {});

/// The value OSC shows for a target's desk value (0..255, go/time in tenths, buttons 0/1):
/// faders 0..1, go/time in seconds, buttons and latches 0 or 1.
float OscValue(const ControlTarget &target, int value);

/// One message "/orinsub/<target> f value", ready to send.
QByteArray EncodeOscFeedback(const ControlTarget &target, float value);

/// The largest datagram the console sends: it fits an Ethernet frame unfragmented.
inline constexpr qsizetype kMaxDatagram = 1400;

/// Packs messages into as few datagrams as kMaxDatagram allows: bundles to act at once, a lone
/// message as it is.
std::vector<QByteArray> PackOscMessages(const std::vector<QByteArray> &messages);

} // namespace orinsub::surfaces::osc
