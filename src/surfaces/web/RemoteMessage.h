#pragma once

#include "surfaces/ControlTarget.h"

#include <QByteArrayView>

#include <optional>

namespace orinsub::surfaces::web {

/// What a page asks of the desk, one WebSocket text message each:
///   {"t":"move","n":"sub/3","v":128}   a fader moved to 0..255
///   {"t":"touch","n":"sub/3","d":true} a finger took (true) or left (false) a fader
///   {"t":"press","n":"go","d":true}    a button went down (true) or up
struct RemoteMessage
{
    enum class Kind { Move, Touch, Press };
    Kind kind = Kind::Move;
    ControlTarget target;
    int value = 0;     // Move
    bool down = false; // Touch, Press
};

inline constexpr qsizetype kMaxRemoteMessage = 4096;

/// Reads one message strictly: a JSON object of exactly the keys its kind has, a target of the
/// desk (no strips or banks), a fader for move and touch and a button for press, an integral
/// value within the target's range (a fader's 0..255). Anything else, or more than
/// kMaxRemoteMessage bytes, gives nothing.
std::optional<RemoteMessage> ReadRemoteMessage(QByteArrayView text);

} // namespace orinsub::surfaces::web
