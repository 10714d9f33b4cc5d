#include "ZentraLib.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace sim = zentra::sim;

class ZentraLibTest : public ::testing::Test
{
protected:
    void SetUp() override { sim::Restore(); }
    void TearDown() override
    {
        sim::ReleaseCalls();
        for (ZENTRA_HANDLE handle : m_opened)
            Zentra_Close(handle);
        EXPECT_EQ(sim::GetCounts().openHandles, 0);
    }

    std::vector<std::u16string> Enumerate()
    {
        std::vector<std::u16string> ids;
        ZENTRA_ENUM enumeration = ZentraEnum_New();
        EXPECT_NE(enumeration, nullptr);
        ZentraWChar buffer[ZENTRA_ID_CHARS];
        while (ZentraEnum_NextW(enumeration, buffer) != 0)
            ids.emplace_back(buffer);
        EXPECT_EQ(ZentraEnum_NextW(enumeration, buffer), 0) << "an ended enumeration stays ended";
        ZentraEnum_Delete(enumeration);
        return ids;
    }

    ZENTRA_HANDLE Open(const std::u16string &id)
    {
        ZENTRA_HANDLE handle = Zentra_OpenIDW(id.c_str());
        if (handle)
            m_opened.push_back(handle);
        return handle;
    }

    void Close(ZENTRA_HANDLE handle)
    {
        std::erase(m_opened, handle);
        Zentra_Close(handle);
    }

    static sim::Frame Numbered()
    {
        sim::Frame frame{};
        for (std::size_t i = 1; i < frame.size(); ++i)
            frame[i] = static_cast<uint8_t>(i * 7);
        return frame;
    }

    std::vector<ZENTRA_HANDLE> m_opened;
};

TEST_F(ZentraLibTest, SimulationPresentsOneDeviceThatWritesAndReadsZeros)
{
    ASSERT_EQ(Enumerate(), std::vector<std::u16string>{sim::kDeviceId});
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    ASSERT_NE(device, nullptr);

    const sim::Frame out = Numbered();
    EXPECT_NE(Zentra_Write(device, out.data(), 513, 500), 0);
    EXPECT_EQ(sim::LastWrittenFrame(), out);

    sim::Frame in;
    in.fill(0xAA);
    EXPECT_NE(Zentra_Read(device, in.data(), 513, 10), 0);
    EXPECT_EQ(in, sim::Frame{});

    const sim::Counts counts = sim::GetCounts();
    EXPECT_EQ(counts.enumerations, 1u);
    EXPECT_EQ(counts.writes, 1u);
    EXPECT_EQ(counts.reads, 1u);
    EXPECT_EQ(counts.openHandles, 1);
    Close(device);
    EXPECT_EQ(sim::GetCounts().openHandles, 0);
}

TEST_F(ZentraLibTest, OpenRefusesUnknownEmptyAndOverlongIds)
{
    EXPECT_EQ(Open(u"SIM-2"), nullptr);
    EXPECT_EQ(Open(u""), nullptr);
    EXPECT_EQ(Zentra_OpenIDW(nullptr), nullptr);
    // No terminator within the 16 characters of an id buffer: never read past them.
    const std::u16string unterminated(ZENTRA_ID_CHARS, u'S');
    EXPECT_EQ(Zentra_OpenIDW(unterminated.data()), nullptr);
}

TEST_F(ZentraLibTest, EnumerationSkipsIdsTooLongForTheBuffer)
{
    const std::u16string fifteen = u"ABCDEFGHIJKLMNO";
    sim::SetDevices({{u"ABCDEFGHIJKLMNOP"}, {fifteen}, {u""}});
    EXPECT_EQ(Enumerate(), std::vector<std::u16string>{fifteen});
    EXPECT_NE(Open(fifteen), nullptr);
}

TEST_F(ZentraLibTest, PlannedFailuresFailExactlyThatManyCalls)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    ASSERT_NE(device, nullptr);
    sim::SetInputFrame(Numbered());
    sim::Frame frame{};
    frame[1] = 1;

    sim::FailNextWrites(2);
    sim::FailNextReads(3);
    sim::Frame in;
    in.fill(0x55);
    const sim::Frame before = in;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Zentra_Write(device, frame.data(), 513, 500), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Zentra_Read(device, in.data(), 513, 10), 0);
        EXPECT_EQ(in, before) << "a failed read leaves the buffer as it was";
    }
    EXPECT_EQ(sim::LastWrittenFrame(), sim::Frame{}) << "failed writes send nothing";

    EXPECT_NE(Zentra_Write(device, frame.data(), 513, 500), 0);
    EXPECT_NE(Zentra_Read(device, in.data(), 513, 10), 0);
    EXPECT_EQ(in, Numbered());
    EXPECT_EQ(sim::LastWrittenFrame(), frame);

    const sim::Counts counts = sim::GetCounts();
    EXPECT_EQ(counts.failedWrites, 2u);
    EXPECT_EQ(counts.failedReads, 3u);
    EXPECT_EQ(counts.writes, 1u);
    EXPECT_EQ(counts.reads, 1u);
}

TEST_F(ZentraLibTest, BadArgumentsFailWithoutTouchingTheDevice)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    sim::Frame frame{};
    EXPECT_EQ(Zentra_Write(nullptr, frame.data(), 513, 500), 0);
    EXPECT_EQ(Zentra_Write(device, nullptr, 513, 500), 0);
    EXPECT_EQ(Zentra_Write(device, frame.data(), 0, 500), 0);
    EXPECT_EQ(Zentra_Write(device, frame.data(), 513, -1), 0);
    EXPECT_EQ(Zentra_Read(nullptr, frame.data(), 513, 10), 0);
    EXPECT_EQ(Zentra_Read(device, frame.data(), -5, 10), 0);
    ZentraWChar buffer[ZENTRA_ID_CHARS];
    EXPECT_EQ(ZentraEnum_NextW(nullptr, buffer), 0);
    Zentra_Close(nullptr);
    ZentraEnum_Delete(nullptr);
    EXPECT_EQ(sim::GetCounts().writes + sim::GetCounts().failedWrites, 0u);
}

TEST_F(ZentraLibTest, ShortAndLongFramesAreCutToTheFrameSize)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    std::vector<unsigned char> longFrame(600, 9);
    EXPECT_NE(Zentra_Write(device, longFrame.data(), 600, 500), 0);
    sim::Frame nines;
    nines.fill(9);
    EXPECT_EQ(sim::LastWrittenFrame(), nines);

    sim::SetInputFrame(Numbered());
    std::vector<unsigned char> guarded(8, 0xEE);
    EXPECT_NE(Zentra_Read(device, guarded.data(), 4, 10), 0);
    EXPECT_TRUE(std::equal(guarded.begin(), guarded.begin() + 4, Numbered().begin()));
    EXPECT_EQ(guarded[4], 0xEE) << "a read never writes past the length it was given";
}

TEST_F(ZentraLibTest, UnpluggedDeviceFailsUntilReopenedAfterReplug)
{
    ZENTRA_HANDLE old = Open(sim::kDeviceId);
    ASSERT_NE(old, nullptr);
    sim::Frame frame{};

    sim::SetPresent(false);
    EXPECT_TRUE(Enumerate().empty());
    EXPECT_EQ(Open(sim::kDeviceId), nullptr);
    EXPECT_EQ(Zentra_Write(old, frame.data(), 513, 500), 0);
    EXPECT_EQ(Zentra_Read(old, frame.data(), 513, 10), 0);

    sim::SetPresent(true);
    EXPECT_EQ(Zentra_Write(old, frame.data(), 513, 500), 0)
        << "the old handle died with the unplug";
    ASSERT_EQ(Enumerate().size(), 1u);
    ZENTRA_HANDLE fresh = Open(sim::kDeviceId);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(Zentra_Write(fresh, frame.data(), 513, 500), 0);
}

TEST_F(ZentraLibTest, EveryWriteIsTimedInOrderAndTakenOnce)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    sim::Frame frame{};
    for (int i = 0; i < 5; ++i)
        Zentra_Write(device, frame.data(), 513, 500);
    sim::FailNextWrites(1);
    Zentra_Write(device, frame.data(), 513, 500);

    const auto times = sim::TakeWriteTimes();
    ASSERT_EQ(times.size(), 5u) << "only frames sent are timed";
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_TRUE(sim::TakeWriteTimes().empty());
}

TEST_F(ZentraLibTest, WriteLogKeepsTheNewestWhenFull)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    sim::Frame frame{};
    Zentra_Write(device, frame.data(), 513, 500);
    const auto first = sim::Clock::now();
    for (std::size_t i = 0; i < sim::kWriteLogSize; ++i)
        Zentra_Write(device, frame.data(), 513, 500);
    const auto times = sim::TakeWriteTimes();
    ASSERT_EQ(times.size(), sim::kWriteLogSize);
    EXPECT_GE(times.front(), first) << "the oldest write made room";
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
}

TEST_F(ZentraLibTest, HeldWriteWaitsForReleaseAndCountsAsInUse)
{
    ZENTRA_HANDLE device = Open(sim::kDeviceId);
    sim::HoldCalls(sim::Call::Write);
    int result = -1;
    std::thread writer([&] {
        sim::Frame frame{};
        result = Zentra_Write(device, frame.data(), 513, 500);
    });
    ASSERT_TRUE(sim::WaitForHeldCall(5s));
    sim::Frame in{};
    EXPECT_NE(Zentra_Read(device, in.data(), 513, 10), 0) << "only writes are held";
    EXPECT_EQ(sim::GetCounts().writes, 0u);
    sim::ReleaseCalls();
    writer.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim::GetCounts().writes, 1u);
    EXPECT_FALSE(sim::WaitForHeldCall(0ms));
}

} // namespace
