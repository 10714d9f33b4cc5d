#include "UndoLastEdit.h"

#include "DanConsoleView.h"
#include "MasterConsoleView.h"
#include "controls/Dan.h"
#include "controls/SubFader.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/UndoRecord.h"

namespace orinsub::views {

using model::g_orin;

void UndoLastEdit()
{
    model::UndoRecord *record = g_orin.m_pUndo;
    if (!record || !record->m_valid)
        return;
    model::UndoRecord present;
    if (record->IsRowRecord()) {
        CDanConsoleView *dan = g_orin.m_pDanView;
        controls::CDan *row = dan ? dan->GetRow(record->m_index) : nullptr;
        if (!row)
            return;
        controls::RecordRow(present, *row);
        row->CopyLevelsFromArray(record->m_levels);
        *record = std::move(present);
        dan->InvalidateRect(row->GetRect());
    } else {
        CMasterConsoleView *master = g_orin.m_pMasterView;
        controls::CSubFader *fader = master ? master->GetSubFader(record->m_index - 1) : nullptr;
        if (!fader)
            return;
        present.RecordSubMaster(master->GetPage(), fader->GetNumber());
        fader->RestoreFrom(*record);
        *record = std::move(present);
    }
    model::RecomputeAllChannels();
}

} // namespace orinsub::views
