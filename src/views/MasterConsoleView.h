#pragma once

#include "NamedPane.h"
#include "PaneTicker.h"
#include "StatusLine.h"
#include "SubMasterPages.h"
#include "controls/SubFader.h"
#include "dmx/OutputHealth.h"
#include "model/MixInputs.h"
#include "model/ShowLimits.h"

#include "ChaseFollower.h"

#include <QFont>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace orinsub::model {
class ChasePlayer;
class COrinSUBDoc;
} // namespace orinsub::model
namespace orinsub::controls {
class CCrossFader;
class CCueReadout;
class CFaderLabel;
class CFlashButton;
class CInButton;
class CMyEdit;
class CRcLamp;
} // namespace orinsub::controls

namespace orinsub::views {

/// The master console: 20 sub-master faders with their name boxes and flash buttons, the page
/// selector ("PAGE", "▲", "▼"), the sub-masters' "IN" button, the A/B crossfader and the DMX
/// interface's status line, in a logical area of 1250 x 312. The faders play the sub-masters of
/// the page shown, except that a raised fader (or a held flash button) keeps its sub-master
/// until it comes back to 0 (is let go). Every 10 ms it refreshes the status line (when its text
/// changes) and runs the sub faders' input pick-up.
///
/// A sub-master with a chase put on it plays the chase while its fader is up (or its flash button
/// held): the pane's chase player runs it, the output displays follow it (ChaseFollower),
/// and its name box shows its speed.
///
/// Construction registers it in g_orin as m_pMasterView, as the mix's master source and its
/// chase player as m_pChases (and the show as m_pDoc when none is registered yet); destruction
/// withdraws them. OnInitialUpdate binds the faders to the show's page 1 names and starts the
/// timer.
class GoFade;
class LiveControls;

class CMasterConsoleView : public NamedPane,
                           public model::MasterLevelSource,
                           public controls::SubFaderHost
{
public:
    explicit CMasterConsoleView(model::COrinSUBDoc *doc, QWidget *parent = nullptr);
    ~CMasterConsoleView() override;

    /// For every new or opened show: a page step down (clears the undo record, rebinds the
    /// faders at 0 and loads the names), the status line's place, and the tick (PaneTicker:
    /// 10 ms while the sub-masters' "IN" is on or a sub fader is hooked, else 100 ms).
    void OnInitialUpdate();
    /// Ticks every 10 ms from now on if the pick-up has something to act on.
    void WakePickUp();
    /// Hooks every sub fader to its input slot (from the next tick on).
    void HookAllSubFaders();
    int GetTickPeriod() const { return m_ticker.GetPeriod(); }
    /// Plays the chases put on sub-masters: their speed, tap and step from the desk.
    model::ChasePlayer &GetChasePlayer() const { return m_chases->Player(); }
    /// Whether the displays are following a running chase.
    bool IsFollowingChases() const { return m_chases->IsFollowing(); }

    uint8_t GetCrossfaderLevel(int handle) const override;
    int GetSubFaderCount() const override { return static_cast<int>(m_subFaders.size()); }
    model::SubFaderReading GetSubFaderReading(int index) const override;
    uint8_t GetGrandMaster() const override { return m_grandMaster; }
    bool IsBlackout() const override { return m_blackout; }
    /// The grand master, 0..255 (full at start, as a show stores no fader position): the whole
    /// output follows at once.
    void SetGrandMaster(uint8_t level);
    /// Blackout takes every channel that is not independent to 0 from the next frame on, and
    /// gives them back on the next frame after it is off.
    void SetBlackout(bool on);

    /// Clears the undo record, moves one page up or down (no wrap-around) and refreshes.
    void StepPage(bool up);
    /// Lights the page buttons that can be used and rebinds every sub fader that is not held.
    void RefreshPage();
    int GetPage() const override { return m_pages.GetPage(); }
    QPoint GetSavedScrollPos() const override { return m_savedScrollPos; }
    QRect GetSavedClientRect() const { return m_savedClientRect; }
    /// Remembers the scroll position and client area (at every button-down here and in the
    /// preset pane): the sub faders' hit areas and the section drag use them.
    void RememberScrollAndClient();
    /// Links or unlinks the crossfader and sets the menu item's check mark.
    void SetCrossfaderLinked(bool linked);
    void ToggleCrossfaderLink();
    /// Sub fader index (0..19) to level, as dragging it does: unhooked, rebound to the page
    /// shown at 0, the output recomputed. Other indexes: nothing.
    void MoveSubFaderTo(int index, uint8_t level);
    /// Presses (held) or lets go of sub fader index's (0..19) flash button, as the mouse does:
    /// its lamp, the fader's binding and the output follow. Other indexes: nothing.
    void HoldFlash(int index, bool held);
    /// Repaints the flash buttons, whose captions show the show's flash mode.
    void InvalidateFlashButtons();
    /// Crossfader handle 0 (A) or 1 (B) to level, as dragging it does (row states, lamps,
    /// output); stops a GO like a grab. Other handles: nothing.
    void MoveCrossfaderHandle(int handle, uint8_t level);
    /// Both handles at once, as the linked drag moves them; stops a GO.
    void MoveCrossfader(uint8_t levelA, uint8_t levelB);
    /// Puts the sub-master side of the desk back as it was (a restart): the page shown, then
    /// each sub fader's level and the page of the sub-master it plays (readings in the faders'
    /// order; a fader at 0 plays the page shown). The output is recomputed.
    void RestoreSubFaders(int page, std::span<const model::SubFaderReading> readings);
    /// The timed crossfade of this pane's crossfader.
    GoFade &GetGoFade() const { return *m_goFade; }
    /// GO with its fade time, the grand master and blackout, beside the crossfader.
    LiveControls &GetLiveControls() const { return *m_live; }
    /// Stores the box's text as the name of the sub-master its fader plays.
    void OnSubMasterNameChanged(controls::CMyEdit *edit);
    /// The focus into sub-master 1's name box, its text all selected.
    void FocusFirstName();
    /// Repaints the status line.
    void InvalidateStatus();
    /// One tick: the status line, then the sub faders' DMX input pick-up.
    void OnTick();

    controls::CSubFader *GetSubFader(int index) const;
    controls::CCrossFader *GetCrossFader() const { return m_crossFader.get(); }
    controls::CInButton *GetInButton() const { return m_inButton.get(); }
    /// The line above the sub faders that shows where the cue list stands.
    controls::CCueReadout *GetCueReadout() const { return m_cueReadout.get(); }
    controls::CRcLamp *GetPageUpLamp() const { return m_pageUpLamp.get(); }
    controls::CRcLamp *GetPageDownLamp() const { return m_pageDownLamp.get(); }
    controls::CFaderLabel *GetNameLabel(int index) const { return m_nameLabels.at(index).get(); }
    controls::CFlashButton *GetFlashButton(int index) const
    {
        return m_flashButtons.at(index).get();
    }
    QRect GetStatusRect() const { return m_status.GetRect(); }
    QString GetStatusText() const { return m_status.GetText(); }
    /// Whether the status line says, in red, that frames do not reach the interface.
    bool IsOutputLost() const { return m_status.IsOutputLost(); }
    /// Another part of the console shown on the status line after the interface (a surface's
    /// "MIDI : 装置なし"); asked on every tick, so it must be cheap; empty shows nothing.
    /// owner's part of the status line (see StatusLine::SetExtra).
    void SetExtraStatus(const void *owner, std::function<QString()> extra)
    {
        m_status.SetExtra(owner, std::move(extra));
    }

protected:
    const std::vector<std::unique_ptr<controls::CFaderLabel>> &NameLabels() const override
    {
        return m_nameLabels;
    }
    void OnTabInPane() override { FocusFirstName(); }
    void OnDraw(QPainter &painter, const QRect &logicalExposed) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void OnClientResized() override { m_status.Place(GetClientRect()); }
    void scrollContentsBy(int dx, int dy) override;

private:
    void ButtonDown(QPoint p);
    void DrawPageDisplay(QPainter &painter) const;
    void DrawNumberBoxes(QPainter &painter) const;
    void PickUpInput();
    bool IsPickUpBusy() const;
    /// The status line's text anew, repainted when it changed.
    void RefreshStatus();
    /// GM under the page display, the GO row under the crossfader.
    std::unique_ptr<LiveControls> MakeLiveControls();
    void InvalidateLogical(const QRect &logical);
    /// After the grand master or blackout: every channel, the spare one too.
    void RecomputeWholeOutput();
    /// Lets go of the flash button the mouse holds, if any.
    void ReleaseMouseFlash();
    /// Each name box's chase speed.
    void ShowChaseSpeeds();

    model::COrinSUBDoc *m_doc;
    std::unique_ptr<ChaseFollower> m_chases;
    std::unique_ptr<controls::CCrossFader> m_crossFader;
    std::unique_ptr<GoFade> m_goFade;
    std::unique_ptr<LiveControls> m_live;
    std::vector<std::unique_ptr<controls::CSubFader>> m_subFaders;
    std::vector<std::unique_ptr<controls::CFaderLabel>> m_nameLabels;
    std::vector<std::unique_ptr<controls::CFlashButton>> m_flashButtons;
    std::unique_ptr<controls::CRcLamp> m_pageUpLamp;
    std::unique_ptr<controls::CRcLamp> m_pageDownLamp;
    std::unique_ptr<controls::CInButton> m_inButton;
    std::unique_ptr<controls::CCueReadout> m_cueReadout;
    QRect m_pageRect;
    SubMasterPages m_pages;
    int m_faderCount = model::kSubMastersPerPage;
    int m_leftMargin = 30;
    int m_faderPitch = 50;
    int m_faderHeight = 180;
    int m_faderTop = 20;
    int m_numberBand = 30;
    int m_nameHeight = 60;
    int m_flashGap = 2; // between a name box and its flash button
    int m_flashHeight = 18;
    int m_flashInset = 3; // the button's margin inside the fader's column
    int m_travel = 160;
    int m_crossGap = 90;
    int m_crossWidth = 96;
    bool m_mouseDown = false;
    bool m_movingBothHandles = false;
    uint8_t m_grandMaster = 255;
    bool m_blackout = false;
    int m_mouseFlash = -1; // the flash button the left button holds down
    StatusLine m_status;
    QPoint m_lastMousePoint;
    QPoint m_savedScrollPos;
    QRect m_savedClientRect;
    PaneTicker m_ticker;
};

} // namespace orinsub::views
