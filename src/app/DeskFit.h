#pragma once

class QWidget;

namespace orinsub::views {
class CDanConsoleView;
class CLampConsoleView;
class CMasterConsoleView;
} // namespace orinsub::views

namespace orinsub::app {

class CMySplitterWnd;

/// Fits the desk into the room the window gives it: a window too small for it draws every pane
/// smaller (one zoom for all), a wider one shows more channels of the rows, a taller one gives
/// the rows longer faders. The master pane keeps the height the operator dragged its divider to
/// (at zoom 1). The lamp strips follow the rows of the preset pane. UI thread only; the window,
/// splitters and panes outlive it.
class DeskFit
{
public:
    struct Panes
    {
        views::CLampConsoleView *leftLamp;
        views::CDanConsoleView *rows;
        views::CLampConsoleView *rightLamp;
        views::CMasterConsoleView *master;
    };

    /// outer: the top row (the splitter top: lamp strip, rows, lamp strip) above the master pane.
    DeskFit(QWidget &window, CMySplitterWnd &outer, CMySplitterWnd &top, const Panes &panes);

    /// Sizes the rows and panes and the desk's zoom for the room the window has.
    void Fit();
    /// The lamp strips follow the rows of the preset pane.
    void PlaceLampRows();
    /// The operator dragged the divider: the master pane keeps that height from now on.
    void KeepMasterRow();

    /// The zoom the panes are drawn at: 1, or less when the window is too small for the desk.
    double GetZoom() const { return m_zoom; }
    /// The master pane's height at zoom 1; 0 until the first fit gives the default.
    int GetMasterRowHeight() const { return m_masterRowHeight; }
    void SetMasterRowHeight(int height) { m_masterRowHeight = height; }

private:
    QWidget &m_window;
    CMySplitterWnd &m_outer;
    CMySplitterWnd &m_top;
    Panes m_panes;
    double m_zoom = 1.0;
    int m_masterRowHeight = 0;
};

} // namespace orinsub::app
