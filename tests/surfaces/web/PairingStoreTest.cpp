#include "surfaces/web/PairingStore.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::web;
using namespace std::chrono_literals;
using Answer = PairingStore::Answer;

namespace {

const QString kPhone = QStringLiteral("192.168.1.20");
const QString kStranger = QStringLiteral("192.168.1.66");

class PairingStoreTest : public ::testing::Test
{
protected:
    PairingStoreTest()
        : store({}, [this](const std::vector<PairedDevice> &devices) { saved = devices; })
    {
        store.SetClock([this] { return now; });
    }
    QByteArray WrongCode() const
    {
        return QByteArray::number((store.CurrentCode()->toInt() + 1) % 1000000)
            .rightJustified(6, '0');
    }
    Answer Try(const QByteArray &code, const QString &from = kPhone)
    {
        return store.TryCode(code, QStringLiteral("iPhone Safari"), from, token);
    }

    PairingStore::Clock::time_point now{1000s};
    std::vector<PairedDevice> saved;
    PairingStore store;
    QByteArray token;
};

} // namespace

TEST_F(PairingStoreTest, RightCodeGivesATokenRememberedOnlyAsItsHash)
{
    store.Open();
    const QString code = *store.CurrentCode();
    EXPECT_EQ(code.size(), 6);
    ASSERT_EQ(Try(code.toLatin1()), Answer::Paired);
    EXPECT_EQ(token.size(), 32);
    EXPECT_TRUE(store.IsPaired(token));
    EXPECT_FALSE(store.IsPaired(QByteArray(32, '0')));
    EXPECT_FALSE(store.IsOpen()) << "a code pairs one device";
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].tokenHash, PairingStore::HashToken(token));
    EXPECT_FALSE(saved[0].tokenHash.contains(token));

    PairingStore restarted(saved);
    EXPECT_TRUE(restarted.IsPaired(token));
    restarted.Forget(saved[0].tokenHash);
    EXPECT_FALSE(restarted.IsPaired(token));
}

TEST_F(PairingStoreTest, ACodeExistsOnlyForTwoMinutesAfterTheOperatorOpensPairing)
{
    EXPECT_EQ(Try("000000"), Answer::Closed);
    store.Open();
    const QByteArray code = store.CurrentCode()->toLatin1();
    EXPECT_EQ(store.CodeSecondsLeft(), 120);
    now += 121s;
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(Try(code), Answer::Closed);
    EXPECT_TRUE(token.isEmpty());

    store.Open();
    store.Close();
    EXPECT_EQ(Try(code), Answer::Closed);
    EXPECT_EQ(store.LockedSeconds(kPhone), 0) << "trying while closed costs nothing";
}

TEST_F(PairingStoreTest, WrongCodesMakeTheirOwnAddressWaitLongerEachTime)
{
    store.Open();
    for (const int wait : {1, 2, 4, 8, 16, 32, 64, 128, 256, 300, 300}) {
        EXPECT_EQ(Try(WrongCode(), kStranger), Answer::Wrong);
        EXPECT_EQ(store.LockedSeconds(kStranger), wait);
        EXPECT_EQ(Try(store.CurrentCode()->toLatin1(), kStranger), Answer::Locked)
            << "not even the right code is looked at while waiting";
        now += std::chrono::seconds(wait);
        store.Open(); // the operator keeps pairing open
    }
    EXPECT_EQ(store.LockedSeconds(kPhone), 0) << "other addresses are not hindered";
    EXPECT_EQ(Try(store.CurrentCode()->toLatin1(), kPhone), Answer::Paired);

    now += PairingStore::kForgetWrongCodes;
    store.Open();
    EXPECT_EQ(Try(WrongCode(), kStranger), Answer::Wrong);
    EXPECT_EQ(store.LockedSeconds(kStranger), 1) << "old wrong codes are forgotten";
}
