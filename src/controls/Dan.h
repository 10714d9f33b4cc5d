#pragma once

#include "RowState.h"

#include <QRect>
#include <cstdint>
#include <vector>

namespace orinsub::model {
class UndoRecord;
}

namespace orinsub::controls {

class CDanFader;
class CSubFader;
class OutputLevels;

/// A preset row ("A段" or "B段"): its 80 channel faders (owned by the pane), its on-air state,
/// and the copies that fill it from another section. The copies set levels without repainting
/// and unhook every fader; the caller repaints GetRect and recomputes the output.
class CDan
{
public:
    void SetState(RowState state) { m_state = state; }
    RowState GetState() const { return m_state; }
    /// Set while one of the row's faders is grabbed: the pane then picks up further knobs of
    /// this row that the mouse passes over.
    void SetSweep(bool sweep) { m_sweep = sweep; }
    bool GetSweep() const { return m_sweep; }
    void AddFader(CDanFader *fader) { m_faders.push_back(fader); }
    void SetIndex(int index) { m_index = index; }
    int GetIndex() const { return m_index; }
    int GetFaderCount() const { return static_cast<int>(m_faders.size()); }
    CDanFader *GetFader(int i) const { return m_faders.at(i); }
    bool GetShowReadouts() const { return m_showReadouts; }
    /// Shows (true) every fader's readout; repaints every track.
    void SetShowReadouts(bool show);
    /// The row's area, client coordinates: every track, the first widened to x = 0, clipped to
    /// the pane's client area.
    QRect GetRect() const;
    void SetDragSource(bool source) { m_dragSource = source; }
    bool IsDragSource() const { return m_dragSource; }
    void SetDropTarget(bool target) { m_dropTarget = target; }
    bool IsDropTarget() const { return m_dropTarget; }
    void CopyLevelsFromRow(const CDan &other);
    /// Fader i takes output readout i.
    void CopyLevelsFromOutput(const OutputLevels &output);
    /// Fader i takes level i of the sub-master the fader holds (0 past the end of its table).
    void CopyLevelsFromSubMaster(const CSubFader &subFader);
    /// Fader i takes byte i (0 past the end).
    void CopyLevelsFromArray(const std::vector<uint8_t> &levels);
    /// The level of the fader of channel 1..count; 0 for any other channel.
    uint8_t GetChannelLevel(int channel) const;
    /// Every fader's level, in channel order.
    std::vector<uint8_t> GetLevels() const;

private:
    void SetLevelUnhooked(int i, uint8_t level);

    int m_index = 0;
    RowState m_state = RowState::OffAir;
    std::vector<CDanFader *> m_faders;
    bool m_sweep = false;
    bool m_showReadouts = false;
    bool m_dragSource = false;
    bool m_dropTarget = false;
};

/// Saves the row's levels into the undo record before a copy overwrites them.
void RecordRow(model::UndoRecord &record, const CDan &row);

} // namespace orinsub::controls
