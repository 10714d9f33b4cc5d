#include "PatchFrame.h"

#include "DimmerCurveDialog.h"
#include "OrinPatchView.h"
#include "PatchHeaderView.h"
#include "PatchInputView.h"
#include "PatchLook.h"
#include "controls/QuestionBox.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QSplitter>

namespace orinsub::patch {

CPatchFrame *CPatchFrame::OpenOrActivate(QPointer<CPatchFrame> &frame)
{
    if (frame && frame->isVisible()) {
        frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
        frame->raise();
        frame->activateWindow();
        return frame;
    }
    frame = new CPatchFrame;
    frame->show();
    frame->activateWindow();
    return frame;
}

CPatchFrame::CPatchFrame(QWidget *parent) : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QString::fromUtf8(kWindowTitle));

    QMenu *menu = menuBar()->addMenu(QString::fromUtf8(kMenuTitle));
    QAction *close =
        menu->addAction(QString::fromUtf8(kCloseItem), this, &CPatchFrame::OnPatchClose);
    close->setShortcut(Qt::Key_F11);
    menu->addSeparator();
    menu->addAction(QString::fromUtf8(kCurveItem), this, &CPatchFrame::OnDimmerCurves);
    menu->addAction(QString::fromUtf8(kOneToOneItem), this, &CPatchFrame::OnPatchOneToOne);

    // Fixed panes: the bars cannot be dragged, and the entry bar takes what the grid leaves.
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setHandleWidth(kPaneGap);
    m_wndSplitter->setChildrenCollapsible(false);
    m_pHeader = new CPatchHeaderView;
    m_pGrid = new COrinPatchView;
    m_pInput = new CPatchInputView(m_pGrid);
    m_pHeader->setMinimumHeight(kHeaderPaneMinimum);
    m_pGrid->setMinimumHeight(kGridPaneMinimum);
    m_pInput->setMinimumHeight(kEntryPaneMinimum);
    int row = 0;
    for (QWidget *pane : {static_cast<QWidget *>(m_pHeader), static_cast<QWidget *>(m_pGrid),
                          static_cast<QWidget *>(m_pInput)}) {
        m_wndSplitter->addWidget(pane);
        m_wndSplitter->setStretchFactor(row++, pane == m_pInput ? 1 : 0);
    }
    for (int i = 1; i < m_wndSplitter->count(); ++i)
        m_wndSplitter->handle(i)->setEnabled(false);
    m_wndSplitter->setSizes({kHeaderPaneHeight, kGridPaneHeight, kEntryPaneHeight});
    setCentralWidget(m_wndSplitter);

    move(kFrameX, kFrameY);
    resize(kFrameWidth, kFrameHeight);
    m_pInput->setFocus();
}

void CPatchFrame::RefreshGrid()
{
    m_pGrid->Refresh();
    if (m_curves)
        m_curves->Reload();
}

void CPatchFrame::OnDimmerCurves()
{
    if (!m_curves)
        m_curves = new DimmerCurveDialog(this);
    m_curves->show();
    m_curves->raise();
    m_curves->activateWindow();
}

void CPatchFrame::OnPatchClose()
{
    close();
}

void CPatchFrame::OnPatchOneToOne()
{
    model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (!doc || !controls::Questions().AskOkCancel(this, QString::fromUtf8(kOneToOneQuestion),
                                                   QString::fromUtf8(kOneToOneCaption)))
        return;
    doc->SetModifiedFlag(true);
    doc->RestoreOneToOnePatch();
    // Dimmers 1..80 may have belonged to other channels: rewrite every slot, so none keeps the
    // level of a channel it has left.
    model::RecomputeAllChannels();
    model::MixChannel(model::kSpareChannelIndex + 1);
    m_pGrid->Refresh();
}

void CPatchFrame::closeEvent(QCloseEvent *event)
{
    if (model::COrinSUBDoc *doc = model::g_orin.m_pDoc)
        doc->m_patchSelection.clear();
    QMainWindow::closeEvent(event);
}

} // namespace orinsub::patch
