#include "zentra/DeviceSelection.h"

#include "Backends.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>

namespace zentra {
namespace {

// Every kind of interface this build can drive. A new backend adds its row here.
constexpr detail::BackendKind kKinds[] = {
    {"sim", "sim", detail::MakeSimulation},
    {"ola", "ola:OUT[/IN][@PORT]", detail::MakeOla},
    {"artnet", "artnet:HOST[:UNIVERSE[/IN]]", detail::MakeArtNet},
    {"sacn", "sacn:HOST|multicast[:UNIVERSE[/IN]]", detail::MakeSacn, true},
    {"usbpro", "usbpro:/dev/ttyUSB0", detail::MakeUsbPro},
};

struct Selection
{
    std::mutex mutex;
    std::string device;
    bool prioritised = false;
    std::shared_ptr<Backend> backend;
};

// Lives until the process ends, like the simulation: the link tick may outlive static
// destruction.
Selection &TheSelection()
{
    static Selection *const selection = [] {
        auto *s = new Selection;
        std::string unused;
        s->device = std::string(kDefaultDevice);
        s->backend = detail::MakeSimulation({}, false, unused);
        return s;
    }();
    return *selection;
}

std::string FormList()
{
    std::string list;
    for (const auto &kind : kKinds) {
        if (!list.empty())
            list += ", ";
        list += kind.form;
    }
    return list;
}

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

} // namespace

std::string ChooseDevice(std::optional<std::string_view> commandLine)
{
    if (commandLine)
        return std::string(*commandLine);
    const char *variable = std::getenv(kDeviceVariable);
    if (variable && *variable)
        return variable;
    return std::string(kDefaultDevice);
}

bool SelectDevice(std::string_view device, std::string &error)
{
    const std::size_t colon = device.find(':');
    const bool hasArgument = colon != std::string_view::npos;
    const std::string kindName = Lowered(device.substr(0, colon));
    const std::string_view argument = hasArgument ? device.substr(colon + 1) : std::string_view();

    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](const auto &k) { return k.name == kindName; });
    if (kind == std::end(kKinds)) {
        error = device.empty()
                    ? "DMX インターフェースの指定が空です（使える指定: " + FormList() + "）"
                    : "DMX インターフェース「" + std::string(device) +
                          "」は使えません（使える指定: " + FormList() + "）";
        return false;
    }
    std::string reason;
    std::shared_ptr<Backend> backend = kind->make(argument, hasArgument, reason);
    if (!backend) {
        error = "DMX インターフェース「" + std::string(device) + "」: " + reason;
        return false;
    }
    Selection &selection = TheSelection();
    std::lock_guard lock(selection.mutex);
    selection.device = hasArgument ? kindName + ":" + std::string(argument) : kindName;
    selection.backend = std::move(backend);
    selection.prioritised = kind->prioritised;
    return true;
}

std::string SelectedDevice()
{
    Selection &selection = TheSelection();
    std::lock_guard lock(selection.mutex);
    return selection.device;
}

bool SelectedDeviceHasPriority()
{
    Selection &selection = TheSelection();
    std::lock_guard lock(selection.mutex);
    return selection.prioritised;
}

std::vector<std::string> DeviceForms()
{
    std::vector<std::string> forms;
    for (const auto &kind : kKinds)
        forms.emplace_back(kind.form);
    return forms;
}

std::vector<std::u16string> ListDevices()
{
    return detail::UsableIds(*detail::CurrentBackend());
}

namespace detail {

std::shared_ptr<Backend> CurrentBackend()
{
    Selection &selection = TheSelection();
    std::lock_guard lock(selection.mutex);
    return selection.backend;
}

std::vector<std::u16string> UsableIds(Backend &backend)
{
    std::vector<std::u16string> ids = backend.EnumerateIds();
    std::erase_if(ids, [](const std::u16string &id) {
        return id.empty() || id.size() > kMaxIdLength || id.find(u'\0') != std::u16string::npos;
    });
    return ids;
}

} // namespace detail
} // namespace zentra
