#pragma once

namespace orinsub::dmx {
class COrinZentra;
}
namespace orinsub::views {
class ConsoleFrame;
class CDanConsoleView;
class CMasterConsoleView;
class CLampConsoleView;
} // namespace orinsub::views
namespace orinsub::app {
class CMySplitterWnd;
} // namespace orinsub::app

namespace orinsub::model {

class COrinSUBDoc;
class UndoRecord;
class RowLevelSource;
class MasterLevelSource;
class ChasePlayer;

/// The application-wide registry through which the layers reach each other's single objects.
/// It owns nothing: each pointer's owner sets it and deletes the object. UI thread only.
class COrinGlobal
{
public:
    views::ConsoleFrame *m_pMainFrame = nullptr; // the main window, as the panes see it
    views::CDanConsoleView *m_pDanView = nullptr;
    views::CMasterConsoleView *m_pMasterView = nullptr;
    views::CLampConsoleView *m_pLampView = nullptr;
    app::CMySplitterWnd *m_pSplitter = nullptr;
    COrinSUBDoc *m_pDoc = nullptr;
    dmx::COrinZentra *m_pZentra = nullptr;
    UndoRecord *m_pUndo = nullptr;

    // The output mix reads the desk through these: the preset and master panes register
    // themselves here when the panes are created (tests register stand-ins).
    const RowLevelSource *m_pRowLevels = nullptr;
    const MasterLevelSource *m_pMasterLevels = nullptr;
    // Plays the chases put on sub-masters; the master pane owns it.
    ChasePlayer *m_pChases = nullptr;
};

/// The one registry of the program.
extern COrinGlobal g_orin;

} // namespace orinsub::model
