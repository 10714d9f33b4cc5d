// A main console and its backup, both without a display, sending sACN to 127.0.0.1 in a network
// namespace of this program's own (a plain program, run by hand as root on the Release build:
// build/bin/backup_pair [--rounds N]).
//
// Each round: a 4 s cue fade on the main; the lag of the backup's frames behind the main's (the
// time from the main's frame with a level to the backup's frame with it); the link's bytes a
// second at rest and during the fade; the main killed (SIGKILL) mid-fade and the time until the
// backup sends at its own priority, and the largest step of its frames meanwhile. Then the idle
// CPU and the resident memory of a console without a display beside one with its window (drawn
// off-screen).

#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "support/OwnLoopback.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <lo/lo.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMainOsc = 9100;
constexpr int kBackupOsc = 9101;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Frame
{
    Clock::time_point at;
    uint8_t priority;
    std::array<uint8_t, 16> cid;
    std::array<uint8_t, 3> levels; // slots 1..3
};

class SacnReader
{
public:
    SacnReader()
    {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(5568);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            std::perror("bind 127.0.0.1:5568");
    }
    ~SacnReader() { close(m_fd); }
    std::optional<Frame> Next(int timeoutMs = 2000)
    {
        pollfd wait{m_fd, POLLIN, 0};
        if (poll(&wait, 1, timeoutMs) <= 0)
            return std::nullopt;
        std::array<uint8_t, 700> packet{};
        const ssize_t size = recv(m_fd, packet.data(), packet.size(), 0);
        if (size < 129)
            return std::nullopt;
        Frame frame{Clock::now(), packet[108], {}, {packet[126], packet[127], packet[128]}};
        std::copy_n(packet.begin() + 22, 16, frame.cid.begin());
        return frame;
    }

private:
    int m_fd = -1;
};

void Osc(int port, const char *target)
{
    lo_address console = lo_address_new("127.0.0.1", std::to_string(port).c_str());
    lo_send(console, (std::string("/orinsub/") + target).c_str(), "i", 1);
    lo_address_free(console);
}

long ResidentKiB(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

double CpuSeconds(qint64 pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = text.rfind(')');
    std::istringstream fields(text.substr(close + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i)
        fields >> skip;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

/// Bytes the link carried so far (both ways, as the kernel counts them on the main's side).
uint64_t LinkBytes()
{
    QProcess ss;
    ss.start("ss", {"-tinH", "sport", "=", ":7070"});
    ss.waitForFinished(5000);
    uint64_t total = 0;
    const QString out = QString::fromLatin1(ss.readAllStandardOutput());
    for (const QString &field : out.split(QRegularExpression("\\s+"))) {
        for (const char *name : {"bytes_acked:", "bytes_received:"}) {
            if (field.startsWith(QLatin1String(name)))
                total += field.mid(static_cast<int>(std::strlen(name))).toULongLong();
        }
    }
    return total;
}

class Pair
{
public:
    Pair(const QString &folder, const QString &key) : m_folder(folder), m_key(key) {}
    ~Pair()
    {
        for (QProcess *process : {&m_main, &m_backup}) {
            process->kill();
            process->waitForFinished();
        }
    }
    void Start(QProcess &process, const QString &name, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_folder + '/' + name + "/config");
        environment.insert("XDG_STATE_HOME", m_folder + '/' + name + "/state");
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
        process.waitForStarted();
    }
    void StartMain(const QString &show)
    {
        Start(m_main, "main",
              {"--headless", "--restore", "no", "--dmx", "sacn:127.0.0.1", "--osc",
               QString::number(kMainOsc), "--backup-port", "7070", "--backup-key", m_key, show});
    }
    void StartBackup()
    {
        Start(m_backup, "backup",
              {"--headless", "--restore", "no", "--dmx", "sacn:127.0.0.1", "--osc",
               QString::number(kBackupOsc), "--backup-of", "127.0.0.1:7070", "--backup-key",
               m_key});
    }

    QProcess m_main;
    QProcess m_backup;

private:
    QString m_folder;
    QString m_key;
};

struct Round
{
    std::vector<double> lagsMs;
    double restBytesPerSecond = 0;
    double fadeBytesPerSecond = 0;
    double takeOverMs = 0;
    int largestStep = 0;
};

std::optional<Round> PlayRound(const QString &folder, const QString &key, const QString &show)
{
    Round round;
    SacnReader sacn;
    Pair pair(folder, key);
    pair.StartMain(show);
    QThread::msleep(1500);
    pair.StartBackup();
    std::optional<std::array<uint8_t, 16>> mainCid, backupCid;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    while ((!mainCid || !backupCid) && Clock::now() < deadline) {
        if (const auto frame = sacn.Next()) {
            (frame->priority == 100 ? mainCid : backupCid) = frame->cid;
        }
    }
    if (!mainCid || !backupCid)
        return std::nullopt;
    const auto drainFor = [&](std::chrono::milliseconds span, auto each) {
        const Clock::time_point end = Clock::now() + span;
        while (Clock::now() < end) {
            if (const auto frame = sacn.Next(50))
                each(*frame);
        }
    };
    const uint64_t restStart = LinkBytes();
    drainFor(std::chrono::seconds(3), [](const Frame &) {});
    round.restBytesPerSecond = static_cast<double>(LinkBytes() - restStart) / 3;

    Osc(kMainOsc, "cue/mode");
    Osc(kMainOsc, "cue/go");
    drainFor(std::chrono::milliseconds(800), [](const Frame &) {});
    Osc(kMainOsc, "cue/go"); // cue 2: slot 2 up over 4 s
    // When each level of slot 2 first went out from the main, and from the backup.
    std::array<std::optional<Clock::time_point>, 256> mainAt{}, backupAt{};
    const uint64_t fadeStart = LinkBytes();
    std::optional<std::array<uint8_t, 3>> lastBackup;
    drainFor(std::chrono::milliseconds(2000), [&](const Frame &frame) {
        auto &at = frame.cid == *mainCid ? mainAt : backupAt;
        if (!at[frame.levels[1]])
            at[frame.levels[1]] = frame.at;
        if (frame.cid == *backupCid)
            lastBackup = frame.levels;
    });
    round.fadeBytesPerSecond = static_cast<double>(LinkBytes() - fadeStart) / 2;
    for (int level = 1; level < 256; ++level) {
        if (mainAt[level] && backupAt[level])
            round.lagsMs.push_back(std::max(0.0, Ms(*backupAt[level] - *mainAt[level])));
    }

    const Clock::time_point killed = Clock::now();
    ::kill(static_cast<pid_t>(pair.m_main.processId()), SIGKILL);
    std::optional<Clock::time_point> live;
    drainFor(std::chrono::milliseconds(4000), [&](const Frame &frame) {
        if (frame.cid != *backupCid)
            return;
        if (lastBackup) {
            for (size_t slot = 0; slot < 3; ++slot)
                round.largestStep =
                    std::max(round.largestStep, std::abs(frame.levels[slot] - (*lastBackup)[slot]));
        }
        lastBackup = frame.levels;
        if (!live && frame.priority == 100)
            live = frame.at;
    });
    if (!live)
        return std::nullopt;
    round.takeOverMs = Ms(*live - killed);
    return round;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

void IdleCost(const QString &folder, const QString &show)
{
    for (const bool headless : {true, false}) {
        QProcess console;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", folder + "/idle/config");
        environment.insert("XDG_STATE_HOME", folder + "/idle/state");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        console.setProcessEnvironment(environment);
        QStringList arguments{"--restore", "no", "--dmx", "sacn:127.0.0.1", show};
        if (headless)
            arguments.prepend("--headless");
        console.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
        console.waitForStarted();
        QThread::sleep(3);
        const double before = CpuSeconds(console.processId());
        QThread::sleep(10);
        const double cpu = (CpuSeconds(console.processId()) - before) / 10 * 100;
        std::printf("%s: idle CPU %.2f %% of a core, resident memory %ld KiB\n",
                    headless ? "--headless" : "with its window (off-screen)", cpu,
                    ResidentKiB(console.processId()));
        console.terminate();
        console.waitForFinished();
    }
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::atoi(argv[i + 1]);
    }
    if (!orinsub::testing::OwnLoopback()) {
        std::fprintf(stderr, "backup_pair: needs a network namespace of its own (run as root)\n");
        return 1;
    }
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    QFile key(folder.filePath("pair.key"));
    key.open(QIODevice::WriteOnly);
    key.write("00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
    key.close();
    key.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString show = folder.filePath("bench.orin");
    {
        orinsub::model::COrinSUBDoc doc;
        orinsub::model::Cue first, second;
        first.number = 10;
        first.look[0] = 255;
        first.upTime = first.downTime = 0;
        second.number = 20;
        second.look[1] = 255;
        second.upTime = second.downTime = 40;
        doc.m_extension.cues.Add(first);
        doc.m_extension.cues.Add(second);
        orinsub::model::SaveShowFile(doc, show);
    }

    std::vector<double> lags, takeOvers, rest, fade;
    int largestStep = 0;
    for (int i = 0; i < rounds; ++i) {
        const std::optional<Round> round =
            PlayRound(folder.filePath(QStringLiteral("round%1").arg(i)), key.fileName(), show);
        if (!round) {
            std::fprintf(stderr, "round %d: the pair did not come up or take over\n", i + 1);
            continue;
        }
        lags.insert(lags.end(), round->lagsMs.begin(), round->lagsMs.end());
        takeOvers.push_back(round->takeOverMs);
        rest.push_back(round->restBytesPerSecond);
        fade.push_back(round->fadeBytesPerSecond);
        largestStep = std::max(largestStep, round->largestStep);
    }
    std::printf("lag of the backup behind the main over %zu levels: median %.1f ms, p99 %.1f ms, "
                "largest %.1f ms\n",
                lags.size(), Percentile(lags, 0.5), Percentile(lags, 0.99), Percentile(lags, 1));
    std::printf("take-over, main killed to the backup at its own priority: median %.0f ms, "
                "largest %.0f ms; largest step of its frames meanwhile %d\n",
                Percentile(takeOvers, 0.5), Percentile(takeOvers, 1), largestStep);
    std::printf("link: at rest median %.0f bytes/s, during a fade median %.0f bytes/s\n",
                Percentile(rest, 0.5), Percentile(fade, 0.5));
    IdleCost(folder.path(), show);
    return 0;
}
