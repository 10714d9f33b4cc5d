#include "LiveControls.h"

#include "ConsoleTexts.h"
#include "MasterConsoleView.h"
#include "controls/ConsoleLook.h"
#include "controls/Geometry.h"
#include "model/CueList.h"

#include <QPainter>
#include <algorithm>

namespace orinsub::views {

using controls::RectLTRB;
using std::chrono::milliseconds;

namespace {

constexpr int kCaptionHeight = 16;
constexpr int kGoWidth = 48;
constexpr int kBlackoutWidth = 38;
constexpr int kGap = 4;
constexpr int kLampSize = 12;
constexpr int kFadeTimePointSize = 110;

const controls::ButtonLook kGoLook{controls::kFlashButtonFree, controls::kGoLit,
                                   controls::kFlashCaptionFree, controls::kFlashCaptionLit,
                                   controls::kLiveButtonPointSize};
const controls::ButtonLook kBlackoutLook{controls::kFlashButtonFree, controls::kBlackoutLit,
                                         controls::kFlashCaptionFree, controls::kFlashCaptionLit,
                                         controls::kLiveButtonPointSize};

QRect GoRect(const QRect &row)
{
    return QRect(row.x(), row.y(), kGoWidth, row.height());
}

QRect BlackoutRect(const QRect &row)
{
    return RectLTRB(controls::RightOf(row) - kBlackoutWidth, row.y(), controls::RightOf(row),
                    controls::BottomOf(row));
}

/// Between the two buttons: the fade time above, the lamp and the progress bar below.
QRect MiddleRect(const QRect &row)
{
    return RectLTRB(row.x() + kGoWidth + kGap, row.y(),
                    controls::RightOf(row) - kBlackoutWidth - kGap, controls::BottomOf(row));
}

QRect LampRect(const QRect &row)
{
    const QRect middle = MiddleRect(row);
    return QRect(middle.x(), controls::BottomOf(middle) - kLampSize, kLampSize, kLampSize);
}

QRect ProgressRect(const QRect &row)
{
    const QRect lamp = LampRect(row);
    return RectLTRB(controls::RightOf(lamp) + kGap, lamp.y() + 2,
                    controls::RightOf(MiddleRect(row)), controls::BottomOf(lamp) - 2);
}

QRect FadeTimeRect(const QRect &row)
{
    const QRect middle = MiddleRect(row);
    return RectLTRB(middle.x(), middle.y(), controls::RightOf(middle),
                    LampRect(row).y() - kGap / 2);
}

} // namespace

LiveControls::LiveControls(CMasterConsoleView &pane, GoFade &go, const QRect &gmColumn,
                           const QRect &goRow)
    : m_pane(pane), m_go(go),
      m_gmCaptionRect(gmColumn.x(), gmColumn.y(), gmColumn.width(), kCaptionHeight),
      m_goButton(GoRect(goRow), controls::kGoCaption, kGoLook, &pane),
      m_goLamp(LampRect(goRow), controls::kGoLit, &pane),
      m_progress(ProgressRect(goRow), controls::kGoLit, &pane), m_fadeTimeRect(FadeTimeRect(goRow)),
      m_shownFadeTime(GetFadeTimeText()),
      m_blackoutButton(BlackoutRect(goRow), controls::kBlackoutCaption, kBlackoutLook, &pane),
      m_clock(&std::chrono::steady_clock::now)
{
    const int trackTop = gmColumn.y() + kCaptionHeight;
    const int trackHeight = controls::BottomOf(gmColumn) - trackTop;
    m_grandMaster.SetBitmap(controls::kKnobSub);
    m_grandMaster.SetSelectedBitmap(controls::kKnobSubSelected);
    m_grandMaster.SetView(&pane);
    m_grandMaster.SetGeometry(
        gmColumn.x() + controls::Half(gmColumn.width()), trackTop + controls::Half(trackHeight),
        trackHeight - m_grandMaster.GetKnobHeight(), gmColumn.width(), trackHeight);
    m_grandMaster.SetLevel(pane.GetGrandMaster());

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &LiveControls::Step);
    m_go.SetDisplayListener([this] { ShowFade(); });
}

QString LiveControls::GetFadeTimeText() const
{
    if (!m_go.IsPlayed())
        return model::TimeWithUnit(m_go.GetFadeTime());
    const std::optional<FadeTimes> times = m_go.GetPlayerTimes();
    if (!times)
        return kNoCueTimes;
    const auto tenths = [](std::chrono::milliseconds time) {
        return model::TimeText(static_cast<int>(time.count() / 100));
    };
    return kCueTimesShown.arg(tenths(times->up), tenths(times->down));
}

void LiveControls::Draw(QPainter &painter, const QRect &exposed) const
{
    if (exposed.intersects(m_gmCaptionRect)) {
        painter.setFont(controls::ConsoleFont(120));
        painter.setPen(controls::kLiveCaptionColor);
        painter.drawText(m_gmCaptionRect, Qt::AlignCenter | Qt::TextSingleLine,
                         controls::kGrandMasterCaption);
    }
    m_grandMaster.Draw(painter);
    if (exposed.intersects(m_fadeTimeRect)) {
        painter.setFont(controls::ConsoleFont(kFadeTimePointSize));
        painter.setPen(controls::kFadeTimeColor);
        painter.drawText(m_fadeTimeRect, Qt::AlignCenter | Qt::TextSingleLine, m_shownFadeTime);
    }
    for (const controls::CPushButton *button : {&m_goButton, &m_blackoutButton}) {
        if (exposed.intersects(button->GetRect()))
            button->Draw(painter);
    }
    if (exposed.intersects(m_goLamp.GetRect()))
        m_goLamp.Draw(painter);
    if (exposed.intersects(m_progress.GetRect()))
        m_progress.Draw(painter);
}

bool LiveControls::Press(QPoint client)
{
    const QPoint logical = client + m_pane.GetScrollPosition();
    switch (m_grandMaster.HitTest(client)) {
    case controls::FaderHit::Knob:
        m_grandMaster.SetSelected(true, client);
        return true;
    case controls::FaderHit::Track:
        return true; // no section copy from the grand master
    case controls::FaderHit::None:
        break;
    }
    if (m_goButton.GetRect().contains(logical)) {
        m_goButton.SetPressed(true);
        m_go.Go();
        return true;
    }
    if (m_blackoutButton.GetRect().contains(logical)) {
        m_blackoutHeld = true;
        m_holdDone = false;
        m_pressedAt = m_clock();
        m_blackoutButton.SetPressed(true);
        Schedule();
        return true;
    }
    return false;
}

void LiveControls::DragTo(QPoint client)
{
    if (m_grandMaster.IsSelected())
        m_pane.SetGrandMaster(m_grandMaster.DragLevel(client));
}

void LiveControls::Release()
{
    if (m_grandMaster.IsSelected())
        m_grandMaster.SetSelected(false, QPoint());
    m_goButton.SetPressed(false);
    if (!m_blackoutHeld)
        return;
    m_blackoutHeld = false;
    m_blackoutButton.SetPressed(false);
    Schedule();
}

bool LiveControls::Wheel(QPoint client, int angleDelta)
{
    if (!m_fadeTimeRect.contains(client + m_pane.GetScrollPosition()))
        return false;
    m_wheelRest += angleDelta;
    const int notches = m_wheelRest / kWheelNotch;
    m_wheelRest -= notches * kWheelNotch;
    if (notches != 0)
        m_go.SetFadeTime(m_go.GetFadeTime() + notches);
    return true;
}

void LiveControls::ShowGrandMaster(uint8_t level)
{
    if (level != m_grandMaster.GetLevel())
        m_grandMaster.MoveKnobTo(level);
}

void LiveControls::ShowBlackout(bool on)
{
    if (on)
        m_blackoutSince = m_clock();
    Step();
}

void LiveControls::Step()
{
    const auto now = m_clock();
    if (m_blackoutHeld && !m_holdDone && now - m_pressedAt >= kBlackoutHold) {
        m_holdDone = true;
        m_pane.SetBlackout(!m_pane.IsBlackout()); // shows itself through ShowBlackout
        return;
    }
    const bool on = m_pane.IsBlackout();
    m_blackoutButton.SetLit(on && (now - m_blackoutSince) / kBlink % 2 == 0);
    Schedule();
}

void LiveControls::Schedule()
{
    const bool holding = m_blackoutHeld && !m_holdDone;
    if (!holding && !m_pane.IsBlackout()) {
        m_timer.stop();
        return;
    }
    const auto now = m_clock();
    milliseconds next = milliseconds::max();
    if (holding)
        next = std::chrono::ceil<milliseconds>(m_pressedAt + kBlackoutHold - now);
    if (m_pane.IsBlackout()) {
        const auto sinceEdge =
            std::chrono::duration_cast<milliseconds>(now - m_blackoutSince) % kBlink;
        next = std::min(next, kBlink - sinceEdge);
    }
    m_timer.start(std::max(next, milliseconds(1)));
}

void LiveControls::ShowFade()
{
    m_goLamp.SetLit(m_go.IsRunning());
    m_progress.SetShare(m_go.GetProgress());
    if (QString shown = GetFadeTimeText(); shown != m_shownFadeTime) {
        m_shownFadeTime = std::move(shown);
        InvalidateLogical(m_fadeTimeRect);
    }
}

void LiveControls::InvalidateLogical(const QRect &logical) const
{
    m_pane.InvalidateRect(logical.translated(-m_pane.GetScrollPosition()));
}

} // namespace orinsub::views
