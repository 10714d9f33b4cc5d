#include "OscPacket.h"

#include <lo/lo.h>

#include <QString>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

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

/// A number argument as a double; nothing for any other type.
std::optional<double> Number(char type, const lo_arg *arg)
{
    switch (type) {
    case LO_FLOAT:
        return arg->f;
    case LO_DOUBLE:
        return arg->d;
    case LO_INT32:
        return arg->i;
    case LO_INT64:
        return static_cast<double>(arg->h);
    default:
        return std::nullopt;
    }
}

/// The action a message's arguments ask of target; nothing when they do not fit it.
std::optional<OscAction> Interpret(const ControlTarget &target, const char *types, lo_arg **argv)
{
    const size_t count = std::strlen(types);
    if (count > 1)
        return std::nullopt;
    const char type = count == 1 ? types[0] : '\0';
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
    if (type != '\0' && type != LO_TRUE && type != LO_FALSE) {
        number = Number(type, argv[0]);
        if (!number || std::isnan(*number))
            return std::nullopt;
    }
    switch (family.action) {
    case TargetAction::Level:
        if (!number)
            return std::nullopt;
        return move(type == LO_INT32 || type == LO_INT64 ? *number : *number * 255.0);
    case TargetAction::Number:
        if (!number)
            return std::nullopt;
        return move(*number * 10.0);
    case TargetAction::Latch:
        // A value sets the state; a bare message toggles it, as a button does.
        if (type != '\0')
            return move(number ? double(*number != 0.0) : double(type == LO_TRUE));
        return OscAction{target, false, 0, true};
    case TargetAction::Button:
    case TargetAction::Momentary:
        return OscAction{target, false, 0, number ? *number != 0.0 : type != LO_FALSE};
    }
    return std::nullopt;
}

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
            const uint32_t length = uint32_t(data[offset]) << 24 |
                                    uint32_t(data[offset + 1]) << 16 |
                                    uint32_t(data[offset + 2]) << 8 | uint32_t(data[offset + 3]);
            offset += 4;
            if (length > size - offset || !ReadElement(data + offset, length, depth))
                return false;
            offset += length;
        }
        return true;
    }

    bool ReadMessage(const uint8_t *data, size_t size)
    {
        int result = 0;
        // liblo copies what it reads and leaves the packet as it is.
        const Message message(lo_message_deserialise(const_cast<uint8_t *>(data), size, &result));
        if (!message)
            return false;
        // The deserialiser has checked that the address ends inside the packet.
        const char *path = reinterpret_cast<const char *>(data);
        const size_t prefix = sizeof kAddressPrefix - 1;
        std::optional<ControlTarget> target;
        if (std::strncmp(path, kAddressPrefix, prefix) == 0)
            target = ControlTarget::Parse(QString::fromUtf8(path + prefix), m_shape);
        if (!target) {
            ++m_tally.unknownAddress;
            return true;
        }
        const char *types = lo_message_get_types(message.get());
        const std::optional<OscAction> action =
            Interpret(*target, types ? types : "", lo_message_get_argv(message.get()));
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
    std::vector<OscAction> found;
    OscTally counted;
    if (!PacketReader(found, counted, shape).ReadElement(packet.data(), packet.size(), 0)) {
        ++tally.malformed;
        return false;
    }
    actions.insert(actions.end(), found.begin(), found.end());
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
