#include "OscPacket.h"

#include <lo/lo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

namespace orinsub::surfaces::osc {

namespace {

constexpr int kMaxBundleDepth = 8;
constexpr char kBundleTag[] = "#bundle"; // with its terminating zero: 8 bytes
constexpr size_t kBundleHeader = 16;     // the tag and the time tag

struct MessageDeleter
{
    void operator()(lo_message message) const { lo_message_free(message); }
};
using Message = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageDeleter>;

uint32_t BigEndian32(const uint8_t *data)
{
    return uint32_t(data[0]) << 24 | uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 |
           uint32_t(data[3]);
}

uint64_t BigEndian64(const uint8_t *data)
{
    return uint64_t(BigEndian32(data)) << 32 | BigEndian32(data + 4);
}

/// Whether bytes from..to of data are zeros, as OSC pads strings and blobs.
bool IsZeroPadding(const uint8_t *data, size_t from, size_t to)
{
    return std::all_of(data + from, data + to, [](uint8_t byte) { return byte == 0; });
}

/// An OSC string: its text, and its size with the zero padding.
struct OscString
{
    std::string_view text;
    size_t size = 0;
};

/// The OSC string at data; nothing when it does not end, padded with zeros to a multiple of 4
/// bytes, within size.
std::optional<OscString> ReadString(const uint8_t *data, size_t size)
{
    const auto *end = static_cast<const uint8_t *>(std::memchr(data, 0, size));
    if (!end)
        return std::nullopt;
    const size_t length = static_cast<size_t>(end - data);
    const size_t padded = length / 4 * 4 + 4;
    if (padded > size || !IsZeroPadding(data, length, padded))
        return std::nullopt;
    return OscString{{reinterpret_cast<const char *>(data), length}, padded};
}

/// The size of an argument of type at data; nothing when the type is unknown or the argument
/// does not fit within size.
std::optional<size_t> ArgumentSize(char type, const uint8_t *data, size_t size)
{
    size_t needed = 0;
    switch (type) {
    case 'T':
    case 'F':
    case 'N':
    case 'I': // true, false, nil, infinitum
        return 0;
    case 'i':
    case 'f':
    case 'c':
    case 'm': // int32, float, char, MIDI
        needed = 4;
        break;
    case 'h':
    case 'd':
    case 't': // int64, double, time tag
        needed = 8;
        break;
    case 's':
    case 'S': { // string, symbol
        const std::optional<OscString> text = ReadString(data, size);
        return text ? std::optional(text->size) : std::nullopt;
    }
    case 'b': { // blob: its length, its bytes, zero padding
        if (size < 4)
            return std::nullopt;
        const size_t length = BigEndian32(data);
        needed = 4 + (length + 3) / 4 * 4;
        if (needed > size || !IsZeroPadding(data, 4 + length, needed))
            return std::nullopt;
        return needed;
    }
    default:
        return std::nullopt;
    }
    return needed <= size ? std::optional(needed) : std::nullopt;
}

/// A number argument as a double; nothing for any other type.
std::optional<double> Number(char type, const uint8_t *data)
{
    switch (type) {
    case 'f':
        return std::bit_cast<float>(BigEndian32(data));
    case 'd':
        return std::bit_cast<double>(BigEndian64(data));
    case 'i':
        return static_cast<int32_t>(BigEndian32(data));
    case 'h':
        return static_cast<double>(static_cast<int64_t>(BigEndian64(data)));
    default:
        return std::nullopt;
    }
}

/// What a message carries: no argument, or its first one (more than one fits no target).
struct Arguments
{
    int count = 0;
    char type = '\0'; // the first argument's type
    const uint8_t *first = nullptr;
};

/// The action a message's arguments ask of target; nothing when they do not fit it.
std::optional<OscAction> Interpret(const ControlTarget &target, const Arguments &arguments)
{
    if (arguments.count > 1)
        return std::nullopt;
    const char type = arguments.type;
    const TargetFamily &family = target.Family();
    const auto move = [&](double value) {
        // Beyond an int a cue number stays beyond every cue, an infinity included.
        const double clamped = family.clamps
                                   ? std::clamp(value, double(family.min), double(family.max))
                                   : std::clamp(value, double(std::numeric_limits<int>::min()),
                                                double(std::numeric_limits<int>::max()));
        return OscAction{target, true, static_cast<int>(std::lround(clamped)), false};
    };
    std::optional<double> number;
    if (type != '\0' && type != 'T' && type != 'F') {
        number = Number(type, arguments.first);
        if (!number || std::isnan(*number))
            return std::nullopt;
    }
    switch (family.action) {
    case TargetAction::Level:
        if (!number)
            return std::nullopt;
        return move(type == 'i' || type == 'h' ? *number : *number * 255.0);
    case TargetAction::Number:
        if (!number)
            return std::nullopt;
        return move(*number * 10.0);
    case TargetAction::Latch:
        // A value sets the state; a bare message toggles it, as a button does.
        if (type != '\0')
            return move(number ? double(*number != 0.0) : double(type == 'T'));
        return OscAction{target, false, 0, true};
    case TargetAction::Button:
    case TargetAction::Momentary:
        return OscAction{target, false, 0, number ? *number != 0.0 : type != 'F'};
    }
    return std::nullopt;
}

/// Reads a packet into actions; a flood reads thousands of messages a turn, so nothing here
/// allocates but the actions themselves.
class PacketReader
{
public:
    PacketReader(std::vector<OscAction> &actions, OscTally &tally, const SurfaceShape &shape)
        : m_actions(actions), m_tally(tally), m_shape(shape)
    {
    }

    /// False when the element is no well-formed message or bundle.
    bool ReadElement(const uint8_t *data, size_t size, int depth)
    {
        if (size == 0)
            return false;
        if (data[0] == '/')
            return ReadMessage(data, size);
        if (size >= kBundleHeader && std::memcmp(data, kBundleTag, sizeof kBundleTag) == 0)
            return depth < kMaxBundleDepth && ReadBundle(data, size, depth + 1);
        return false;
    }

private:
    bool ReadBundle(const uint8_t *data, size_t size, int depth)
    {
        size_t offset = kBundleHeader;
        while (offset < size) {
            if (size - offset < 4)
                return false;
            const uint32_t length = BigEndian32(data + offset);
            offset += 4;
            if (length > size - offset || !ReadElement(data + offset, length, depth))
                return false;
            offset += length;
        }
        return true;
    }

    /// An address, a type tag string (",..."), and exactly the arguments it names.
    bool ReadMessage(const uint8_t *data, size_t size)
    {
        const std::optional<OscString> address = ReadString(data, size);
        if (!address)
            return false;
        const std::optional<OscString> tags =
            ReadString(data + address->size, size - address->size);
        if (!tags || !tags->text.starts_with(','))
            return false;
        Arguments arguments;
        size_t offset = address->size + tags->size;
        for (const char tag : tags->text.substr(1)) {
            const std::optional<size_t> argumentSize =
                ArgumentSize(tag, data + offset, size - offset);
            if (!argumentSize)
                return false;
            if (arguments.count++ == 0) {
                arguments.type = tag;
                arguments.first = data + offset;
            }
            offset += *argumentSize;
        }
        if (offset != size)
            return false;

        const std::string_view prefix(kAddressPrefix);
        std::optional<ControlTarget> target;
        if (address->text.starts_with(prefix))
            target = ControlTarget::Find(address->text.substr(prefix.size()), m_shape);
        if (!target) {
            ++m_tally.unknownAddress;
            return true;
        }
        const std::optional<OscAction> action = Interpret(*target, arguments);
        if (action)
            m_actions.push_back(*action);
        else
            ++m_tally.wrongType;
        return true;
    }

    std::vector<OscAction> &m_actions;
    OscTally &m_tally;
    const SurfaceShape &m_shape;
};

} // namespace

bool DecodeOscPacket(std::span<const uint8_t> packet, std::vector<OscAction> &actions,
                     OscTally &tally, const SurfaceShape &shape)
{
    // A broken packet takes back what it had added: it acts not at all.
    const size_t before = actions.size();
    OscTally counted;
    if (!PacketReader(actions, counted, shape).ReadElement(packet.data(), packet.size(), 0)) {
        actions.resize(before);
        ++tally.malformed;
        return false;
    }
    tally.unknownAddress += counted.unknownAddress;
    tally.wrongType += counted.wrongType;
    return true;
}

float OscValue(const ControlTarget &target, int value)
{
    switch (target.Family().action) {
    case TargetAction::Level:
        return static_cast<float>(value) / 255.0f;
    case TargetAction::Number:
        return static_cast<float>(value) / 10.0f;
    default:
        return value != 0 ? 1.0f : 0.0f;
    }
}

QByteArray EncodeOscFeedback(const ControlTarget &target, float value)
{
    const Message message(lo_message_new());
    lo_message_add_float(message.get(), value);
    const QByteArray path = kAddressPrefix + target.Name().toUtf8();
    QByteArray bytes(static_cast<qsizetype>(lo_message_length(message.get(), path.constData())),
                     Qt::Uninitialized);
    size_t size = 0;
    lo_message_serialise(message.get(), path.constData(), bytes.data(), &size);
    bytes.resize(static_cast<qsizetype>(size));
    return bytes;
}

std::vector<QByteArray> PackOscMessages(const std::vector<QByteArray> &messages)
{
    static const QByteArray kImmediateBundle("#bundle\0\0\0\0\0\0\0\0\1", 16);
    std::vector<QByteArray> datagrams;
    QByteArray bundle;
    int inBundle = 0;
    QByteArray lone;
    const auto finish = [&] {
        if (inBundle == 1)
            datagrams.push_back(lone);
        else if (inBundle > 1)
            datagrams.push_back(bundle);
        bundle = kImmediateBundle;
        inBundle = 0;
    };
    finish();
    for (const QByteArray &message : messages) {
        if (inBundle > 0 && bundle.size() + 4 + message.size() > kMaxDatagram)
            finish();
        const auto size = static_cast<uint32_t>(message.size());
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        bundle.append(length, 4).append(message);
        lone = message;
        ++inBundle;
    }
    finish();
    return datagrams;
}

} // namespace orinsub::surfaces::osc
