#pragma once

#include "PaneZoom.h"
#include "controls/Pane.h"
#include "controls/RowState.h"

#include <QWidget>
#include <memory>

namespace orinsub::controls {
class CDanLamp;
class CInButton;
} // namespace orinsub::controls

namespace orinsub::views {

/// A narrow strip beside the preset pane with the on-air lamps of rows A and B. The left strip
/// also carries each row's "IN" button, which routes the DMX input to that row; the right one
/// only shows the lamps. Holding the mouse anywhere else on a strip shows every fader's readout.
///
/// The left strip registers itself in g_orin as m_pLampView (the pick-up reads its "IN"
/// buttons); the main window reaches both through ConsoleFrame::GetLampView.
class CLampConsoleView : public QWidget, public controls::Pane
{
public:
    enum class Side { Left, Right };

    explicit CLampConsoleView(Side side, QWidget *parent = nullptr);
    ~CLampConsoleView() override;

    /// Row 0 or 1 (others ignored): the lamp shows state; repaints only on a change.
    void SetRowLamp(int row, controls::RowState state);
    controls::CInButton *GetInButton(int row) const;
    controls::CDanLamp *GetRowLamp(int row) const;
    /// Puts row 0's and row 1's lamp and "IN" button level with the rows whose tracks have
    /// their middles at these client heights.
    void PlaceRows(int centreA, int centreB);
    /// Draws the strip at this zoom (see PaneZoom), as the preset pane beside it.
    void SetZoom(double zoom);
    /// The widget pixels that show a client rectangle.
    QRect ClientToWidget(const QRect &client) const { return m_zoom.ToWidget(client); }

    QPoint GetScrollPosition() const override { return QPoint(); }
    void InvalidateRect(const QRect &client) override;
    QRect GetClientRect() const override { return QRect(QPoint(), m_zoom.ToClient(size())); }

    /// Undo from a lamp strip always undoes the last section copy.
    void OnEditUndo();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;

private:
    void ShowReadouts(bool show);
    /// The row whose "IN" button is at the client point, or -1 (always on the right strip).
    int InButtonAt(QPoint client) const;

    Side m_side;
    PaneZoom m_zoom;
    std::unique_ptr<controls::CDanLamp> m_rowLamps[2];
    std::unique_ptr<controls::CInButton> m_inButtons[2];
};

} // namespace orinsub::views
