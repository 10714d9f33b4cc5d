#pragma once

#include "DimmerCurveDialog.h"

#include <QMainWindow>
#include <QPointer>

class QSplitter;

namespace orinsub::patch {

class COrinPatchView;
class CPatchHeaderView;
class CPatchInputView;


/// The patch window: column captions, the patch grid and the entry bar, stacked. Its menu
/// closes it (F11) and restores the one-to-one patch. Closing it by any way empties the patch
/// selection; the window then deletes itself. Works on the show in model::g_orin.m_pDoc.
///
/// The main window opens it for its command "パッチ(&P)..." (F11) with
///
///     QPointer<patch::CPatchFrame> m_pPatchFrame; // non-owning
///     patch::CPatchFrame::OpenOrActivate(m_pPatchFrame);
///
/// and, as it goes itself, deletes a patch window that is still open (`delete m_pPatchFrame;`):
/// the patch window is a separate top-level window that does not keep the program running.
class CPatchFrame : public QMainWindow
{
    Q_OBJECT

public:
    /// Brings the patch window in `frame` to the front (restoring it when minimised), or, when
    /// there is none or it is closing, opens a new one and stores it in `frame`. So at most one
    /// is open at a time. `frame` becomes null once the window is gone (QObject::destroyed tells
    /// the moment). Returns the window now in `frame`.
    static CPatchFrame *OpenOrActivate(QPointer<CPatchFrame> &frame);

    explicit CPatchFrame(QWidget *parent = nullptr);

    /// Repaints the grid and the curves from the show: the main window calls it after New and
    /// Open.
    void RefreshGrid();

    /// "閉じる(&W)" (F11): closes the window.
    void OnPatchClose();
    /// "調光カーブ(&C)...": opens the dimmer curves' window, or brings it to the front.
    void OnDimmerCurves();
    /// "1対1パッチ(&D)...": after the operator's OK, dimmer n goes to channel n for n = 1..80
    /// and every other dimmer to the spare channel; the selection empties, the show is marked
    /// modified and every channel's output is recomputed.
    void OnPatchOneToOne();

    CPatchHeaderView *HeaderView() const { return m_pHeader; }
    COrinPatchView *PatchView() const { return m_pGrid; }
    CPatchInputView *InputView() const { return m_pInput; }
    DimmerCurveDialog *CurveDialog() const { return m_curves; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QSplitter *m_wndSplitter;
    CPatchHeaderView *m_pHeader;
    COrinPatchView *m_pGrid;
    CPatchInputView *m_pInput;
    QPointer<DimmerCurveDialog> m_curves;
};

} // namespace orinsub::patch
