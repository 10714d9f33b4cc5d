#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace orinsub::model {

/// The desk's one step of undo for the section copies that overwrite a whole preset row or a
/// whole sub-master. A copy saves its target's levels here first; Undo swaps the record with
/// the target's present state, so a second Undo redoes the copy. UI thread only.
class UndoRecord
{
public:
    /// Saves a row's levels (index 0 = A, 1 = B) and enables the Undo command.
    void RecordRow(int rowIndex, std::vector<uint8_t> levels);
    /// Saves the levels and name of sub-master (page, number) of the registered show and enables
    /// the Undo command. When there is no such sub-master only the levels are emptied.
    void RecordSubMaster(int page, int number);
    /// Forgets everything and greys the Undo command.
    void Clear();

    bool IsRowRecord() const { return m_page == 0; }

    int m_page = 0;  // 0: a row record; 1..20: the page of a sub-master record
    int m_index = 0; // row index, or sub-master number 1..20
    std::vector<uint8_t> m_levels;
    QString m_name; // sub-master records only
    bool m_valid = false;
};

/// Where the Undo command's enabled state goes: the main window connects its menu action.
void SetUndoCommandListener(std::function<void(bool enabled)> listener);
/// Enables or greys the Undo command (the record does it itself; the panes do it when they get
/// the focus, from the registered record's m_valid, and name boxes enable it for their typing).
void SetUndoCommandEnabled(bool enabled);

} // namespace orinsub::model
