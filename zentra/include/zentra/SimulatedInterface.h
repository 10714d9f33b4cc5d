#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

/// Control of the simulated interface (device string "sim") for tests and tools. Every function
/// is thread-safe; the link tick calls the simulation from its own thread meanwhile.
namespace zentra::sim {

using Clock = std::chrono::steady_clock;
using Frame = std::array<uint8_t, 513>;

/// The id of the one device present at start.
inline constexpr char16_t kDeviceId[] = u"SIM-1";
/// How many write times are kept between two TakeWriteTimes (the oldest go first).
inline constexpr std::size_t kWriteLogSize = 8192;

struct Device
{
    std::u16string id;
    bool opens = true; // false: enumerated, but every open fails
};

/// Calls that can be held.
enum class Call { Read, Write };

struct Counts
{
    uint64_t enumerations = 0;
    uint64_t opens = 0; // open attempts, successful or not
    uint64_t reads = 0; // frames delivered
    uint64_t failedReads = 0;
    uint64_t writes = 0; // frames sent
    uint64_t failedWrites = 0;
    int openHandles = 0;      // opened and not yet closed
    int closedWhileInUse = 0; // closes that came while a read or write on the handle ran
    std::vector<std::u16string> openedIds; // in the order of the open attempts, since Restore
};

/// Back to the start state: device kDeviceId present, no failures planned, input frame all zero,
/// nothing held, counts and logs cleared. Handles still open stay valid.
void Restore();

/// Replaces the devices present (each id at most 15 characters to be enumerated).
void SetDevices(std::vector<Device> devices);
/// Unplugs (false) or plugs in again (true) every device. Unplugged, nothing is enumerated, opens
/// fail and so do reads and writes on every handle; a handle opened before an unplug stays dead
/// after the replug, as with real hardware.
void SetPresent(bool present);

/// The next count writes (or reads) fail, on any handle.
void FailNextWrites(int count);
void FailNextReads(int count);

/// The frame that successful reads deliver (start code in byte 0).
void SetInputFrame(const Frame &frame);
/// The last frame a successful write sent; all zero before the first.
Frame LastWrittenFrame();
/// The times of the successful writes since the last call, oldest first.
std::vector<Clock::time_point> TakeWriteTimes();

Counts GetCounts();

/// Calls of this kind block from now on until ReleaseCalls (to hold a tick in the middle).
void HoldCalls(Call call);
/// Lets every held call go on and holds no more.
void ReleaseCalls();
/// Waits until a call is blocked by HoldCalls; false when none came within timeout.
bool WaitForHeldCall(std::chrono::milliseconds timeout);

} // namespace zentra::sim
