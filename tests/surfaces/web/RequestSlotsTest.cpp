#include "surfaces/web/RequestSlots.h"

#include <gtest/gtest.h>

using orinsub::surfaces::web::RequestSlots;

namespace {

// Four places, two an address, one of a paired device's own; requests numbered in the order
// they came.
class RequestSlotsTest : public ::testing::Test
{
protected:
    std::optional<int> Admit(const char *address)
    {
        return places.Admit(++last, QString::fromLatin1(address));
    }

    RequestSlots<int> places{{.open = 4, .perAddress = 2, .paired = 1}};
    int last = 0;
};

} // namespace

TEST_F(RequestSlotsTest, ANewcomerAlwaysGetsAPlaceAndTheOldestFittingRequestGivesWay)
{
    const struct
    {
        const char *what;
        std::vector<const char *> before; // the requests that hold the places, oldest first
        const char *newcomer;
        std::optional<int> evicted;
    } cases[] = {
        {"room left", {"a", "b"}, "c", std::nullopt},
        {"its own address at its limit", {"a", "b", "b"}, "b", 2},
        {"the busiest address, two above", {"a", "b", "b", "c"}, "d", 2},
        {"fair shares: the oldest of any", {"a", "b", "c", "d"}, "e", 1},
        {"the busiest only one above: the oldest of any", {"a", "b", "b", "c"}, "c", 1},
    };
    for (const auto &[what, before, newcomer, evicted] : cases) {
        SCOPED_TRACE(what);
        places.TakeAll();
        last = 0;
        for (const char *address : before)
            ASSERT_FALSE(Admit(address));
        EXPECT_EQ(Admit(newcomer), evicted);
        EXPECT_TRUE(places.Contains(last));
        if (evicted)
            EXPECT_FALSE(places.Contains(*evicted));
    }
}

TEST_F(RequestSlotsTest, APairedDevicesRequestHoldsAPlaceOfItsOwnAndNeverGivesWay)
{
    Admit("a");
    EXPECT_TRUE(places.MarkPaired(1));
    EXPECT_FALSE(Admit("a"));
    EXPECT_FALSE(Admit("a")) << "the paired request takes none of its address's places";
    EXPECT_EQ(Admit("a"), 2);
    for (const char *address : {"b", "c"})
        Admit(address);
    EXPECT_EQ(Admit("d"), 3) << "the busiest address gives way, never the paired request";
    EXPECT_TRUE(places.Contains(1));
    EXPECT_TRUE(places.IsPaired(1));

    Admit("e");
    EXPECT_FALSE(places.MarkPaired(last)) << "paired devices' places are all taken";
    EXPECT_EQ(places.AddressOf(1), QStringLiteral("a"));
    EXPECT_TRUE(places.Remove(1));
    EXPECT_TRUE(places.AddressOf(1).isEmpty());
}
