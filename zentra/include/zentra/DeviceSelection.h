#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentra {

/// The environment variable that chooses the interface when the command line does not.
inline constexpr const char *kDeviceVariable = "ORINSUB_DMX";
/// The interface in force until another is selected: the simulation.
inline constexpr std::string_view kDefaultDevice = "sim";

/// The device string to use: the command line's when given, else ORINSUB_DMX when set and not
/// empty, else the simulation.
std::string ChooseDevice(std::optional<std::string_view> commandLine);

/// Makes DEVICE ("KIND" or "KIND:ARGUMENT", e.g. "sim") the interface behind the C API for the
/// enumerations and opens that follow; devices already open stay with the interface that opened
/// them until closed. A malformed or unknown string leaves the interface in force and returns
/// false with a one-line message for the operator in error. Any thread.
bool SelectDevice(std::string_view device, std::string &error);

/// The device string in force.
std::string SelectedDevice();

/// The forms of device string this build accepts, one per kind (for help texts).
std::vector<std::string> DeviceForms();

/// The sACN priority this console's frames carry, 1..200 (clamped), 100 until set; from the
/// next frame on. A backup console sends below its main, so that receivers follow the main
/// while it lives. Any thread.
inline constexpr uint8_t kMinSacnPriority = 1;
inline constexpr uint8_t kMaxSacnPriority = 200;
void SetSacnPriority(uint8_t priority);
uint8_t SacnPriority();

/// The ids an enumeration of the interface in force delivers now.
std::vector<std::u16string> ListDevices();

} // namespace zentra
