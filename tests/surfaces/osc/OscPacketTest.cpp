#include "surfaces/osc/OscPacket.h"
#include "support/Corpus.h"

#include <lo/lo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

using namespace orinsub::surfaces;
using namespace orinsub::surfaces::osc;

namespace {

QByteArray Serialise(const char *path, lo_message message)
{
    size_t size = 0;
    void *bytes = lo_message_serialise(message, path, nullptr, &size);
    QByteArray packet(static_cast<const char *>(bytes), static_cast<qsizetype>(size));
    free(bytes);
    lo_message_free(message);
    return packet;
}

QByteArray Float(const char *path, float value)
{
    lo_message message = lo_message_new();
    lo_message_add_float(message, value);
    return Serialise(path, message);
}

QByteArray Int(const char *path, int value)
{
    lo_message message = lo_message_new();
    lo_message_add_int32(message, value);
    return Serialise(path, message);
}

QByteArray Empty(const char *path)
{
    return Serialise(path, lo_message_new());
}

/// A bundle of the given elements (messages or bundles), built by hand so that it can nest.
QByteArray Bundle(const std::vector<QByteArray> &elements)
{
    QByteArray bundle("#bundle\0\0\0\0\0\0\0\0\1", 16);
    for (const QByteArray &element : elements) {
        const uint32_t size = static_cast<uint32_t>(element.size());
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        bundle.append(length, 4).append(element);
    }
    return bundle;
}

struct Decoded
{
    bool wellFormed = false;
    std::vector<OscAction> actions;
    OscTally tally;
};

Decoded Decode(const QByteArray &packet)
{
    Decoded decoded;
    decoded.wellFormed =
        DecodeOscPacket(orinsub::testing::AsBytes(packet), decoded.actions, decoded.tally);
    return decoded;
}

ControlTarget Target(const char *name)
{
    return *ControlTarget::Parse(QString::fromLatin1(name));
}

OscAction Move(const char *name, int level)
{
    return {Target(name), true, level, false};
}

OscAction Press(const char *name, bool down)
{
    return {Target(name), false, 0, down};
}

} // namespace

TEST(OscPacket, FadersTakeFloatsOrBytesAndGoTimeTakesSecondsClamped)
{
    const Decoded decoded = Decode(Bundle({
        Float("/orinsub/A/1", 0.5f),
        Float("/orinsub/B/80", 1.0f),
        Int("/orinsub/sub/20", 200),
        Int("/orinsub/xfade/A", 300),
        Float("/orinsub/xfade/B", -0.5f),
        Float("/orinsub/strip/3", 2.0f),
        Float("/orinsub/go/time", 2.54f),
        Int("/orinsub/go/time", 3),
        Float("/orinsub/go/time", 600.0f),
        Float("/orinsub/go/time", 4000.0f),
    }));
    ASSERT_TRUE(decoded.wellFormed);
    EXPECT_EQ(decoded.actions,
              (std::vector<OscAction>{
                  Move("A/1", 128), Move("B/80", 255), Move("sub/20", 200), Move("xfade/A", 255),
                  Move("xfade/B", 0), Move("strip/3", 255), Move("go/time", 25),
                  Move("go/time", 30), Move("go/time", 6000), Move("go/time", 35999)}));
}

TEST(OscPacket, ACueNumberBeyondEveryCueStaysBeyondInsteadOfPlayingTheLast)
{
    lo_message huge = lo_message_new();
    lo_message_add_int64(huge, int64_t{1} << 62);
    lo_message half = lo_message_new();
    lo_message_add_double(half, 2.5);
    const int most = std::numeric_limits<int>::max();
    const Decoded decoded = Decode(Bundle({
        Float("/orinsub/cue/goto", 1e30f),
        Float("/orinsub/cue/goto", INFINITY),
        Float("/orinsub/cue/goto", -INFINITY),
        Serialise("/orinsub/cue/goto", huge),
        Int("/orinsub/cue/goto", 5000),
        Serialise("/orinsub/cue/goto", half),
        Float("/orinsub/cue/goto", 999.9f),
    }));
    EXPECT_EQ(decoded.actions,
              (std::vector<OscAction>{Move("cue/goto", most), Move("cue/goto", most),
                                      Move("cue/goto", std::numeric_limits<int>::min()),
                                      Move("cue/goto", most), Move("cue/goto", 50000),
                                      Move("cue/goto", 25), Move("cue/goto", 9999)}));
}

TEST(OscPacket, ButtonsPressWithoutArgumentOrNonzeroAndLetGoWithZero)
{
    lo_message yes = lo_message_new();
    lo_message_add_true(yes);
    lo_message no = lo_message_new();
    lo_message_add_false(no);
    const Decoded decoded =
        Decode(Bundle({Empty("/orinsub/go"), Int("/orinsub/in/A", 1), Float("/orinsub/in/A", 0.0f),
                       Serialise("/orinsub/page/up", yes), Serialise("/orinsub/page/up", no)}));
    EXPECT_EQ(decoded.actions,
              (std::vector<OscAction>{Press("go", true), Press("in/A", true), Press("in/A", false),
                                      Press("page/up", true), Press("page/up", false)}));
}

TEST(OscPacket, UnknownAddressesAndWrongArgumentsAreCountedAndTheRestActs)
{
    lo_message text = lo_message_new();
    lo_message_add_string(text, "0.5");
    lo_message two = lo_message_new();
    lo_message_add_float(two, 0.1f);
    lo_message_add_float(two, 0.2f);
    const Decoded decoded = Decode(Bundle({
        Float("/orinsub/A/81", 0.5f),
        Float("/orinsub/A/*", 0.5f),
        Float("/other/A/1", 0.5f),
        Float("/orinsub", 0.5f),
        Empty("/orinsub/A/1"),
        Serialise("/orinsub/A/2", text),
        Serialise("/orinsub/A/3", two),
        Float("/orinsub/A/4", std::nanf("")),
        Float("/orinsub/A/5", 0.2f),
    }));
    ASSERT_TRUE(decoded.wellFormed);
    EXPECT_EQ(decoded.actions, std::vector<OscAction>{Move("A/5", 51)});
    EXPECT_EQ(decoded.tally.unknownAddress, 4u);
    EXPECT_EQ(decoded.tally.wrongType, 4u);
    EXPECT_EQ(decoded.tally.malformed, 0u);
}

TEST(OscPacket, APacketBrokenAnywhereActsNotAtAll)
{
    const QByteArray good = Float("/orinsub/A/1", 1.0f);
    QByteArray lyingLength = Bundle({good, good});
    lyingLength[16 + 3] = char(good.size() + 8); // the first element claims more than is there
    QByteArray tooDeep = good;
    for (int depth = 0; depth < 9; ++depth)
        tooDeep = Bundle({tooDeep});
    QByteArray nestedEight = good;
    for (int depth = 0; depth < 8; ++depth)
        nestedEight = Bundle({nestedEight});

    for (const QByteArray &broken :
         {QByteArray(), QByteArray("hello world!"), good.left(good.size() - 4), good.left(10),
          Bundle({good, QByteArray("junk")}), lyingLength, QByteArray("#bundle\0\0\0\0", 12),
          tooDeep}) {
        const Decoded decoded = Decode(broken);
        EXPECT_FALSE(decoded.wellFormed) << broken.toHex().toStdString();
        EXPECT_TRUE(decoded.actions.empty());
        EXPECT_EQ(decoded.tally.malformed, 1u);
    }
    EXPECT_EQ(Decode(nestedEight).actions, std::vector<OscAction>{Move("A/1", 255)});
    EXPECT_TRUE(Decode(Bundle({})).wellFormed);
}

// Messages laid out by hand, byte by byte: the console reads exactly those that liblo, the
// clients' usual library, reads, and refuses the rest as malformed.
TEST(OscPacket, AMessageIsReadAsLibloReadsIt)
{
    const auto bytes = [](std::initializer_list<std::string_view> parts) {
        QByteArray joined;
        for (std::string_view part : parts)
            joined.append(part.data(), static_cast<qsizetype>(part.size()));
        return joined;
    };
    using namespace std::string_view_literals;
    const std::string_view address = "/orinsub/A/1\0\0\0\0"sv;
    const std::string_view half = "\x3f\0\0\0"sv; // 0.5f
    const struct
    {
        const char *what;
        QByteArray message;
        bool read;
    } cases[] = {
        {"a float", bytes({address, ",f\0\0"sv, half}), true},
        {"no argument", bytes({address, ",\0\0\0"sv}), true},
        {"every fixed type", bytes({address, ",TFNIihdtcm\0"sv, std::string(36, '\0')}), true},
        {"a string", bytes({address, ",s\0\0"sv, "abc\0"sv}), true},
        {"a blob", bytes({address, ",b\0\0"sv, "\0\0\0\3abc\0"sv}), true},
        {"no type tags", bytes({address}), false},
        {"type tags without a comma", bytes({address, "f\0\0\0"sv, half}), false},
        {"an unknown type", bytes({address, ",x\0\0"sv, half}), false},
        {"an argument cut short", bytes({address, ",h\0\0"sv, half}), false},
        {"bytes after the arguments", bytes({address, ",f\0\0"sv, half, half}), false},
        {"an address padded with junk", bytes({"/orinsub/A/1\0x\0\0"sv, ",f\0\0"sv, half}), false},
        {"an address not padded", bytes({"/orinsub/A/1\0"sv, ",f\0\0"sv, half}), false},
        {"type tags padded with junk", bytes({address, ",f\0x"sv, half}), false},
        {"a string without its end", bytes({address, ",s\0\0"sv, "abcd"sv}), false},
        {"a blob longer than the message",
         bytes({address, ",b\0\0"sv,
                "\0\0\0\x64"
                "abc\0"sv}),
         false},
        {"a blob padded with junk", bytes({address, ",b\0\0"sv, "\0\0\0\3abcx"sv}), false},
    };
    for (const auto &c : cases) {
        int result = 0;
        lo_message liblo = lo_message_deserialise(const_cast<char *>(c.message.constData()),
                                                  static_cast<size_t>(c.message.size()), &result);
        EXPECT_EQ(liblo != nullptr, c.read) << c.what << ": liblo";
        if (liblo)
            lo_message_free(liblo);
        EXPECT_EQ(Decode(c.message).wellFormed, c.read) << c.what;
    }
    EXPECT_EQ(Decode(bytes({address, ",f\0\0"sv, half})).actions,
              std::vector<OscAction>{Move("A/1", 128)});
}

TEST(OscPacket, FeedbackReadsBackAsTheTargetsAddressWithItsValue)
{
    const QByteArray packet = EncodeOscFeedback(Target("sub/7"), OscValue(Target("sub/7"), 51));
    int result = 0;
    lo_message message = lo_message_deserialise(const_cast<char *>(packet.constData()),
                                                static_cast<size_t>(packet.size()), &result);
    ASSERT_NE(message, nullptr);
    EXPECT_STREQ(packet.constData(), "/orinsub/sub/7");
    EXPECT_STREQ(lo_message_get_types(message), "f");
    EXPECT_FLOAT_EQ(lo_message_get_argv(message)[0]->f, 0.2f);
    lo_message_free(message);

    EXPECT_FLOAT_EQ(OscValue(Target("go/time"), 25), 2.5f);
    EXPECT_FLOAT_EQ(OscValue(Target("in/B"), 1), 1.0f);
    // What the console sends, it reads back as the same level.
    const Decoded echo = Decode(EncodeOscFeedback(Target("A/9"), OscValue(Target("A/9"), 77)));
    EXPECT_EQ(echo.actions, std::vector<OscAction>{Move("A/9", 77)});
}

TEST(OscPacket, FeedbackIsPackedIntoBundlesThatFitADatagramAndReadBackInOrder)
{
    std::vector<QByteArray> messages;
    std::vector<OscAction> expected;
    for (int channel = 1; channel <= 80; ++channel) {
        const ControlTarget target{ControlTarget::Kind::RowFader, 1, channel - 1};
        messages.push_back(EncodeOscFeedback(target, OscValue(target, channel)));
        expected.push_back({target, true, channel, false});
    }
    const std::vector<QByteArray> datagrams = PackOscMessages(messages);
    EXPECT_EQ(datagrams.size(), 2u);
    std::vector<OscAction> read;
    for (const QByteArray &datagram : datagrams) {
        EXPECT_LE(datagram.size(), kMaxDatagram);
        OscTally tally;
        EXPECT_TRUE(DecodeOscPacket(orinsub::testing::AsBytes(datagram), read, tally));
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(PackOscMessages({messages[0]}), std::vector<QByteArray>{messages[0]});
    EXPECT_TRUE(PackOscMessages({}).empty());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Replays the fuzzer's corpus: every kept input keeps the decoder's promises; bad-* inputs are
// malformed packets, the others are read.
TEST(OscPacket, FuzzCorpusReplaysCleanly)
{
    const auto inputs = orinsub::testing::ReadCorpus(QStringLiteral(OSC_PACKET_CORPUS));
    ASSERT_GE(inputs.size(), 10u) << "corpus missing at " << OSC_PACKET_CORPUS;
    for (const auto &[name, bytes] : inputs) {
        const std::span<const uint8_t> input = orinsub::testing::AsBytes(bytes);
        EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        EXPECT_EQ(Decode(bytes).wellFormed, !name.startsWith(u"bad-")) << name.toStdString();
    }
}
