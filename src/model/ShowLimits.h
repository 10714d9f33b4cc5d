#pragma once

namespace orinsub::model {

// The desk's fixed dimensions; a show file does not store them.
inline constexpr int kConsoleChannels = 80;
inline constexpr int kSpareChannelIndex = kConsoleChannels; // holds every unpatched dimmer
inline constexpr int kChannelObjects = kConsoleChannels + 1;
inline constexpr int kDimmers = 512;
inline constexpr int kPages = 20;
inline constexpr int kSubMastersPerPage = 20;
inline constexpr int kLevelsPerSubMaster = 512;

// The GO fade time a new show has, in tenths of a second, and the longest time of the desk
// (59:59.9): the GO fade, BACK's fade, and every cue's up, down, delay and follow.
inline constexpr int kDefaultFadeTime = 30;
inline constexpr int kMaxFadeTime = 35999;
inline constexpr int kTenthsPerMinute = 600; // from a minute on a time reads m:ss.s

} // namespace orinsub::model
