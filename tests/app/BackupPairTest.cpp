// A main console on a private X server and its backup without a display, in the test's own
// network namespace, both sending to 127.0.0.1: the backup follows the main frame for frame,
// takes the stage when the main is killed, and keeps it when the main comes back.
#include "ArtNetConsole.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace {

using namespace orinsub;
using orinsub::testing::ArtNetFrames;
using orinsub::testing::LoopbackUdp;

constexpr uint16_t kSacnPort = 5568;
constexpr char kLinkPort[] = "127.0.0.1:7070";
constexpr char kMainAt[] = "127.0.0.1:7070";

/// One E1.31 data packet: who sent it, at which priority, and its 512 slots.
struct SacnFrame
{
    std::array<uint8_t, 16> cid{};
    uint8_t priority = 0;
    std::vector<uint8_t> levels;
};

class SacnFrames
{
public:
    explicit SacnFrames(LoopbackUdp &socket) : m_socket(socket) {}
    std::optional<SacnFrame> Next(std::chrono::milliseconds timeout = std::chrono::seconds(2))
    {
        const auto packet = m_socket.Receive(timeout);
        if (!packet || packet->size() < 126 + 512)
            return std::nullopt;
        SacnFrame frame;
        std::copy_n(packet->begin() + 22, 16, frame.cid.begin());
        frame.priority = (*packet)[108];
        frame.levels.assign(packet->begin() + 126, packet->begin() + 126 + 512);
        return frame;
    }

private:
    LoopbackUdp &m_socket;
};

class BackupPairTest : public orinsub::testing::ArtNetConsoleTest
{
protected:
    void SetUp() override
    {
        ArtNetConsoleTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(
            WriteKey(Key(), "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"));
        m_show = folder.filePath("drama.orin");
        ASSERT_TRUE(orinsub::testing::SaveThreeCueShow(m_show));
    }
    void TearDown() override
    {
        for (QProcess *process : {&m_backup, &m_stranger}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
        ArtNetConsoleTest::TearDown();
    }

    QString Key() const { return folder.filePath("pair.key"); }
    static bool WriteKey(const QString &path, const QByteArray &hex)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(hex) == hex.size() &&
               file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    /// The main on the X server: the show, OSC, and its backups' port.
    void StartMain(const QString &dmx)
    {
        StartPlayedConsole({"--dmx", dmx, "--backup-port", kLinkPort, "--backup-key", Key(),
                            "--restore", "no", m_show});
    }
    /// A console without a display following the main, with folders of its own.
    void StartHeadless(QProcess &process, const QString &name, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", folder.filePath(name + "/config"));
        environment.insert("XDG_STATE_HOME", folder.filePath(name + "/state"));
        environment.remove("DISPLAY");
        environment.remove("ORINSUB_DMX");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ORINSUB_EXECUTABLE),
                      QStringList{"--headless", "--backup-of", kMainAt} + arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    void StartBackup(const QString &dmx)
    {
        m_backupOsc = LoopbackUdp::FreePort();
        StartHeadless(m_backup, "backup",
                      {"--dmx", dmx, "--osc", QString::number(m_backupOsc), "--backup-key", Key()});
    }
    /// Waits (a sanitised console on a busy machine: up to 60 s) until the process has said
    /// text on its error stream; all it said so far.
    bool WaitForLine(QProcess &process, const QString &text)
    {
        return QTest::qWaitFor(
            [&] {
                m_said[&process] += QString::fromUtf8(process.readAllStandardError());
                return m_said[&process].contains(text);
            },
            60000);
    }
    void OscTo(uint16_t port, const char *target, int value = 1)
    {
        const uint16_t main = m_oscPort;
        m_oscPort = port;
        Osc(target, value);
        m_oscPort = main;
    }

    QString m_show;
    QProcess m_backup;
    QProcess m_stranger;
    uint16_t m_backupOsc = 0;
    std::map<QProcess *, QString> m_said;
};

// sACN: both send all the time, the backup 10 below the main with the main's look; a stranger
// with another key learns nothing and sends nothing; the main killed mid-fade, the backup ends the
// fade without a jump and plays the next cue on its own GO; the main back does not take the stage.
TEST_F(BackupPairTest, OnSacnTheBackupFollowsEveryFrameAndCarriesOnWhenTheMainIsKilled)
{
    const std::unique_ptr<LoopbackUdp> socket = orinsub::testing::BindWhenFree(kSacnPort);
    ASSERT_TRUE(socket);
    SacnFrames sacn(*socket);
    StartMain("sacn:127.0.0.1");
    StartBackup("sacn:127.0.0.1");
    ASSERT_TRUE(WaitForLine(m_backup, QStringLiteral("追従中"))) << m_said[&m_backup].toStdString();
    ASSERT_TRUE(WriteKey(folder.filePath("other.key"),
                         "fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210"));
    StartHeadless(m_stranger, "stranger",
                  {"--dmx", "sacn:127.0.0.1", "--backup-key", folder.filePath("other.key")});

    // The main's CID is the one at 100.
    std::optional<std::array<uint8_t, 16>> mainCid, backupCid;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<SacnFrame> frame = sacn.Next();
            if (frame && frame->priority == 100)
                mainCid = frame->cid;
            if (frame && frame->priority == 90)
                backupCid = frame->cid;
            return mainCid && backupCid;
        },
        60000));

    Osc("cue/mode", 1);
    Osc("cue/go");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<SacnFrame> frame = sacn.Next();
            return frame && frame->cid == *backupCid && frame->levels[0] == 255;
        },
        30000));
    QTest::qWait(600); // past GO's bounce guard
    Osc("cue/go");

    // Through the fade, each of the backup's frames lies between two the main sent within a frame
    // or two (before or after: the two send on clocks of their own, and a fade steps between).
    std::vector<std::vector<uint8_t>> mainFrames;
    std::vector<std::pair<size_t, std::vector<uint8_t>>> backupFrames; // after main frame n
    std::set<std::array<uint8_t, 16>> senders;
    while (mainFrames.empty() || mainFrames.back()[1] < 100) {
        const std::optional<SacnFrame> frame = sacn.Next();
        ASSERT_TRUE(frame);
        senders.insert(frame->cid);
        if (frame->cid == *mainCid)
            mainFrames.push_back(frame->levels);
        else if (frame->cid == *backupCid && !mainFrames.empty() && frame->levels[1] > 0)
            backupFrames.emplace_back(mainFrames.size() - 1, frame->levels);
    }
    const auto between = [&](size_t i, const std::vector<uint8_t> &levels) {
        for (size_t slot = 0; slot < levels.size(); ++slot) {
            const auto [low, high] = std::minmax(mainFrames[i][slot], mainFrames[i + 1][slot]);
            if (levels[slot] < low || levels[slot] > high)
                return false;
        }
        return true;
    };
    int worstLag = 0;
    for (const auto &[after, levels] : backupFrames) {
        std::optional<int> lag;
        for (size_t i = 0; i + 1 < mainFrames.size(); ++i) {
            const int distance =
                std::max(0, std::abs(static_cast<int>(after) - static_cast<int>(i)) - 1);
            if (between(i, levels) && (!lag || distance < *lag))
                lag = distance;
        }
        ASSERT_TRUE(lag) << "a look the main never went through";
        worstLag = std::max(worstLag, *lag);
    }
    std::printf("backup against the main: at most %d frames apart over %zu frames\n", worstLag,
                backupFrames.size());
    EXPECT_LE(worstLag, 3) << "a frame is 20 ms; a sanitised build on a busy machine may lag";
    EXPECT_EQ(senders.size(), 2u) << "the stranger sends nothing";

    ASSERT_TRUE(Signal(SIGKILL));
    std::vector<uint8_t> last = mainFrames.back();
    for (int i = 0; i < 500 && last[1] != 250; ++i) {
        const std::optional<SacnFrame> frame = sacn.Next();
        ASSERT_TRUE(frame) << "the backup went silent";
        if (frame->cid != *backupCid)
            continue;
        for (size_t slot = 0; slot < 2; ++slot)
            ASSERT_LE(std::abs(frame->levels[slot] - last[slot]), 10) << "slot " << slot + 1;
        last = frame->levels;
    }
    EXPECT_EQ(last[1], 250) << "cue 2's look, where the fade ends";
    ASSERT_TRUE(WaitForLine(m_backup, QStringLiteral("本番中")));
    QTest::qWait(600);
    OscTo(m_backupOsc, "cue/go");
    std::optional<SacnFrame> third;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            third = sacn.Next();
            return third && third->cid == *backupCid && third->levels[2] == 100;
        },
        30000))
        << "cue 3 on the backup's own GO";
    EXPECT_EQ(third->priority, 100) << "live, the backup sends at its own priority";

    m_said[&m_stranger] += QString::fromUtf8(m_stranger.readAllStandardError());
    EXPECT_FALSE(m_said[&m_stranger].contains(QStringLiteral("追従中")));
    EXPECT_FALSE(QDir(folder.filePath("stranger/state/OrinSUB/backup")).exists())
        << "the stranger got no show";

    // The main back tracks the live backup: below it, with its look, never above.
    StartMain("sacn:127.0.0.1");
    int mainBack = 0;
    for (int i = 0; i < 5000 && mainBack < 100; ++i) {
        const std::optional<SacnFrame> frame = sacn.Next();
        ASSERT_TRUE(frame);
        if (frame->cid == *backupCid) {
            ASSERT_EQ(frame->levels, third->levels) << "the stage stays";
            continue;
        }
        ASSERT_LT(frame->priority, 100)
            << "the main came back above the live backup"
            << (frame->cid == *mainCid ? " (main)" : " (another)") << " after " << mainBack;
        ASSERT_EQ(frame->levels, third->levels) << "the main sends the backup's look";
        ++mainBack;
    }
    EXPECT_EQ(mainBack, 100);
}

// Art-Net has no priority: the tracking backup sends nothing, and its first frame once the main
// is killed carries the main's last look.
TEST_F(BackupPairTest, OnArtNetTheBackupIsSilentUntilItTakesTheStageWithTheMainsLastLook)
{
    const std::unique_ptr<LoopbackUdp> socket = BindArtNet();
    ASSERT_TRUE(socket);
    ArtNetFrames artNet(*socket);
    StartMain("artnet:127.0.0.1");
    StartBackup("artnet:127.0.0.1");
    ASSERT_TRUE(WaitForLine(m_backup, QStringLiteral("「drama」")))
        << m_said[&m_backup].toStdString();
    Osc("cue/mode", 1);
    Osc("cue/go");
    const std::vector<uint8_t> look = artNet.WaitFor([](const auto &f) { return f[0] == 255; });
    ASSERT_FALSE(look.empty());
    QTest::qWait(500); // the backup has it
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(artNet.Next(), look) << "one sender only: the main";

    ASSERT_TRUE(Signal(SIGKILL));
    artNet.Drain();
    EXPECT_EQ(artNet.Next(std::chrono::seconds(30)), look) << "the backup's first frame";
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(artNet.Next(), look);
    ASSERT_TRUE(WaitForLine(m_backup, QStringLiteral("本番中")));
}

} // namespace
