#include "UndoRecord.h"

#include "OrinGlobal.h"
#include "OrinSUBDoc.h"

namespace orinsub::model {

namespace {
std::function<void(bool)> &UndoCommandListener()
{
    static std::function<void(bool)> listener;
    return listener;
}
} // namespace

void SetUndoCommandListener(std::function<void(bool enabled)> listener)
{
    UndoCommandListener() = std::move(listener);
}

void SetUndoCommandEnabled(bool enabled)
{
    if (const auto &listener = UndoCommandListener())
        listener(enabled);
}

void UndoRecord::RecordRow(int rowIndex, std::vector<uint8_t> levels)
{
    m_levels = std::move(levels);
    m_page = 0;
    m_index = rowIndex;
    m_valid = true;
    SetUndoCommandEnabled(true);
}

void UndoRecord::RecordSubMaster(int page, int number)
{
    m_levels.clear();
    const CSubMaster *subMaster =
        g_orin.m_pDoc ? g_orin.m_pDoc->GetSubMaster(page, number) : nullptr;
    if (!subMaster)
        return;
    m_levels = subMaster->m_levels;
    m_name = subMaster->m_name;
    m_page = page;
    m_index = number;
    m_valid = true;
    SetUndoCommandEnabled(true);
}

void UndoRecord::Clear()
{
    m_levels.clear();
    m_index = 0;
    m_page = 0;
    m_name.clear();
    m_valid = false;
    SetUndoCommandEnabled(false);
}

} // namespace orinsub::model
