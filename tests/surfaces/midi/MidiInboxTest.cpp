#include "surfaces/midi/MidiInbox.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>

using namespace orinsub::surfaces::midi;
using Type = MidiMessage::Type;
using Messages = std::vector<MidiMessage>;
using Bytes = std::vector<uint8_t>;

namespace {

bool IsWoken(const MidiInbox &inbox)
{
    pollfd wake{inbox.WakeDescriptor(), POLLIN, 0};
    return poll(&wake, 1, 0) == 1;
}

/// Everything waiting, slice by slice.
Messages TakeAll(MidiInbox &inbox)
{
    Messages all;
    do {
        for (const MidiMessage &m : inbox.Take())
            all.push_back(m);
    } while (inbox.HasMore());
    return all;
}

} // namespace

TEST(MidiInbox, FaderMovesMergeButPressesReleasesAndOrderStay)
{
    MidiInbox inbox;
    EXPECT_FALSE(IsWoken(inbox));
    inbox.Post(Bytes{0xB0, 1, 10});
    inbox.Post(Bytes{0xB0, 1, 20, 2, 5, 1, 30});
    inbox.Post(Bytes{0xB0, 1, 0, 1, 40, 0x90, 60, 127, 60, 0, 60, 127});
    EXPECT_TRUE(IsWoken(inbox));
    EXPECT_FALSE(inbox.AcknowledgeWake()) << "bytes are no alert";
    EXPECT_FALSE(IsWoken(inbox));
    EXPECT_EQ(inbox.Take(), (Messages{{Type::Control, 0, 1, 30},
                                      {Type::Control, 0, 2, 5},
                                      {Type::Control, 0, 1, 0},
                                      {Type::Control, 0, 1, 40},
                                      {Type::Note, 0, 60, 127},
                                      {Type::Note, 0, 60, 0},
                                      {Type::Note, 0, 60, 127}}));
    EXPECT_TRUE(inbox.Take().empty());
    inbox.Post(Bytes{0xE0, 0, 64});
    EXPECT_TRUE(IsWoken(inbox)) << "taken bytes arm the wake again";
    inbox.AcknowledgeWake();
    inbox.Alert();
    EXPECT_TRUE(inbox.AcknowledgeWake());
    EXPECT_FALSE(inbox.AcknowledgeWake());
}

// However many distinct messages wait, one take is one slice; the rest follows in order.
TEST(MidiInbox, AFloodIsTakenInSlices)
{
    MidiInbox inbox;
    for (int i = 0; i < 1000; ++i)
        inbox.Post(Bytes{0x90, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(1 + i / 128)});
    EXPECT_LE(inbox.Take().size(), MidiInbox::kSliceMessages + 32);
    EXPECT_TRUE(inbox.HasMore());
    const Messages rest = TakeAll(inbox);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.back(), (MidiMessage{Type::Note, 0, 999 % 128, 1 + 999 / 128}));
}

// A stream from the MIDI thread while the UI thread takes: the MIDI thread never allocates,
// every press arrives, and the last fader value is the one the surface sent last.
TEST(MidiInbox, AStreamFromAnotherThreadNeitherAllocatesNorLosesTheLastValue)
{
    MidiInbox inbox;
    constexpr int kMessages = 20000;
    std::atomic<bool> done = false;
    std::atomic<int> allocations = -1;
    std::thread midi([&] {
        orinsub::testing::StartCountingAllocations();
        for (int i = 0; i < kMessages; ++i) {
            const uint8_t move[] = {0xB0, static_cast<uint8_t>(i % 8),
                                    static_cast<uint8_t>(1 + i % 100)};
            // A full ring drops: this test wants everything, so it waits as no surface would.
            while (!inbox.Post(move))
                std::this_thread::yield();
            const uint8_t press[] = {0x90, 60, 127};
            while (i % 100 == 0 && !inbox.Post(press))
                std::this_thread::yield();
        }
        allocations = orinsub::testing::StopCountingAllocations();
        done = true;
    });
    Messages taken;
    while (!done || inbox.HasMore()) {
        for (const MidiMessage &m : inbox.Take()) {
            if (m.type == Type::Note || m.number == 7)
                taken.push_back(m);
        }
        std::this_thread::yield();
    }
    midi.join();
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(std::count_if(taken.begin(), taken.end(),
                            [](const MidiMessage &m) { return m.type == Type::Note; }),
              kMessages / 100);
    const auto last = std::find_if(taken.rbegin(), taken.rend(),
                                   [](const MidiMessage &m) { return m.type == Type::Control; });
    ASSERT_NE(last, taken.rend());
    EXPECT_EQ(last->value, 1 + (kMessages - 1) % 100);
}
