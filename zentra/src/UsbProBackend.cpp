#include "Backends.h"
#include "DeviceArgument.h"
#include "UsbProFraming.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// A "DMX USB Pro" widget on a serial device: frames go out as label 6 messages, the frames the
// widget receives come in as label 5 messages. The device is present while its path exists.
namespace zentra::detail {
namespace {

using Clock = std::chrono::steady_clock;

// A write waits at most this long for room in the serial queue, whatever the caller allows: a
// widget that stops taking bytes must not hold up the link.
constexpr std::chrono::milliseconds kLongestWriteWait{20};
// The widget reports a frame for every DMX packet on its input, at least about once a second.
constexpr std::chrono::milliseconds kInputHold{2500};
constexpr int kReadsPerCall = 16;
constexpr std::size_t kFrameSize = 513;
// The widget sends no shorter DMX packet than start code and 24 slots.
constexpr std::size_t kShortestFrame = 25;

struct SerialDevice
{
    int fd = -1;
    usbpro::Reader reader;
    std::array<uint8_t, kFrameSize + usbpro::kFraming> out{};
    std::size_t pendingBegin = 0; // what of out has not reached the device yet
    std::size_t pendingEnd = 0;
    std::array<uint8_t, kFrameSize> input{};
    std::optional<Clock::time_point> inputTime;
};

void MakeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return; // not a terminal: a plain file or pipe takes the bytes as they are
    cfmakeraw(&settings);
    cfsetspeed(&settings, B115200);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &settings);
}

// Sends what is pending, waiting for room until deadline; true when all of it went.
bool Flush(SerialDevice &device, Clock::time_point deadline)
{
    while (device.pendingBegin < device.pendingEnd) {
        const ssize_t written = write(device.fd, device.out.data() + device.pendingBegin,
                                      device.pendingEnd - device.pendingBegin);
        if (written > 0) {
            device.pendingBegin += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return false;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd wait{device.fd, POLLOUT, 0};
        if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0 || (wait.revents & POLLERR))
            return false;
    }
    return true;
}

// Queues a message; the caller flushes. A message still pending is finished first, so that the
// widget never sees a torn one.
bool Queue(SerialDevice &device, uint8_t label, std::span<const uint8_t> data,
           Clock::time_point deadline)
{
    if (!Flush(device, deadline))
        return false;
    device.pendingBegin = 0;
    device.pendingEnd = usbpro::Frame(label, data, device.out);
    return Flush(device, deadline);
}

class UsbProBackend final : public Backend
{
public:
    UsbProBackend(std::string path, std::u16string id)
        : m_path(std::move(path)), m_id(std::move(id))
    {
    }

    std::vector<std::u16string> EnumerateIds() override
    {
        if (access(m_path.c_str(), F_OK) != 0)
            return {};
        return {m_id};
    }

    Handle Open(std::u16string_view id) override
    {
        if (id != m_id)
            return nullptr;
        auto device = std::make_unique<SerialDevice>();
        device->fd = open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (device->fd < 0)
            return nullptr;
        MakeRaw(device->fd);
        const uint8_t everyFrame = 0;
        if (!Queue(*device, usbpro::kLabelReceiveMode, {&everyFrame, 1},
                   Clock::now() + kLongestWriteWait)) {
            close(device->fd);
            return nullptr;
        }
        return device.release();
    }

    bool Write(Handle handle, std::span<const uint8_t> frame,
               std::chrono::milliseconds timeout) override
    {
        auto &device = *static_cast<SerialDevice *>(handle);
        std::array<uint8_t, kFrameSize> data{};
        const std::size_t size = std::min(frame.size(), kFrameSize);
        std::copy_n(frame.begin(), size, data.begin());
        return Queue(device, usbpro::kLabelSendDmx, {data.data(), std::max(size, kShortestFrame)},
                     Clock::now() + std::min(timeout, kLongestWriteWait));
    }

    bool Read(Handle handle, std::span<uint8_t> frame, std::chrono::milliseconds) override
    {
        auto &device = *static_cast<SerialDevice *>(handle);
        for (int i = 0; i < kReadsPerCall; ++i) {
            const auto space = device.reader.Space();
            const ssize_t got = read(device.fd, space.data(), space.size());
            if (got <= 0)
                break;
            device.reader.Added(static_cast<std::size_t>(got));
            Take(device);
        }
        if (!device.inputTime || Clock::now() - *device.inputTime > kInputHold)
            return false;
        std::copy_n(device.input.begin(), std::min(frame.size(), device.input.size()),
                    frame.begin());
        return true;
    }

    void Close(Handle handle) override
    {
        std::unique_ptr<SerialDevice> device(static_cast<SerialDevice *>(handle));
        close(device->fd);
    }

private:
    // Keeps the last good frame among the messages read; a status byte other than 0 marks a
    // frame the widget did not receive whole.
    static void Take(SerialDevice &device)
    {
        uint8_t label = 0;
        std::span<const uint8_t> data;
        while (device.reader.Next(label, data)) {
            if (label != usbpro::kLabelReceivedDmx || data.size() < 2 || data[0] != 0 ||
                data[1] != 0)
                continue;
            const auto frame = data.subspan(1, std::min(data.size() - 1, kFrameSize));
            std::copy(frame.begin(), frame.end(), device.input.begin());
            std::fill(device.input.begin() + frame.size(), device.input.end(), 0);
            device.inputTime = Clock::now();
        }
    }

    const std::string m_path;
    const std::u16string m_id;
};

} // namespace

std::shared_ptr<Backend> MakeUsbPro(std::string_view argument, bool hasArgument, std::string &error)
{
    if (!hasArgument || argument.empty() || argument.front() != '/') {
        error = "ウィジェットのシリアルデバイスを usbpro:/dev/ttyUSB0 の形で指定してください";
        return nullptr;
    }
    const std::string name = std::filesystem::path(argument).filename().string();
    std::string id = "USB Pro " + name;
    id.resize(std::min(id.size(), kMaxIdLength));
    return std::make_shared<UsbProBackend>(std::string(argument), Widen(id));
}

} // namespace zentra::detail
