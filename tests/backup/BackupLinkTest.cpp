#include "backup/BackupLink.h"

#include <QCoreApplication>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

using namespace orinsub::backup;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const QByteArray kKey(32, 'k');

/// A console's side of the test: its link and what reached its desk.
struct Console
{
    explicit Console(bool main, QByteArray key, Clock::time_point *now)
        : link(std::move(key),
               BackupDesk{[this] { return show; }, [this] { return path; }, [this] { return live; },
                          // What a console receives is on its desk from then on.
                          [this](const QString &p, const QByteArray &s) {
                              path = shownPath = p;
                              show = shown = s;
                          },
                          [this](const QByteArray &l) {
                              live = l;
                              lives.push_back(l);
                          }},
               main, main ? 100 : 90, BackupLink::Timing{}, [now] { return *now; })
    {
    }
    QByteArray show = "SHOW", live = "LIVE-1";
    QString path = "/shows/evening.orin";
    QString shownPath;
    QByteArray shown;
    std::vector<QByteArray> lives;
    BackupLink link;
};

/// A connection in memory; bytes wait until the test pumps them.
class Pipe
{
public:
    class End : public BackupPeer
    {
    public:
        End(Pipe &pipe, int side) : m_pipe(pipe), m_side(side) {}
        void Send(const QByteArray &bytes) override
        {
            m_pipe.m_queued[1 - m_side].push_back(bytes);
        }
        void Close() override { m_pipe.m_closing = true; }

    private:
        Pipe &m_pipe;
        int m_side;
    };

    Pipe(Console &server, Console &client) : m_consoles{&server, &client}
    {
        server.link.Opened(&m_ends[0], true);
        client.link.Opened(&m_ends[1], false);
    }
    ~Pipe() { Cut(); }
    /// Delivers what waits, both ways, until nothing does; then closes when asked to.
    void Pump()
    {
        for (bool moved = true; moved && !m_cut;) {
            moved = false;
            for (int side = 0; side < 2; ++side) {
                while (!m_queued[side].empty() && !m_cut) {
                    const QByteArray bytes = m_queued[side].front();
                    m_queued[side].pop_front();
                    m_consoles[side]->link.Received(&m_ends[side], bytes);
                    moved = true;
                }
            }
            if (m_closing)
                Cut();
        }
        QCoreApplication::processEvents(); // what the links queued for their desks
    }
    /// The connection is gone for both ends (a console died, a cable came out).
    void Cut()
    {
        if (m_cut)
            return;
        m_cut = true;
        for (int side = 0; side < 2; ++side)
            m_consoles[side]->link.Closed(&m_ends[side]);
    }

private:
    std::array<Console *, 2> m_consoles;
    std::array<End, 2> m_ends{End(*this, 0), End(*this, 1)};
    std::array<std::deque<QByteArray>, 2> m_queued;
    bool m_closing = false;
    bool m_cut = false;
};

class BackupLinkTest : public ::testing::Test
{
protected:
    /// Frames of 20 ms on every console's clock and tick, the pipes pumped after each.
    void Frames(int count, std::initializer_list<Console *> consoles,
                std::initializer_list<Pipe *> pipes)
    {
        for (int i = 0; i < count; ++i) {
            now += 20ms;
            for (Console *console : consoles)
                console->link.Tick();
            for (Pipe *pipe : pipes)
                pipe->Pump();
        }
    }
    Clock::time_point now = Clock::now();
};

TEST_F(BackupLinkTest, TheBackupTracksTheMainAndTakesTheStageWhenItFallsSilent)
{
    Console main(true, kKey, &now), backup(false, kKey, &now);
    auto pipe = std::make_unique<Pipe>(main, backup);
    pipe->Pump();
    EXPECT_EQ(main.link.GetRole(), Role::Starting);
    Frames(51, {&main, &backup}, {pipe.get()}); // the main's start wait, from its first tick
    EXPECT_EQ(main.link.GetRole(), Role::Live);
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);
    EXPECT_TRUE(backup.link.IsTracking());
    EXPECT_EQ(backup.link.GetLivePeerPriority(), 100);
    EXPECT_EQ(backup.shown, "SHOW");
    EXPECT_EQ(backup.shownPath, "/shows/evening.orin");
    EXPECT_EQ(backup.lives.back(), "LIVE-1");

    main.live = "LIVE-2";
    main.link.DeskChanged();
    Frames(1, {&main, &backup}, {pipe.get()});
    EXPECT_EQ(backup.lives.back(), "LIVE-2") << "within a frame";
    main.show = "SHOW-2";
    main.link.ShowChanged();
    pipe->Pump();
    EXPECT_EQ(backup.shown, "SHOW-2");

    // Beats keep a desk at rest tracked; the main's death is noticed after a second.
    Frames(100, {&main, &backup}, {pipe.get()});
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);
    Frames(49, {&backup}, {});
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);
    Frames(1, {&backup}, {});
    EXPECT_EQ(backup.link.GetRole(), Role::Live);

    // The main started again meets a live backup: it tracks it until the stage is handed back.
    pipe->Cut();
    Console again(true, kKey, &now);
    Pipe back(again, backup);
    back.Pump();
    EXPECT_EQ(again.link.GetRole(), Role::Tracking);
    Frames(100, {&again, &backup}, {&back});
    EXPECT_EQ(again.link.GetRole(), Role::Tracking) << "it never takes the stage by itself";
    EXPECT_EQ(again.shown, "SHOW-2") << "the show as the backup has it";
    again.link.TakeStage();
    back.Pump();
    EXPECT_EQ(again.link.GetRole(), Role::Live);
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);

    // Or the live one hands it over from its side.
    Frames(5, {&again, &backup}, {&back});
    EXPECT_TRUE(again.link.GiveStage());
    back.Pump();
    EXPECT_EQ(backup.link.GetRole(), Role::Live);
    EXPECT_EQ(again.link.GetRole(), Role::Tracking);
    EXPECT_FALSE(again.link.GiveStage()) << "a tracking console has no stage to give";
}

TEST_F(BackupLinkTest, AConsoleWithoutTheKeyGetsNothingAndIsCounted)
{
    Console main(true, kKey, &now), stranger(false, QByteArray(32, 'x'), &now);
    Pipe pipe(main, stranger);
    Frames(60, {&main, &stranger}, {&pipe});
    EXPECT_TRUE(stranger.shown.isEmpty());
    EXPECT_TRUE(stranger.lives.empty());
    EXPECT_EQ(main.link.GetRefusals() + stranger.link.GetRefusals(), 1);
    EXPECT_EQ(main.link.GetRole(), Role::Live) << "the main plays on";
    pipe.Cut();
    Frames(100, {&main, &stranger}, {});
    EXPECT_EQ(stranger.link.GetRole(), Role::Tracking)
        << "a greeting's word that the main plays proves nothing: silence takes no stage";
}

TEST_F(BackupLinkTest, ABackupThatNeverMetAMainNeverTakesTheStage)
{
    Console backup(false, kKey, &now);
    Frames(500, {&backup}, {});
    EXPECT_EQ(backup.link.GetRole(), Role::Tracking);
}

} // namespace
