#include "surfaces/web/RequestSlots.h"

#include <gtest/gtest.h>

using orinsub::surfaces::web::RequestSlots;
using namespace std::chrono_literals;

namespace {

// Six places, three an address, one of a paired device's own, three connections a second before
// an address counts as reconnecting; requests numbered in the order they came.
class RequestSlotsTest : public ::testing::Test
{
protected:
    RequestSlots<int>::Admission Admit(const char *address)
    {
        return places.Admit(++last, QString::fromLatin1(address), now);
    }

    RequestSlots<int> places{{.open = 6, .perAddress = 3, .paired = 1, .connectsPerSecond = 3}};
    int last = 0;
    RequestSlots<int>::Clock::time_point now;
};

} // namespace

TEST_F(RequestSlotsTest, TheOldestRequestOfABusierAddressGivesWayToANewcomer)
{
    const struct
    {
        const char *what;
        int connectsBefore;               // the newcomer's connections earlier within its second
        std::vector<const char *> before; // the requests that hold the places, oldest first
        const char *newcomer;
        bool admitted;
        std::optional<int> evicted; // numbered after the newcomer's earlier connections
    } cases[] = {
        {"room left", 0, {"a", "b"}, "c", true, std::nullopt},
        {"its own address at its limit", 0, {"a", "b", "b", "b"}, "b", true, 2},
        {"a fresh address: the oldest of any", 0, {"a", "b", "b", "c", "c", "d"}, "e", true, 1},
        {"a second: the oldest of another", 0, {"a", "b", "b", "c", "c", "d"}, "d", true, 1},
        {"a third: from a busier address only", 0, {"a", "b", "b", "b", "c", "c"}, "c", true, 2},
        {"none busier: turned away", 0, {"a", "a", "b", "b", "c", "c"}, "c", false, std::nullopt},
        {"reconnecting: free places only",
         3,
         {"a", "b", "b", "c", "c", "e"},
         "d",
         false,
         std::nullopt},
        {"reconnecting, at its own limit", 3, {"a", "d", "d", "d", "c", "e"}, "d", true, 5},
    };
    for (const auto &[what, connectsBefore, before, newcomer, admitted, evicted] : cases) {
        SCOPED_TRACE(what);
        places.TakeAll();
        last = 0;
        now += 2s;
        for (int i = 0; i < connectsBefore; ++i) {
            Admit(newcomer);
            places.Remove(last);
        }
        for (const char *address : before)
            ASSERT_TRUE(Admit(address).admitted);
        const auto admission = Admit(newcomer);
        EXPECT_EQ(admission.admitted, admitted);
        EXPECT_EQ(admission.evicted, evicted);
        EXPECT_EQ(places.Contains(last), admitted);
        if (evicted)
            EXPECT_FALSE(places.Contains(*evicted));
    }
}

TEST_F(RequestSlotsTest, AnAddressStopsCountingAsReconnectingAfterAQuietSecond)
{
    for (const char *address : {"a", "a", "b", "b", "c", "c", "c"}) {
        Admit(address);
        places.Remove(last);
    }
    for (const char *address : {"a", "a", "b", "b", "e", "e"})
        ASSERT_TRUE(Admit(address).admitted);
    EXPECT_FALSE(Admit("c").admitted) << "a third and fourth connection within the second";
    now += 1s;
    EXPECT_EQ(Admit("c").evicted, 8);
}

TEST_F(RequestSlotsTest, APairedDevicesRequestHoldsAPlaceOfItsOwnAndNeverGivesWay)
{
    Admit("a");
    EXPECT_TRUE(places.MarkPaired(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Admit("a").evicted) << "the paired request takes none of its address's places";
    EXPECT_EQ(Admit("a").evicted, 2);
    now += 2s;
    for (const char *address : {"b", "c", "d"})
        Admit(address);
    EXPECT_EQ(Admit("e").evicted, 3)
        << "the oldest unpaired request gives way, never the paired one";
    EXPECT_TRUE(places.Contains(1));
    EXPECT_TRUE(places.IsPaired(1));

    Admit("e");
    EXPECT_FALSE(places.MarkPaired(last)) << "paired devices' places are all taken";
    EXPECT_EQ(places.AddressOf(1), QStringLiteral("a"));
    EXPECT_TRUE(places.Remove(1));
    EXPECT_TRUE(places.AddressOf(1).isEmpty());
}
