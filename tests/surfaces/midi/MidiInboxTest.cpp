#include "surfaces/midi/MidiInbox.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace orinsub::surfaces::midi;
using Type = MidiMessage::Type;
using Messages = std::vector<MidiMessage>;

TEST(MidiInbox, FaderMovesMergeButPressesReleasesAndOrderStay)
{
    MidiInbox inbox;
    EXPECT_TRUE(inbox.Post(std::vector<uint8_t>{0xB0, 1, 10})); // wakes the UI thread
    EXPECT_FALSE(inbox.Post(std::vector<uint8_t>{0xB0, 1, 20, 2, 5, 1, 30}));
    inbox.Post(std::vector<uint8_t>{0xB0, 1, 0, 1, 40, 0x90, 60, 127, 60, 0, 60, 127});
    EXPECT_EQ(inbox.Take(), (Messages{{Type::Control, 0, 1, 30},
                                      {Type::Control, 0, 2, 5},
                                      {Type::Control, 0, 1, 0},
                                      {Type::Control, 0, 1, 40},
                                      {Type::Note, 0, 60, 127},
                                      {Type::Note, 0, 60, 0},
                                      {Type::Note, 0, 60, 127}}));
    EXPECT_TRUE(inbox.Take().empty());
    EXPECT_TRUE(inbox.Post(std::vector<uint8_t>{0xE0, 0, 64}));
}

// A stream from the MIDI thread while the UI thread takes: every press arrives, nothing grows
// past the capacity, and the last fader value is the one the surface sent last.
TEST(MidiInbox, AStreamFromAnotherThreadStaysBoundedAndEndsOnTheLastValue)
{
    MidiInbox inbox;
    constexpr int kMessages = 20000;
    std::atomic<bool> done = false;
    std::thread midi([&] {
        for (int i = 0; i < kMessages; ++i) {
            inbox.Post(std::vector<uint8_t>{0xB0, static_cast<uint8_t>(i % 8),
                                            static_cast<uint8_t>(1 + i % 100)});
            if (i % 100 == 0)
                inbox.Post(std::vector<uint8_t>{0x90, 60, 127});
        }
        done = true;
    });
    Messages taken;
    size_t largest = 0;
    while (!done) {
        Messages batch = inbox.Take();
        largest = std::max(largest, batch.size());
        for (const MidiMessage &m : batch) {
            if (m.type == Type::Note || m.number == 7)
                taken.push_back(m);
        }
        if (batch.empty())
            std::this_thread::yield();
    }
    midi.join();
    for (const MidiMessage &m : inbox.Take()) {
        if (m.type == Type::Note || m.number == 7)
            taken.push_back(m);
    }
    EXPECT_LE(largest, MidiInbox::kCapacity);
    EXPECT_EQ(std::count_if(taken.begin(), taken.end(),
                            [](const MidiMessage &m) { return m.type == Type::Note; }),
              kMessages / 100);
    const auto last = std::find_if(taken.rbegin(), taken.rend(),
                                   [](const MidiMessage &m) { return m.type == Type::Control; });
    ASSERT_NE(last, taken.rend());
    EXPECT_EQ(last->value, 1 + (kMessages - 1) % 100);
    EXPECT_EQ(inbox.Dropped(), 0u);
}
