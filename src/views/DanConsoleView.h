#pragma once

#include "NamedPane.h"
#include "PaneTicker.h"
#include "controls/OutputLevels.h"
#include "controls/RowState.h"
#include "model/MixInputs.h"
#include "model/ShowLimits.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace orinsub::model {
class COrinSUBDoc;
}
namespace orinsub::controls {
class CChanLvDisp;
class CDan;
class CDanFader;
class CFaderLabel;
class CMyEdit;
} // namespace orinsub::controls
class QMenu;

namespace orinsub::views {

/// The preset console ("A段" and "B段"): 80 channel faders per row, the 80 output readouts
/// along the top and the 80 channel-name boxes along the bottom, in a logical area of
/// 3208 x 392. It turns mouse gestures into fader levels (a grabbed knob sweeps up the knobs
/// of its row that the mouse passes), runs the DMX input pick-up of its 160 faders every 10 ms
/// and offers the rows' levels to the output mix.
///
/// Construction registers it in g_orin as m_pDanView and as the mix's row source (and the show
/// as m_pDoc when none is registered yet); destruction withdraws it. The name boxes exist from
/// construction. OnInitialUpdate fills them from the show and starts the pick-up timer.
///
/// The number under a channel's faders is drawn in the mark colour while the channel is
/// independent; a right click on a channel fader or its name box offers "独立チャンネル".
class CDanConsoleView : public NamedPane,
                        public model::RowLevelSource,
                        public controls::OutputLevels
{
public:
    /// The pane's height in the default window, which its layout fills exactly.
    static constexpr int kDefaultPaneHeight = 410;

    explicit CDanConsoleView(model::COrinSUBDoc *doc, QWidget *parent = nullptr);
    ~CDanConsoleView() override;

    /// For every new or opened show: the channel names into the name boxes; starts the pick-up
    /// tick (PaneTicker: 10 ms while a row's "IN" is on or a fader is hooked, else 100 ms).
    void OnInitialUpdate();
    /// Ticks every 10 ms from now on if the pick-up has something to act on.
    void WakePickUp();
    int GetTickPeriod() const { return m_ticker.GetPeriod(); }

    /// Width used to decide which faders are in sight for mouse moves: 1230, or the client's
    /// width where it is wider.
    int GetVisibleWidth() const { return std::max(m_visibleWidth, GetClientRect().width()); }
    /// The logical y of the middle of row 0's or 1's tracks. The faders take the pane's height:
    /// the rows move when it changes, and then the handler runs (the lamp strips follow).
    int GetRowCentre(int row) const;
    void SetRowsMovedHandler(std::function<void()> handler) { m_onRowsMoved = std::move(handler); }
    /// The output readouts' band, client coordinates, clipped to the client area.
    QRect GetLevelStripRect() const;
    /// The output strip is the source of a section drag in progress.
    void SetDragSource(bool source) { m_dragSource = source; }
    bool IsDragSource() const { return m_dragSource; }
    uint8_t GetOutputDisplayLevel(int index) const override;
    /// Sets readout index (0..79) and repaints it; other indexes are ignored.
    void SetOutputDisplayLevel(int index, uint8_t level);
    /// On-air state of row 0 or 1 (others ignored).
    void SetRowState(int row, controls::RowState state);
    uint8_t GetRowLevel(int row, int channel) const override;
    /// The output mix for channels 1..80.
    void RecomputeAllChannels();
    controls::CChanLvDisp *GetOutputDisplay(int index) const;
    /// Scrolls sideways just enough to bring the widget (a name box) into sight.
    void ScrollIntoView(QWidget *widget);
    /// Stores the box's text as its channel's name (on every change of the text).
    void OnChannelNameChanged(controls::CMyEdit *edit);
    /// One column (40 pixels) sideways, 15 columns when fast; never past either end.
    void ScrollByFaders(bool toLeft, bool fast);
    /// Every fader of row 0 or 1 follows its DMX input slot from the next tick on.
    void HookRow(int row);
    /// Row 0 (A) or 1 (B); null for any other index.
    controls::CDan *GetRow(int index) const;
    /// Copies the channel-level table into the readouts; repaints those that changed.
    void UpdateOutputDisplays();
    /// Fader index (0..79) of row 0 or 1 to level, as the mouse drags it: the undo record
    /// cleared, the fader taken back from the input, the channel remixed while its row is on
    /// air, the readouts refreshed. Other faders: nothing.
    void MoveFaderTo(int row, int index, uint8_t level);
    /// One tick of the DMX input pick-up (the timer runs it every 10 ms).
    void PickUpInput();
    /// Repaints channel 1..80's number, which shows whether it is independent.
    void InvalidateChannelMark(int channel);

    controls::CDanFader *GetFader(int index) const { return m_faders.at(index).get(); }
    controls::CFaderLabel *GetNameLabel(int index) const { return m_nameLabels.at(index).get(); }

protected:
    const std::vector<std::unique_ptr<controls::CFaderLabel>> &NameLabels() const override
    {
        return m_nameLabels;
    }
    /// From the pane, Tab goes on to the master pane's first name box.
    void OnTabInPane() override;
    void OnNameFocusMoved(QWidget *nameBox) override { ScrollIntoView(nameBox); }
    void OnDraw(QPainter &painter, const QRect &logicalExposed) override;
    void OnClientResized() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    /// Places the faders, the name boxes and the logical area for the faders' height.
    void LayOutRows();
    /// The band under a fader's track where its channel number stands, logical coordinates.
    QRect NumberBand(const controls::CDanFader &fader) const;
    /// Pops up menu at global with the channel's (1..80) "独立チャンネル" item at its end; the
    /// menu deletes itself when closed.
    void PopUpChannelMenu(QMenu *menu, int channel, QPoint global);
    bool IsRowInputOn(int row) const;
    bool IsPickUpBusy() const;
    /// After a fader's move: remixes its channel while its row is on air; true if it did.
    bool MixIfOnAir(const controls::CDanFader &fader);

    model::COrinSUBDoc *m_doc;
    std::vector<std::unique_ptr<controls::CDanFader>> m_faders; // row A 1..80, then row B
    std::vector<std::unique_ptr<controls::CChanLvDisp>> m_outputDisplays;
    std::vector<std::unique_ptr<controls::CFaderLabel>> m_nameLabels;
    std::vector<std::unique_ptr<controls::CDan>> m_rows;
    int m_leftMargin = 4;
    int m_faderPitch = 40;
    static constexpr int kDefaultFaderHeight = 146;
    int m_faderHeight = kDefaultFaderHeight;
    int m_faderTop = 30;
    int m_rowGap = 10;
    int m_nameHeight = 60;
    int m_travel = 124;
    int m_visibleWidth = 1230;
    int m_readoutAtTop = 1;
    int m_channelCount = model::kConsoleChannels;
    QPoint m_lastMousePoint;
    bool m_dragSource = false;
    PaneTicker m_ticker;
    std::function<void()> m_onRowsMoved;
};

} // namespace orinsub::views
