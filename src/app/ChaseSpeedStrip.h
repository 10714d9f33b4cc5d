#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;

namespace orinsub::model {
class COrinSUBDoc;
}
namespace orinsub::surfaces {
class Desk;
}

namespace orinsub::app {

class ChaseSpeedWheel;

/// "再生中のチェイス": a group for each running chase, in the order of the sub faders that play
/// them, with its number and name, its speed in BPM, the step it shows of how many, a TAP button
/// (the average of the last taps sets the speed; a pause of 2 s starts a new count), a speed
/// wheel and ▶| for the next step now. The TAP lights briefly on each step. They play through
/// the desk as a surface's chase/N/tap, chase/N/bpm and chase/N/step do, and the mouse plays
/// nothing while the desk is locked or follows another console.
///
/// It follows the desk's changes at the end of the turn they came in and, while shown and a chase
/// runs, the steps every kRefreshMs; idle, it costs nothing. UI thread only; the desk and the show
/// must outlive it.
class ChaseSpeedStrip : public QWidget
{
public:
    static constexpr int kRefreshMs = 50;

    ChaseSpeedStrip(surfaces::Desk &desk, const model::COrinSUBDoc &doc, QWidget *parent);
    ~ChaseSpeedStrip() override;

    /// The chases shown, in sub fader order.
    std::vector<int> ShownChases() const;
    /// A shown chase's controls and readouts; null for a chase not shown.
    QPushButton *TapButton(int chase) const;
    QPushButton *NextStepButton(int chase) const;
    ChaseSpeedWheel *Wheel(int chase) const;
    QLabel *BpmLabel(int chase) const;
    QLabel *StepLabel(int chase) const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    struct Group
    {
        int chase = 0;
        QWidget *box = nullptr;
        QLabel *title = nullptr;
        QLabel *bpm = nullptr;
        QLabel *step = nullptr;
        QPushButton *tap = nullptr;
        QPushButton *next = nullptr;
        ChaseSpeedWheel *wheel = nullptr;
        int shownStep = -1;
        int litTicks = 0; // the TAP stays lit this many refreshes after a step began
    };

    /// The desk changed: the groups follow the running chases.
    void Follow();
    /// The chases running now, in sub fader order.
    static std::vector<int> Running();
    void Rebuild(const std::vector<int> &running);
    Group MakeGroup(int chase);
    /// Shows the group's speed and step as they are now.
    void Refresh(Group &group);
    void LightTap(Group &group, bool lit);
    /// A part of the chase's group, or null when it is not shown.
    template <class Part> Part *PartOf(int chase, Part *Group::*part) const;
    void KeepTimer();

    surfaces::Desk &m_desk;
    const model::COrinSUBDoc &m_doc;
    QScrollArea *m_scroll = nullptr;
    QHBoxLayout *m_row = nullptr;
    QLabel *m_nothing = nullptr;
    std::vector<Group> m_groups;
    QBasicTimer m_refresh;
    bool m_playable = true;
    bool m_followScheduled = false;
};

} // namespace orinsub::app
