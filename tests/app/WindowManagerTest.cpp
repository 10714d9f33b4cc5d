// The main window under a real window manager: a private Xvfb display of the size given with
// --screen WxH (1366x768 when not given) with openbox managing it, and the program's own xcb
// platform. CTest runs it once per screen size; the pictures of the desk are saved in the build
// folder for review.

#include "AppTestSupport.h"
#include "DeskChecks.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "support/Processes.h"
#include "views/LampConsoleView.h"

#include <QMargins>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using namespace std::chrono_literals;

QSize g_screen(1366, 768);
std::string g_skipReason; // why the display could not be had; empty when it runs

/// Starts a program quietly; descriptors without close-on-exec (a pipe's) are passed on.
pid_t Spawn(std::vector<std::string> arguments)
{
    std::vector<char *> argv;
    for (std::string &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

/// Xvfb on a display number of this process's own, and openbox managing it; both stopped by pid.
class ManagedDisplay
{
public:
    explicit ManagedDisplay(QSize size)
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
        if (xvfb.isEmpty() || openbox.isEmpty() || xprop.isEmpty()) {
            error = "Xvfb, openbox or xprop (x11-utils) is not installed";
            return;
        }
        const std::string screen =
            std::to_string(size.width()) + "x" + std::to_string(size.height()) + "x24";
        for (int attempt = 0; attempt < 20 && display.empty(); ++attempt) {
            const int number = orinsub::testing::PrivateDisplayNumber(attempt);
            if (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0)
                continue;
            StartXvfb(xvfb.toStdString(), number, screen);
        }
        if (display.empty()) {
            error = "Xvfb did not start";
            return;
        }
        setenv("DISPLAY", display.c_str(), 1);
        // Its own configuration folder: the operator's openbox settings stay out of the test.
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        m_openbox = Spawn({openbox.toStdString(), "--sm-disable"});
        if (!WaitForWindowManager(xprop.toStdString()))
            error = "openbox did not take the display";
    }
    ~ManagedDisplay()
    {
        Stop(m_openbox);
        Stop(m_xvfb);
    }

    std::string display;
    std::string error;

private:
    /// Starts Xvfb on :number; display is set once it accepts connections. Without -noreset the
    /// server resets whenever its last client leaves (each look for the window manager) and
    /// refuses openbox meanwhile.
    void StartXvfb(const std::string &program, int number, const std::string &screen)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_xvfb = Spawn({program, ":" + std::to_string(number), "-displayfd", std::to_string(fds[1]),
                        "-screen", "0", screen, "-nolisten", "tcp", "-noreset"});
        close(fds[1]);
        char ready[16] = {};
        const bool started = m_xvfb > 0 && read(fds[0], ready, sizeof ready - 1) > 0;
        close(fds[0]);
        if (started) {
            display = ":" + std::to_string(number);
        } else if (m_xvfb > 0) { // the number was taken after all
            waitpid(m_xvfb, nullptr, 0);
            m_xvfb = -1;
        }
    }

    bool WaitForWindowManager(const std::string &xprop) const
    {
        const std::string query = xprop + " -root _NET_SUPPORTING_WM_CHECK 2>/dev/null";
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < until) {
            if (FILE *out = popen(query.c_str(), "r")) {
                char line[256] = {};
                const bool managed =
                    std::fgets(line, sizeof line, out) && std::strstr(line, "window id") != nullptr;
                pclose(out);
                if (managed)
                    return true;
            }
            usleep(10'000);
        }
        return false;
    }

    QTemporaryDir m_config;
    pid_t m_xvfb = -1;
    pid_t m_openbox = -1;
};

class FramedWindowTest : public orinsub::testing::MainWindowTest
{
protected:
    void SetUp() override
    {
        if (!g_skipReason.empty())
            GTEST_SKIP() << g_skipReason;
        // The window manager frames the window, then the window fits itself to the frame.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Outer() != frame->geometry() && Fits(); }, 20000))
            << "frame " << Text(Outer()) << ", inside " << Text(frame->geometry());
        QTest::qWait(100); // the layout follows the last resize
    }

    QRect Available() const { return frame->screen()->availableGeometry(); }
    /// The window with its frame as the window manager has it now. Qt reads the frame's extents
    /// at each move or resize and keeps them; openbox may set new ones after its last resize (a
    /// maximised window loses its border), so they are read from the X server here.
    QRect Outer() const { return frame->geometry().marginsAdded(FrameExtents()); }
    QMargins FrameExtents() const
    {
        const std::string query =
            "xprop -id " + std::to_string(frame->winId()) + " _NET_FRAME_EXTENTS 2>/dev/null";
        int left = 0, right = 0, top = 0, bottom = 0;
        if (FILE *out = popen(query.c_str(), "r")) {
            char line[256] = {};
            if (std::fgets(line, sizeof line, out)) {
                if (const char *values = std::strchr(line, '='))
                    std::sscanf(values, "= %d, %d, %d, %d", &left, &right, &top, &bottom);
            }
            pclose(out);
        }
        return QMargins(left, top, right, bottom);
    }
    bool Fits() const { return Available().contains(Outer()); }
    /// A rectangle of a widget in screen coordinates.
    static QRect OnScreen(QWidget *widget, const QRect &r)
    {
        return QRect(widget->mapToGlobal(r.topLeft()), r.size());
    }
    /// The part of the window on the screen, in the window's coordinates.
    QRect VisiblePart() const
    {
        return QRect(frame->mapFromGlobal(Available().topLeft()), Available().size())
            .intersected(frame->rect());
    }
    void SavePicture(const QString &state) const
    {
        const QString name = QStringLiteral("desk-%1-%2x%3-%4.png")
                                 .arg(QStringLiteral("openbox"))
                                 .arg(g_screen.width())
                                 .arg(g_screen.height())
                                 .arg(state);
        EXPECT_TRUE(frame->grab().save(QStringLiteral(ORINSUB_TEST_OUTPUT_DIR "/") + name));
    }
    static std::string Text(const QRect &r)
    {
        return std::to_string(r.width()) + "x" + std::to_string(r.height()) + " at " +
               std::to_string(r.x()) + "," + std::to_string(r.y());
    }
    /// What of the status line the operator sees: inside the pane's client and on the screen.
    QRect StatusLineInSight()
    {
        QWidget *client = Master().viewport();
        const QRect line = Master().ClientToWidget(Master().GetStatusRect());
        return OnScreen(client, line.intersected(client->rect())).intersected(Available());
    }
};

TEST_F(FramedWindowTest, TheWindowWithItsFrameFitsTheScreenWithTheStatusLineInSight)
{
    const QRect outer = Outer();
    const QSize expected = QSize(1270, 768).boundedTo(Available().size());
    EXPECT_EQ(outer.size(), expected) << Text(outer);
    if (expected == QSize(1270, 768)) {
        EXPECT_EQ(outer.x(), 2) << "at (2, 2) as far as the screen allows";
        EXPECT_EQ(outer.y(), std::min(2, Available().bottom() + 1 - 768));
    }

    EXPECT_EQ(StatusLineInSight(),
              OnScreen(Master().viewport(), Master().ClientToWidget(Master().GetStatusRect())))
        << "the whole status line is in sight";
    EXPECT_TRUE(
        Available().contains(OnScreen(frame->GetLampView(true), frame->GetLampView(true)->rect())))
        << "both lamp strips stay on the screen";
}

TEST_F(FramedWindowTest, OnALaptopScreenTheMasterPaneShowsAllItsContent)
{
    if (Available().height() < 768 || Available().width() < 1270)
        GTEST_SKIP() << "the screen is smaller than the console: covered by the scrolling test";
    QWidget *client = Master().viewport();
    EXPECT_GE(client->height(), 290) << "its content's height";
    EXPECT_FALSE(Master().verticalScrollBar()->isVisible());
    QWidget *lastName = Master().GetNameLabel(19)->GetEdit();
    EXPECT_TRUE(Available().contains(OnScreen(lastName, lastName->rect())))
        << "the bottom of the sub-master names is on the screen";
}

TEST_F(FramedWindowTest, OnASmallerScreenTheDeskIsDrawnSmallerAndOnlyTheRowsScroll)
{
    if (Available().height() >= 768 && Available().width() >= 1270)
        GTEST_SKIP() << "the console fits this screen";
    EXPECT_LT(frame->GetDeskZoom(), 1.0);
    orinsub::testing::ExpectWholeDeskInSight(*frame, VisiblePart());
    EXPECT_GT(Dan().horizontalScrollBar()->maximum(), 0) << "the preset rows scroll as ever";
    SavePicture(QStringLiteral("framed"));
    orinsub::testing::ExpectDragsMoveTheGrabbedFaders(*frame);
}

TEST_F(FramedWindowTest, MaximisedTheDeskFillsTheScreen)
{
    const int rowsBefore = Dan().viewport()->width();
    const int trackBefore = Dan().GetFader(0)->GetTrackRect().height();
    frame->showMaximized();
    // A busy machine's window manager takes its time.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return frame->isMaximized() && Outer().size() == Available().size(); }, 20000))
        << Text(Outer());
    QTest::qWait(100); // the layout follows the last resize
    orinsub::testing::ExpectWholeDeskInSight(*frame, VisiblePart());
    if (Available().width() > 1300)
        EXPECT_GT(Dan().viewport()->width(), rowsBefore) << "more channels";
    if (Available().height() > 800)
        EXPECT_GT(Dan().GetFader(0)->GetTrackRect().height(), trackBefore) << "longer faders";
    SavePicture(QStringLiteral("maximised"));
    orinsub::testing::ExpectDragsMoveTheGrabbedFaders(*frame);
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        int width = 0, height = 0;
        if (std::strcmp(argv[i], "--screen") == 0 &&
            std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2)
            g_screen = QSize(width, height);
    }
    testing::InitGoogleTest(&argc, argv);
    ManagedDisplay display(g_screen);
    g_skipReason = display.error;
    setenv("QT_QPA_PLATFORM", g_skipReason.empty() ? "xcb" : "offscreen", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
