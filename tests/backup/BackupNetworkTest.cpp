#include "backup/BackupNetwork.h"
#include "backup/BackupLink.h"

#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace orinsub::backup;

namespace {

const QByteArray kKey(32, 'k');

/// A console's link on the network, with what reached its desk.
struct NetConsole
{
    explicit NetConsole(bool main)
        : link(kKey,
               BackupDesk{[] { return QByteArray("SHOW"); }, [] { return QString("/a.orin"); },
                          [] { return QByteArray("LIVE"); },
                          [this](const QString &, const QByteArray &s) { shown = s; },
                          [this](const QByteArray &l) { live = l; }},
               main, 100),
          network(link)
    {
        frames.setInterval(20);
        QObject::connect(&frames, &QTimer::timeout, &link, [this] { link.Tick(); });
        frames.start();
    }
    BackupLink link;
    BackupNetwork network;
    QTimer frames;
    QByteArray shown, live;
};

// Over real sockets on 127.0.0.1: the backup finds the main, tracks it, and plays on once the main
// is gone; strangers beyond the few connections a console needs are turned away.
TEST(BackupNetwork, ABackupFollowsItsMainOverTcpAndTakesTheStageWhenItGoes)
{
    auto main = std::make_unique<NetConsole>(true);
    QString error;
    ASSERT_TRUE(main->network.Listen(QHostAddress::LocalHost, 0, error)) << error.toStdString();
    NetConsole backup(false);
    backup.network.Follow(QStringLiteral("127.0.0.1"), main->network.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return backup.live == "LIVE"; }, 10000));
    EXPECT_EQ(backup.shown, "SHOW");
    EXPECT_EQ(main->link.GetRole(), Role::Live);
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);

    std::vector<std::unique_ptr<QTcpSocket>> strangers;
    for (int i = 0; i < BackupNetwork::kMaxConnections; ++i) {
        strangers.push_back(std::make_unique<QTcpSocket>());
        strangers.back()->connectToHost(QHostAddress::LocalHost, main->network.Port());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->network.GetTurnedAway() >= 1; }, 10000))
        << "one connection more than a console needs";
    strangers.clear();

    main.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return backup.link.GetRole() == Role::Live; }, 10000));
}

} // namespace
