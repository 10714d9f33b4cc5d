#pragma once

#include "GoFade.h"
#include "controls/Indicator.h"
#include "controls/MasterFader.h"
#include "controls/PushButton.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>

class QPainter;

namespace orinsub::views {

class CMasterConsoleView;

/// The master pane's live controls beside the crossfader: the grand master fader ("GM") under
/// the page display, and a row under the crossfader with the GO button, the fade time (a wheel
/// notch over it is 0.1 s), the fade's lamp and progress, and the blackout button ("BO"). GO
/// acts on the press, as its key does; blackout switches only after a press held for
/// kBlackoutHold, so a stray click never darkens or lights the stage, and its button flashes
/// while blackout is on. Each part repaints only itself, and only when it changes.
class LiveControls : public QObject
{
public:
    static constexpr std::chrono::milliseconds kBlackoutHold{500};
    /// Half a period of the blackout button's 2 Hz flashing.
    static constexpr std::chrono::milliseconds kBlink{250};
    static constexpr int kWheelNotch = 120; // angle delta of one notch

    /// gmColumn holds the GM caption and fader, goRow the GO row (logical coordinates).
    LiveControls(CMasterConsoleView &pane, GoFade &go, const QRect &gmColumn, const QRect &goRow);

    void Draw(QPainter &painter, const QRect &logicalExposed) const;
    /// A left-button press at a client point: true when one of these controls took it.
    bool Press(QPoint client);
    /// A mouse move: drags the grand master while its knob is held.
    void DragTo(QPoint client);
    /// The left button went up, or the pane lost the mouse.
    void Release();
    /// A wheel turn of angleDelta (y) at a client point: true when it was over the fade time.
    bool Wheel(QPoint client, int angleDelta);

    /// After the grand master changed, whoever changed it.
    void ShowGrandMaster(uint8_t level);
    /// After blackout went on or off.
    void ShowBlackout(bool on);

    /// Completes a blackout press held long enough and flashes the lamp. The timer calls it;
    /// tests call it with their own clock.
    void Step();
    void SetClock(GoFade::Clock clock) { m_clock = std::move(clock); }

    controls::CMasterFader &GetGrandMasterFader() { return m_grandMaster; }
    const controls::CPushButton &GetGoButton() const { return m_goButton; }
    const controls::CPushButton &GetBlackoutButton() const { return m_blackoutButton; }
    const controls::CIndicator &GetGoLamp() const { return m_goLamp; }
    const controls::CProgressBar &GetProgress() const { return m_progress; }
    QRect GetFadeTimeRect() const { return m_fadeTimeRect; }
    QString GetFadeTimeText() const;

private:
    /// The fade's lamp, progress and time as the fade stands.
    void ShowFade();
    /// Restarts the timer for the next thing Step has to do, or stops it.
    void Schedule();
    void InvalidateLogical(const QRect &logical) const;

    CMasterConsoleView &m_pane;
    GoFade &m_go;
    controls::CMasterFader m_grandMaster;
    QRect m_gmCaptionRect;
    controls::CPushButton m_goButton;
    controls::CIndicator m_goLamp;
    controls::CProgressBar m_progress;
    QRect m_fadeTimeRect;
    QString m_shownFadeTime; // the fade time, or the next cue's times
    controls::CPushButton m_blackoutButton;
    GoFade::Clock m_clock;
    QTimer m_timer;
    bool m_blackoutHeld = false;
    bool m_holdDone = false; // the held press already switched blackout
    std::chrono::steady_clock::time_point m_pressedAt;
    std::chrono::steady_clock::time_point m_blackoutSince;
    int m_wheelRest = 0; // a fine wheel's part of a notch
};

} // namespace orinsub::views
