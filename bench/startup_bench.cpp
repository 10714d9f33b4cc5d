// Start-up and idle cost of the console (a plain program, run by hand on the Release build:
// build-app-rel/bin/startup_bench [--runs N] [--idle-seconds S]).
//
// Start-up: the program starts itself again N times as a console (the same start-up code as
// orinsub, with the simulated interface, off-screen, an empty settings store) and reports the
// time from just before the process is started to the main window's first paint and to the
// first DMX frame the simulated interface sent, and the resident memory then.
// Restart after a crash: the same with a live state left in the state folder, the restore question
// waiting unanswered: the time to the first frame, and whether every frame carried the left look.
// Idle: the real orinsub runs for S seconds untouched, once with the simulated interface open and
// once sending Art-Net to 127.0.0.1 (received here, when port 6454 is free, to count the frames);
// the CPU time of all its threads over that span, in percent of one core, the wake-ups of its link
// timer thread per second, and its resident memory.

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "model/LiveState.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC: the same clock in every process
constexpr const char *kStartVariable = "ORINSUB_BENCH_START_NS";

long ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

/// CPU time of every thread of pid, in nanoseconds.
uint64_t CpuNanoseconds(pid_t pid)
{
    uint64_t total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream schedstat(tasks.filePath(task).toStdString() + "/schedstat");
        uint64_t onCpu = 0;
        if (schedstat >> onCpu)
            total += onCpu;
    }
    return total;
}

pid_t Spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &extraEnv,
            int stdoutFd)
{
    std::vector<std::string> env = extraEnv;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (std::none_of(extraEnv.begin(), extraEnv.end(),
                         [&](const std::string &x) { return x.rfind(name + "=", 0) == 0; }))
            env.push_back(entry);
    }
    std::vector<char *> argv, envp;
    for (const auto &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

/// Voluntary context switches of pid's link timer thread: one per sleep, so one per wake-up.
long TimerThreadWakeUps(pid_t pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string folder = tasks.filePath(task).toStdString();
        std::ifstream comm(folder + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name != "orinsub-timer")
            continue;
        std::ifstream status(folder + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                return std::strtol(line.c_str() + 24, nullptr, 10);
        }
    }
    return -1;
}

/// A UDP socket bound to 127.0.0.1:port that takes the console's packets, or -1 when taken.
int LoopbackReceiver(uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

/// Reads and counts what waits on the socket.
long DrainPackets(int fd)
{
    long packets = 0;
    char buffer[1024];
    while (fd >= 0 && recv(fd, buffer, sizeof buffer, 0) >= 0)
        ++packets;
    return packets;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Child: starts the console and reports "paint_ms frame_ms rss_kib" on stdout.
int RunChild(int argc, char **argv)
{
    const int64_t startNs = std::strtoll(std::getenv(kStartVariable), nullptr, 10);
    auto sinceStart = [startNs](Clock::time_point t) {
        return (t.time_since_epoch().count() - startNs) / 1e6;
    };
    QApplication application(argc, argv);
    orinsub::app::COrinSUBApp app;
    if (!app.InitInstance({}))
        return 1;
    std::optional<double> paint, frame;
    QObject::connect(app.GetMainFrame(), &orinsub::app::CMainFrame::FirstPainted,
                     [&] { paint = sinceStart(Clock::now()); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!frame) {
            const auto writes = zentra::sim::TakeWriteTimes();
            if (!writes.empty())
                frame = sinceStart(writes.front());
        }
        if (paint && frame) {
            std::printf("%.2f %.2f %ld\n", *paint, *frame, ResidentKiB(getpid()));
            QCoreApplication::exit(0);
        }
    });
    poll.start(1);
    return QApplication::exec();
}

// The look a crashed console left: every tenth slot lit.
orinsub::model::LiveState LeftDesk()
{
    orinsub::model::LiveState desk;
    desk.rows[1][0] = 200;
    orinsub::model::LiveState::Look look{};
    for (size_t slot = 0; slot < look.size(); slot += 10)
        look[slot] = static_cast<uint8_t>(1 + slot % 255);
    desk.look = look;
    return desk;
}

// Child after a crash: reports "frame_ms frames_right" once the interface sent 10 frames while
// the restore question waits, and ends there.
int RunRestartChild(int argc, char **argv)
{
    const int64_t startNs = std::strtoll(std::getenv(kStartVariable), nullptr, 10);
    QApplication application(argc, argv);
    const auto look = *LeftDesk().look;
    std::optional<double> first;
    int frames = 0, right = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto writes = zentra::sim::TakeWriteTimes();
        if (writes.empty())
            return;
        if (!first)
            first = (writes.front().time_since_epoch().count() - startNs) / 1e6;
        const auto sent = zentra::sim::LastWrittenFrame();
        frames += static_cast<int>(writes.size());
        right += std::equal(look.begin(), look.end(), sent.begin() + 1)
                     ? static_cast<int>(writes.size())
                     : 0;
        if (frames >= 10) {
            std::printf("%.2f %d %d\n", *first, right, frames);
            std::fflush(stdout);
            _exit(0); // the question would wait for ever
        }
    });
    poll.start(1);
    orinsub::app::COrinSUBApp app;
    app.InitInstance({});
    return 1;
}

/// Starts this program as a child console of the given mode, timed from just before the start,
/// and returns the one line it reports (empty when it reported nothing).
std::string ChildReport(const char *self, const char *mode, const QString &config)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const int64_t start = Clock::now().time_since_epoch().count();
    const pid_t pid = Spawn({self, mode},
                            {std::string(kStartVariable) + "=" + std::to_string(start),
                             "QT_QPA_PLATFORM=offscreen", "ORINSUB_DMX=sim",
                             "XDG_CONFIG_HOME=" + config.toStdString(),
                             "XDG_STATE_HOME=" + config.toStdString()},
                            pipeFds[1]);
    close(pipeFds[1]);
    char line[128] = {};
    const ssize_t n = read(pipeFds[0], line, sizeof line - 1);
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    return n > 0 ? std::string(line) : std::string();
}

void MeasureRestart(const char *self, int runs, const QString &config)
{
    std::vector<double> frames;
    int wrong = 0;
    for (int i = 0; i < runs; ++i) {
        QDir().mkpath(config + "/OrinSUB");
        QFile left(config + "/OrinSUB/recovery-1.live");
        if (!left.open(QIODevice::WriteOnly) ||
            left.write(orinsub::model::LiveStateFile::Encode(LeftDesk())) < 0)
            return;
        left.close();
        const std::string line = ChildReport(self, "--restart-child", config);
        double frame = 0;
        int right = 0, sent = 0;
        if (std::sscanf(line.c_str(), "%lf %d %d", &frame, &right, &sent) != 3) {
            std::fprintf(stderr, "restart %d failed\n", i);
            continue;
        }
        frames.push_back(frame);
        wrong += sent - right;
    }
    if (frames.empty())
        return;
    std::printf("restart after a crash over %zu runs (median, worst), the question unanswered:\n",
                frames.size());
    std::printf("  to the first frame        %7.1f ms  %7.1f ms; frames of another look: %d\n",
                Median(frames), *std::max_element(frames.begin(), frames.end()), wrong);
}

void MeasureStartUp(const char *self, int runs, const QString &config)
{
    std::vector<double> paints, frames, rss;
    for (int i = 0; i < runs; ++i) {
        const std::string line = ChildReport(self, "--child", config);
        double paint = 0, frame = 0;
        long kib = 0;
        if (std::sscanf(line.c_str(), "%lf %lf %ld", &paint, &frame, &kib) != 3) {
            std::fprintf(stderr, "run %d failed\n", i);
            continue;
        }
        paints.push_back(paint);
        frames.push_back(frame);
        rss.push_back(kib / 1024.0);
    }
    if (paints.empty())
        return;
    std::printf("start-up over %zu runs (median, worst):\n", paints.size());
    std::printf("  to the first paint        %7.1f ms  %7.1f ms\n", Median(paints),
                *std::max_element(paints.begin(), paints.end()));
    std::printf("  to the first DMX frame    %7.1f ms  %7.1f ms\n", Median(frames),
                *std::max_element(frames.begin(), frames.end()));
    std::printf("  resident memory then      %7.1f MiB %7.1f MiB\n", Median(rss),
                *std::max_element(rss.begin(), rss.end()));
}

void MeasureIdle(int seconds, const QString &config, const std::string &device)
{
    const int receiver = device.rfind("artnet:", 0) == 0 ? LoopbackReceiver(6454) : -1;
    const pid_t pid =
        Spawn({ORINSUB_EXECUTABLE},
              {"QT_QPA_PLATFORM=offscreen", "ORINSUB_DMX=" + device,
               "XDG_CONFIG_HOME=" + config.toStdString(), "XDG_STATE_HOME=" + config.toStdString()},
              -1);
    if (pid < 0)
        return;
    std::this_thread::sleep_for(std::chrono::seconds(3)); // started, interface open
    DrainPackets(receiver);
    const long startKib = ResidentKiB(pid);
    const uint64_t before = CpuNanoseconds(pid);
    const long wakeUpsBefore = TimerThreadWakeUps(pid);
    const auto from = Clock::now();
    long packets = 0;
    // Drains the socket every second, long before its buffer could overflow.
    for (int i = 0; i < seconds; ++i) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        packets += DrainPackets(receiver);
    }
    const uint64_t after = CpuNanoseconds(pid);
    const long wakeUps = TimerThreadWakeUps(pid) - wakeUpsBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    const long endKib = ResidentKiB(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (receiver >= 0)
        close(receiver);
    std::printf("idle orinsub (%s) over %.1f s: CPU %.3f %% of one core (%.1f ms); link timer "
                "%.1f wake-ups/s; resident %.1f MiB after start, %.1f MiB at the end\n",
                device.c_str(), wall, (after - before) / 1e9 / wall * 100, (after - before) / 1e6,
                wakeUps / wall, startKib / 1024.0, endKib / 1024.0);
    if (receiver >= 0)
        std::printf("  Art-Net frames received on 127.0.0.1:6454: %.1f/s\n", packets / wall);
    else if (device.rfind("artnet:", 0) == 0)
        std::printf("  (127.0.0.1:6454 is taken: frames not counted)\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--restart-child") == 0)
        return RunRestartChild(argc, argv);
    int runs = 20, idleSeconds = 30;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--idle-seconds") == 0)
            idleSeconds = std::atoi(argv[i + 1]);
    }
    const QTemporaryDir config; // an empty settings store: no show is reopened
    MeasureStartUp(argv[0], runs, config.path());
    const QTemporaryDir crashed;
    MeasureRestart(argv[0], runs, crashed.path());
    if (idleSeconds > 0) {
        MeasureIdle(idleSeconds, config.path(), "sim");
        MeasureIdle(idleSeconds, config.path(), "artnet:127.0.0.1");
    }
    return 0;
}
