#include "SectionCopies.h"

#include "AppResources.h"
#include "controls/Dan.h"
#include "controls/KeyState.h"
#include "controls/QuestionBox.h"
#include "controls/SubFader.h"
#include "model/OrinGlobal.h"
#include "model/UndoRecord.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"

namespace orinsub::app {

using model::g_orin;

namespace {

/// Shift skips the question; otherwise true only for OK.
bool ConfirmCopy(const QString &from, const QString &to)
{
    if (controls::Keys().IsShiftDown())
        return true;
    const QString joined = from + drag::kCopyFrom + to;
    return controls::Questions().AskOkCancel(views::MessageOwner(), joined + drag::kCopyTextEnd,
                                             joined + drag::kCopyCaptionEnd);
}

int ShownPage()
{
    return g_orin.m_pMasterView ? g_orin.m_pMasterView->GetPage() : 1;
}

QString SourceLabel(const controls::CSubFader &source)
{
    return SubMasterLabel(source.GetPage(), source.GetNumber());
}

QString TargetLabel(const controls::CSubFader &target)
{
    return SubMasterLabel(ShownPage(), target.GetNumber());
}

/// Copies into a row: asks, records the row, copies, repaints the row, recomputes.
template <class Copy> void CopyIntoRow(const QString &from, controls::CDan &target, Copy copy)
{
    if (!ConfirmCopy(from, RowLabel(target.GetIndex())))
        return;
    if (g_orin.m_pUndo)
        controls::RecordRow(*g_orin.m_pUndo, target);
    copy();
    if (views::CDanConsoleView *dan = g_orin.m_pDanView) {
        dan->InvalidateRect(target.GetRect());
        dan->RecomputeAllChannels();
    }
}

/// Copies into the sub-master of the page shown: asks, records it, copies, recomputes; the master
/// pane is refreshed whatever the answer.
template <class Copy>
void CopyIntoSubMaster(const QString &from, controls::CSubFader &target, Copy copy)
{
    if (ConfirmCopy(from, TargetLabel(target))) {
        if (g_orin.m_pUndo)
            g_orin.m_pUndo->RecordSubMaster(ShownPage(), target.GetNumber());
        copy();
        if (g_orin.m_pDanView)
            g_orin.m_pDanView->RecomputeAllChannels();
    }
    if (views::CMasterConsoleView *master = g_orin.m_pMasterView) {
        master->RefreshPage();
        master->InvalidateRect(master->GetClientRect());
    }
}

} // namespace

QString RowLabel(int rowIndex)
{
    return rowIndex == 0 ? drag::kRowALabel : drag::kRowBLabel;
}

QString SubMasterLabel(int page, int number)
{
    return drag::kSubMasterLabel.arg(page).arg(number);
}

void CopyRowToRow(const controls::CDan &source, controls::CDan &target)
{
    CopyIntoRow(RowLabel(source.GetIndex()), target, [&] { target.CopyLevelsFromRow(source); });
}

void CopyOutputToRow(const views::CDanConsoleView &output, controls::CDan &target)
{
    CopyIntoRow(drag::kOutputLabel, target, [&] { target.CopyLevelsFromOutput(output); });
}

void CopySubMasterToRow(const controls::CSubFader &source, controls::CDan &target)
{
    CopyIntoRow(SourceLabel(source), target, [&] { target.CopyLevelsFromSubMaster(source); });
}

void CopyRowToSubMaster(const controls::CDan &source, controls::CSubFader &target)
{
    CopyIntoSubMaster(RowLabel(source.GetIndex()), target,
                      [&] { target.StoreLevelsFromRow(source); });
}

void CopyOutputToSubMaster(const views::CDanConsoleView &output, controls::CSubFader &target)
{
    CopyIntoSubMaster(drag::kOutputLabel, target, [&] { target.StoreLevelsFromOutput(output); });
}

void CopySubMasterToSubMaster(const controls::CSubFader &source, controls::CSubFader &target)
{
    CopyIntoSubMaster(SourceLabel(source), target, [&] { target.CopyFromSubFader(source); });
}

} // namespace orinsub::app
