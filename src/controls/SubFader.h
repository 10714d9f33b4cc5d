#pragma once

#include "MasterFader.h"

namespace orinsub::model {
class COrinSUBDoc;
class UndoRecord;
} // namespace orinsub::model

namespace orinsub::controls {

class CDan;
class CFaderLabel;
class CFlashButton;
class OutputLevels;

/// What a sub-master fader's groove shows of the sub-master it plays. The values are the
/// console's own numbers (the web remote passes them on).
enum class ContentState : int {
    Empty = 0,         ///< no level above 0: black
    HasLevels = 1,     ///< green
    HeldElsewhere = 2, ///< raised on a page other than the one shown: red
};

/// What a sub-master fader needs of the master pane besides drawing: the page shown and the
/// scroll position the pane remembered at its last button-down.
class SubFaderHost
{
public:
    virtual ~SubFaderHost() = default;
    virtual int GetPage() const = 0;
    virtual QPoint GetSavedScrollPos() const = 0;
};

/// A sub-master fader: a relative-drag fader bound to one sub-master (page, number), whose level
/// is that sub-master's master level in the output. At level 0 it follows the page shown; raised,
/// it keeps the sub-master it was raised with (its groove turns red while another page is shown)
/// and rebinds when it comes back to 0. A held flash button keeps the sub-master the same way
/// until it is let go. The groove colour is the content state.
class CSubFader : public CMasterFader
{
public:
    CSubFader();

    /// The track area extended by the caption bands above and below, client coordinates taken
    /// with the scroll position the pane remembered at its last button-down.
    QRect GetTrackRect() const override;
    /// Takes the fader back from the DMX input, drags it relatively, rebinds at 0 and
    /// recomputes the output.
    void DragTo(QPoint point);
    /// The same for a level: unhooks, sets it, rebinds at 0 and recomputes the output.
    void MoveTo(uint8_t level);
    bool IsDropTarget() const { return m_dropTarget; }
    void SetDropTarget(bool target) { m_dropTarget = target; }
    bool IsDragSource() const { return m_dragSource; }
    void SetDragSource(bool source) { m_dragSource = source; }
    void SetPageNumber(int page, int number);
    void GetPageNumber(int &page, int &number) const;
    int GetPage() const { return m_page; }
    int GetNumber() const { return m_number; }

    // Stores into the sub-master with this fader's number on the page shown (not necessarily the
    // one it plays), only into entries its table has, and marks the show modified.
    /// Entries 0..79 take the output readouts.
    void StoreLevelsFromOutput(const OutputLevels &output);
    /// Entries 0..count-1 take the row's channel levels.
    void StoreLevelsFromRow(const CDan &row);
    /// All entries and the name take those of the sub-master the other fader holds.
    void CopyFromSubFader(const CSubFader &other);
    /// The levels and name saved in an undo record come back.
    void RestoreFrom(const model::UndoRecord &record);

    /// Sets the level (the DMX input), rebinds at 0 and repaints; true when the level changed.
    /// The caller recomputes the output, once for all the faders it fed.
    bool SetLevelAndRedraw(uint8_t level);
    /// Repaints the track when the colour changes; a value outside the states counts as Empty.
    void SetContentState(ContentState state);
    /// Read back from the groove colour.
    ContentState GetContentState() const;
    /// Whether the bound sub-master has a level above 0, or a chase put on it, in the given show /
    /// the registered one.
    bool HasContentIn(const model::COrinSUBDoc *doc) const;
    bool HasContent() const;
    void SetLabel(CFaderLabel *label) { m_label = label; }
    CFaderLabel *GetLabel() const { return m_label; }
    /// The flash button under the fader's label (owned by the pane).
    void SetFlashButton(CFlashButton *button) { m_flash = button; }
    CFlashButton *GetFlashButton() const { return m_flash; }
    bool IsFlashHeld() const;
    /// Presses or lets go of the flash button; let go at level 0, the fader follows the page
    /// shown again. The caller recomputes the output.
    void SetFlashHeld(bool held);
    void SetHost(SubFaderHost *host) { m_host = host; }
    /// How far the hit area reaches above and below the track (the caption bands).
    void SetTrackExtension(int above, int below);

private:
    /// Rebinds to the page shown if it differs, then refreshes the content state.
    void FollowPage();
    /// FollowPage at level 0 unless the flash button still plays the sub-master.
    void FollowPageIfFree();
    /// After a store: a held (red) fader stays red, any other shows its content.
    void RefreshStoredState();
    /// Empty or HasLevels, from the sub-master bound now.
    void RefreshContentState();
    int ShownPage() const;

    bool m_dropTarget = false;
    bool m_dragSource = false;
    int m_page = 0;
    int m_number = 0;
    CFaderLabel *m_label = nullptr;
    CFlashButton *m_flash = nullptr;
    SubFaderHost *m_host = nullptr;
    int m_extendAbove = 0;
    int m_extendBelow = 0;
};

} // namespace orinsub::controls
