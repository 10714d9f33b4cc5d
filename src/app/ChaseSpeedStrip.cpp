#include "ChaseSpeedStrip.h"

#include "AppResources.h"
#include "ChaseSpeedWheel.h"
#include "EditorWindowParts.h"
#include "model/ChasePlayer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "surfaces/Desk.h"
#include "views/DeskWatch.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>

namespace orinsub::app {

namespace {

using namespace chasewindow;
using surfaces::ControlTarget;
using Kind = ControlTarget::Kind;

constexpr int kBeatTicks = 2; // how many refreshes the TAP stays lit on a step
constexpr int kBpmPointSize = 16;

ControlTarget ChaseTarget(Kind kind, int chase)
{
    return {kind, 0, chase - 1};
}

} // namespace

ChaseSpeedStrip::ChaseSpeedStrip(surfaces::Desk &desk, const model::COrinSUBDoc &doc,
                                 QWidget *parent)
    : QWidget(parent), m_desk(desk), m_doc(doc)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(kRunningCaption, this));
    auto *scroll = m_scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *groups = new QWidget(scroll);
    m_row = new QHBoxLayout(groups);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_nothing = new QLabel(kNothingRunning, groups);
    m_row->addWidget(m_nothing);
    m_row->addStretch();
    scroll->setWidget(groups);
    layout->addWidget(scroll);
    // The desk tells of a change before it has made it whole (a fader's knob moves before the
    // mix starts its chase): the strip looks once the turn is over, once for many changes.
    views::SetDeskListener(this, [this] {
        if (!m_followScheduled) {
            m_followScheduled = true;
            QTimer::singleShot(0, this, [this] {
                m_followScheduled = false;
                Follow();
            });
        }
    });
    Follow();
}

ChaseSpeedStrip::~ChaseSpeedStrip()
{
    views::RemoveDeskListener(this);
}

std::vector<int> ChaseSpeedStrip::Running()
{
    std::vector<int> running;
    const model::ChasePlayer *player = model::g_orin.m_pChases;
    for (int lane = 0; player && lane < model::kSubMastersPerPage; ++lane) {
        const int chase = player->LaneChase(lane);
        if (chase != 0 && std::find(running.begin(), running.end(), chase) == running.end())
            running.push_back(chase);
    }
    return running;
}

std::vector<int> ChaseSpeedStrip::ShownChases() const
{
    std::vector<int> shown;
    for (const Group &group : m_groups)
        shown.push_back(group.chase);
    return shown;
}

void ChaseSpeedStrip::Follow()
{
    const std::vector<int> running = Running();
    if (running != ShownChases())
        Rebuild(running);
    // The mouse plays the desk as on the panes: not while they are closed to it.
    const bool playable = IsShowEditable();
    if (playable != m_playable) {
        m_playable = playable;
        for (Group &group : m_groups)
            group.box->setEnabled(playable);
    }
    for (Group &group : m_groups)
        Refresh(group);
    KeepTimer();
}

void ChaseSpeedStrip::Rebuild(const std::vector<int> &running)
{
    // Later: a group's own button may be the one whose press changed the desk.
    for (Group &group : m_groups) {
        m_row->removeWidget(group.box);
        group.box->hide();
        group.box->deleteLater();
    }
    m_groups.clear();
    for (int chase : running) {
        m_groups.push_back(MakeGroup(chase));
        m_row->insertWidget(m_row->count() - 1, m_groups.back().box);
        m_groups.back().box->show(); // now, so that the strip's height counts it
    }
    m_nothing->setVisible(m_groups.empty());
    // Many groups scroll sideways; each shows whole, above the scroll bar.
    m_scroll->setFixedHeight(m_scroll->widget()->sizeHint().height() +
                             m_scroll->horizontalScrollBar()->sizeHint().height());
}

ChaseSpeedStrip::Group ChaseSpeedStrip::MakeGroup(int chase)
{
    Group group;
    group.chase = chase;
    auto *box = new QFrame(m_nothing->parentWidget());
    box->setFrameShape(QFrame::StyledPanel);
    box->setEnabled(m_playable);
    group.box = box;
    group.title = new QLabel(box);
    group.bpm = new QLabel(box);
    QFont big = group.bpm->font();
    big.setPointSize(kBpmPointSize);
    big.setBold(true);
    group.bpm->setFont(big);
    group.step = new QLabel(box);
    group.tap = new QPushButton(kTapButton, box);
    group.tap->setFont(big);
    group.tap->setAutoFillBackground(true);
    group.next = new QPushButton(kNextStepButton, box);
    group.next->setToolTip(kNextStepTip);
    group.next->setAccessibleName(kNextStepTip);
    group.wheel = new ChaseSpeedWheel(
        [this, chase](int tenths) {
            const ControlTarget bpm = ChaseTarget(Kind::ChaseBpm, chase);
            const int now = m_desk.Value(bpm);
            m_desk.Move(bpm, std::clamp(now + tenths, bpm.Family().min, bpm.Family().max));
        },
        box);
    // A tap counts when the button goes down: its timing is the tempo.
    const ControlTarget tap = ChaseTarget(Kind::ChaseTap, chase);
    const ControlTarget step = ChaseTarget(Kind::ChaseStep, chase);
    connect(group.tap, &QPushButton::pressed, this, [this, tap] { m_desk.Press(tap, true); });
    connect(group.tap, &QPushButton::released, this, [this, tap] { m_desk.Press(tap, false); });
    connect(group.next, &QPushButton::pressed, this, [this, step] { m_desk.Press(step, true); });
    connect(group.next, &QPushButton::released, this, [this, step] { m_desk.Press(step, false); });

    auto *grid = new QGridLayout(box);
    grid->addWidget(group.title, 0, 0, 1, 3);
    grid->addWidget(group.bpm, 1, 0, 1, 2);
    grid->addWidget(group.wheel, 1, 2, 2, 1);
    grid->addWidget(group.step, 2, 0, 1, 2);
    grid->addWidget(group.tap, 3, 0, 1, 2);
    grid->addWidget(group.next, 3, 2);
    return group;
}

void ChaseSpeedStrip::Refresh(Group &group)
{
    const model::ChasePlayer *player = model::g_orin.m_pChases;
    const model::Chase *chase = m_doc.m_extension.chases.Find(group.chase);
    if (!player || !chase)
        return;
    const QString title = kRunningTitle.arg(group.chase).arg(chase->name);
    if (group.title->text() != title)
        group.title->setText(title);
    const int step = player->GetStep(group.chase);
    const QString bpm = kBpmText.arg(player->GetBpm(group.chase), 0, 'f', 1);
    const QString steps = kStepText.arg(step).arg(chase->steps.size());
    // Only what changed is painted again.
    if (group.bpm->text() != bpm)
        group.bpm->setText(bpm);
    if (group.step->text() != steps)
        group.step->setText(steps);
    if (step != group.shownStep) {
        const bool first = group.shownStep < 0;
        group.shownStep = step;
        if (!first) {
            group.litTicks = kBeatTicks;
            LightTap(group, true);
        }
    } else if (group.litTicks > 0 && --group.litTicks == 0) {
        LightTap(group, false);
    }
}

void ChaseSpeedStrip::LightTap(Group &group, bool lit)
{
    QPalette look = group.tap->palette();
    look.setColor(QPalette::Button, lit ? kTapLit : palette().color(QPalette::Button));
    group.tap->setPalette(look);
}

template <class Part> Part *ChaseSpeedStrip::PartOf(int chase, Part *Group::*part) const
{
    const auto found = std::find_if(m_groups.begin(), m_groups.end(),
                                    [chase](const Group &group) { return group.chase == chase; });
    return found == m_groups.end() ? nullptr : (*found).*part;
}

QPushButton *ChaseSpeedStrip::TapButton(int chase) const
{
    return PartOf(chase, &Group::tap);
}

QPushButton *ChaseSpeedStrip::NextStepButton(int chase) const
{
    return PartOf(chase, &Group::next);
}

ChaseSpeedWheel *ChaseSpeedStrip::Wheel(int chase) const
{
    return PartOf(chase, &Group::wheel);
}

QLabel *ChaseSpeedStrip::BpmLabel(int chase) const
{
    return PartOf(chase, &Group::bpm);
}

QLabel *ChaseSpeedStrip::StepLabel(int chase) const
{
    return PartOf(chase, &Group::step);
}

void ChaseSpeedStrip::KeepTimer()
{
    if (isVisible() && !m_groups.empty()) {
        if (!m_refresh.isActive())
            m_refresh.start(kRefreshMs, this);
    } else {
        m_refresh.stop();
    }
}

void ChaseSpeedStrip::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Follow();
}

void ChaseSpeedStrip::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_refresh.stop();
}

void ChaseSpeedStrip::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_refresh.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    for (Group &group : m_groups)
        Refresh(group);
}

} // namespace orinsub::app
