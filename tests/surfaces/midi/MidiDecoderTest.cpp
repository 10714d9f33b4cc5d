#include "surfaces/midi/MidiDecoder.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::midi;
using Type = MidiMessage::Type;
using Bytes = std::vector<uint8_t>;
using Messages = std::vector<MidiMessage>;

namespace {

Messages Decode(MidiDecoder &decoder, const Bytes &bytes)
{
    Messages out;
    decoder.Feed(bytes, out);
    return out;
}

Messages Decode(const Bytes &bytes)
{
    MidiDecoder decoder;
    return Decode(decoder, bytes);
}

} // namespace

TEST(MidiDecoder, ReadsNotesControlsAndBendsWithRunningStatus)
{
    const Messages expected = {
        {Type::Note, 0, 60, 100},        {Type::Note, 0, 61, 0}, // running status, velocity 0 = off
        {Type::Note, 1, 60, 0},                                  // note off
        {Type::Control, 2, 7, 127},      {Type::Control, 2, 8, 1},
        {Type::PitchBend, 8, 0, 0x2000}, {Type::PitchBend, 8, 0, 16383},
    };
    EXPECT_EQ(Decode({0x90, 60, 100, 61, 0, 0x81, 60, 64, 0xB2, 7, 127, 8, 1, 0xE8, 0x00, 0x40,
                      0x7F, 0x7F}),
              expected);
}

TEST(MidiDecoder, SkipsExclusiveRealTimeAndCutMessages)
{
    // Real-time bytes inside a message and inside system-exclusive change nothing.
    EXPECT_EQ(Decode({0xB0, 0xF8, 7, 0xFE, 100}), (Messages{{Type::Control, 0, 7, 100}}));
    // System-exclusive data is never read as messages, nor is what follows without a status.
    EXPECT_EQ(Decode({0xF0, 0x7E, 0x01, 0xF8, 0x02, 0xF7, 60, 100, 0x90, 60, 1}),
              (Messages{{Type::Note, 0, 60, 1}}));
    // Running status goes on after a system-exclusive message.
    EXPECT_EQ(Decode({0xB0, 7, 1, 0xF0, 0x7E, 0xF7, 7, 2}),
              (Messages{{Type::Control, 0, 7, 1}, {Type::Control, 0, 7, 2}}));
    // A message cut short by another status is dropped; system common ends running status.
    EXPECT_EQ(Decode({0x90, 60, 0xB0, 7, 5, 0xF3, 1, 7, 6}), (Messages{{Type::Control, 0, 7, 5}}));
    // Data bytes before any status, and messages the surfaces do not use, are dropped.
    EXPECT_EQ(Decode({1, 2, 3, 0xC0, 5, 0xD0, 6, 0xA0, 60, 1}), Messages{});
}

TEST(MidiDecoder, PairsFineControllersAndContinuesAcrossCalls)
{
    MidiDecoder decoder;
    decoder.DeclareFine(0, 7);
    // A fine byte before any coarse byte says nothing; the coarse byte resets the fine one.
    EXPECT_EQ(Decode(decoder, {0xB0, 39, 5}), Messages{});
    EXPECT_EQ(Decode(decoder, {0xB0, 7, 64, 39}), (Messages{{Type::FineControl, 0, 7, 64 << 7}}));
    EXPECT_EQ(Decode(decoder, {127}), (Messages{{Type::FineControl, 0, 7, 64 << 7 | 127}}));
    // Controller 8 and channel 2's controller 7 stay 7-bit.
    EXPECT_EQ(
        Decode(decoder, {0xB0, 8, 1, 40, 2, 0xB1, 7, 3}),
        (Messages{{Type::Control, 0, 8, 1}, {Type::Control, 0, 40, 2}, {Type::Control, 1, 7, 3}}));
}

TEST(MidiMessage, LevelsScaleRoundedAndFeedbackPlaysTheSameLevelBack)
{
    EXPECT_EQ(LevelFromValue(Type::Control, 127), 255);
    EXPECT_EQ(LevelFromValue(Type::Control, 64), 129); // 128.5 rounds up
    EXPECT_EQ(LevelFromValue(Type::Control, 1), 2);    // 2.008
    EXPECT_EQ(LevelFromValue(Type::PitchBend, 16383), 255);
    EXPECT_EQ(LevelFromValue(Type::PitchBend, 8192), 128);
    EXPECT_EQ(LevelFromValue(Type::FineControl, 32), 0); // 0.498
    for (int v = 0; v <= 127; ++v)
        EXPECT_EQ(ValueFromLevel(Type::Control, LevelFromValue(Type::Control, v)), v);
    for (int level = 0; level <= 255; ++level)
        EXPECT_EQ(LevelFromValue(Type::PitchBend, ValueFromLevel(Type::PitchBend, level)), level);
}

TEST(MidiMessage, EncodesWhatTheDecoderReads)
{
    Bytes bytes;
    AppendBytes({Type::FineControl, 3, 7, 0x1234}, bytes);
    AppendBytes({Type::PitchBend, 8, 0, 0x1234}, bytes);
    AppendBytes({Type::Note, 0, 104, 0}, bytes);
    AppendBytes({Type::Control, 0, 1, 400}, bytes); // clamped
    EXPECT_EQ(bytes,
              (Bytes{0xB3, 7, 0x24, 0xB3, 39, 0x34, 0xE8, 0x34, 0x24, 0x90, 104, 0, 0xB0, 1, 127}));
}
