#include "surfaces/web/PairingStore.h"

#include <gtest/gtest.h>

using namespace orinsub::surfaces::web;
using namespace std::chrono_literals;

namespace {

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

    PairingStore::Clock::time_point now{1000s};
    std::vector<PairedDevice> saved;
    PairingStore store;
    QByteArray token;
};

} // namespace

TEST_F(PairingStoreTest, RightCodeGivesATokenRememberedOnlyAsItsHash)
{
    const QString code = *store.RequestCode();
    EXPECT_EQ(code.size(), 6);
    EXPECT_EQ(*store.RequestCode(), code) << "a second device sees the code still shown";
    ASSERT_EQ(store.TryCode(code.toLatin1(), QStringLiteral("iPhone Safari"), token),
              PairingStore::Answer::Paired);
    EXPECT_EQ(token.size(), 32);
    EXPECT_TRUE(store.IsPaired(token));
    EXPECT_FALSE(store.IsPaired(QByteArray(32, '0')));
    EXPECT_FALSE(store.CurrentCode()) << "a code pairs one device";
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].tokenHash, PairingStore::HashToken(token));
    EXPECT_FALSE(saved[0].tokenHash.contains(token));

    PairingStore restarted(saved);
    EXPECT_TRUE(restarted.IsPaired(token));
    restarted.Forget(saved[0].tokenHash);
    EXPECT_FALSE(restarted.IsPaired(token));
}

TEST_F(PairingStoreTest, CodeExpiresAfterTwoMinutes)
{
    const QByteArray code = store.RequestCode()->toLatin1();
    now += 121s;
    EXPECT_EQ(store.TryCode(code, {}, token), PairingStore::Answer::Expired);
    EXPECT_TRUE(token.isEmpty());
    EXPECT_NE(store.RequestCode(), std::nullopt);
}

TEST_F(PairingStoreTest, FiveWrongCodesLockPairingForAMinute)
{
    store.RequestCode();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(store.TryCode(WrongCode(), {}, token), PairingStore::Answer::Wrong);
    EXPECT_EQ(store.TryCode(WrongCode(), {}, token), PairingStore::Answer::Locked);
    EXPECT_EQ(store.RequestCode(), std::nullopt);
    EXPECT_EQ(store.LockedSeconds(), 60);
    now += 59s;
    EXPECT_EQ(store.TryCode("000000", {}, token), PairingStore::Answer::Locked);
    now += 1s;
    const QString code = *store.RequestCode();
    EXPECT_EQ(store.TryCode(code.toLatin1(), {}, token), PairingStore::Answer::Paired);
    EXPECT_TRUE(saved.size() == 1);
}
