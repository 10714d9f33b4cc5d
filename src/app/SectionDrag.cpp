#include "SectionDrag.h"

#include "DragOverlay.h"
#include "DragPreviewBuilder.h"
#include "MainFrame.h"
#include "SectionCopies.h"
#include "controls/Dan.h"
#include "controls/SubFader.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orinsub::app {

using controls::CDan;
using controls::CSubFader;

namespace {

constexpr int kRowCount = 2;
/// The small image first shows this far right of and below where the section was.
const QPoint kSmallImageStartOffset(2, 2);

/// Whether the point lies in the rectangle (right and bottom exclusive); an inverted rectangle
/// holds nothing.
bool Inside(const QRect &r, QPoint p)
{
    return !r.isEmpty() && r.contains(p);
}

bool IsRowSection(Section section)
{
    return section == Section::RowA || section == Section::RowB;
}

int RowOf(Section section)
{
    return section == Section::RowA ? 0 : 1;
}

int SubMasterOf(Section section)
{
    return static_cast<int>(section) - static_cast<int>(Section::FirstSubMaster);
}

} // namespace

struct SectionDrag::Marks
{
    bool output = false;
    CDan *sourceRow = nullptr;
    CDan *targetRow = nullptr;
    CSubFader *sourceFader = nullptr;
    CSubFader *targetFader = nullptr;
};

SectionDrag::SectionDrag(CMainFrame &frame) : m_frame(frame), m_overlay(new DragOverlay(&frame)) {}

SectionDrag::~SectionDrag()
{
    if (m_dragging) {
        m_dragging = false;
        qApp->removeEventFilter(this);
        m_frame.releaseMouse();
        TakeMarks();
    }
    m_targetImages.reset(); // waits for the worker
}

void SectionDrag::BeginRowDrag(CDan *row, QPoint point)
{
    if (m_dragging)
        Finish(false);
    row->SetDragSource(true);
    StartSectionDrag(row->GetRect(), point, 0);
}

void SectionDrag::BeginOutputDrag(views::CDanConsoleView *view, QPoint point)
{
    if (m_dragging)
        Finish(false);
    view->SetDragSource(true);
    StartSectionDrag(view->GetLevelStripRect(), point, 0);
}

void SectionDrag::BeginSubMasterDrag(CSubFader *fader, QPoint point)
{
    if (m_dragging)
        Finish(false);
    fader->SetDragSource(true);
    const views::CMasterConsoleView *master = m_frame.GetMasterView();
    StartSectionDrag(fader->GetTrackRect().intersected(master->GetClientRect()), point, 1);
}

void SectionDrag::StartSectionDrag(const QRect &section, QPoint point, int sourcePane)
{
    views::CDanConsoleView *dan = m_frame.GetDanView();
    views::CMasterConsoleView *master = m_frame.GetMasterView();
    const views::ScrollPane &pane =
        sourcePane == 1 ? static_cast<const views::ScrollPane &>(*master) : *dan;
    QWidget *view = pane.viewport();
    const Section source = GetDragSource();
    if (section.isEmpty() || source == Section::None) {
        TakeMarks();
        return;
    }
    const SectionKind kind = source == Section::OutputStrip ? SectionKind::Output
                             : IsRowSection(source)         ? SectionKind::Row
                                                            : SectionKind::SubMaster;

    // From here on in the window's pixels, which a drawn smaller desk does not share with its
    // panes' client coordinates.
    const QRect shown = pane.ClientToWidget(section);
    const QPoint grabbed = pane.ClientToWidget(point);
    m_dragHotSpot = grabbed - shown.topLeft();
    m_sectionRect = shown.translated(WindowOffset(view));
    QImage picture = KeyedSectionPicture(view->grab(shown).toImage());
    m_dragImage = SmallDragImage(picture, kind);
    m_overlay->Show({DragLayer{
        grabbed + WindowOffset(view) + kSmallImageStartOffset - m_dragHotSpot, m_dragImage}});

    DragPreviewPlan plan;
    plan.section = std::move(picture);
    plan.kind = kind;
    plan.sectionRect = m_sectionRect;
    plan.rowCount = kRowCount;
    const QPoint danOffset = WindowOffset(dan->viewport());
    for (int i = 0; i < kRowCount; ++i)
        plan.targets.push_back(
            dan->ClientToWidget(dan->GetRow(i)->GetRect()).translated(danOffset));
    // A sub-master's preview covers its column over the master pane's whole height.
    const QRect client = master->GetSavedClientRect();
    const QPoint masterOffset = WindowOffset(master->viewport());
    for (int j = 0; j < master->GetSubFaderCount(); ++j) {
        QRect column = master->GetSubFader(j)->GetTrackRect();
        column.setTop(client.top());
        column.setBottom(client.bottom());
        plan.targets.push_back(master->ClientToWidget(column).translated(masterOffset));
    }
    m_targetImages = std::make_unique<DragPreviewBuilder>(std::move(plan));

    m_dragging = true;
    qApp->installEventFilter(this);
    m_frame.grabMouse();
}

Section SectionDrag::GetDragSource() const
{
    const views::CDanConsoleView *dan = m_frame.GetDanView();
    const views::CMasterConsoleView *master = m_frame.GetMasterView();
    for (int i = 0; i < kRowCount; ++i) {
        if (dan->GetRow(i)->IsDragSource())
            return RowSection(i);
    }
    for (int j = 0; j < master->GetSubFaderCount(); ++j) {
        if (master->GetSubFader(j)->IsDragSource())
            return SubMasterSection(j);
    }
    return dan->IsDragSource() ? Section::OutputStrip : Section::None;
}

Section SectionDrag::HitTestDropTarget(QPoint point) const
{
    const views::CDanConsoleView *dan = m_frame.GetDanView();
    const views::CMasterConsoleView *master = m_frame.GetMasterView();
    const bool rowDragged = dan->GetRow(0)->IsDragSource() || dan->GetRow(1)->IsDragSource();
    const QPoint danOffset = ClientOffset(dan->viewport());
    for (int i = 0; i < kRowCount; ++i) {
        QRect r = dan->ClientToWidget(dan->GetRow(i)->GetRect()).translated(danOffset);
        // A dragged row drops where the middle of its picture is.
        if (rowDragged)
            r = r.translated(0, m_dragHotSpot.y() - m_sectionRect.height() / 2)
                    .adjusted(0, 50, 0, -50);
        else
            r = r.adjusted(0, 20, 0, -20);
        if (Inside(r, point))
            return RowSection(i);
    }
    const QPoint masterOffset = ClientOffset(master->viewport());
    for (int j = 0; j < master->GetSubFaderCount(); ++j) {
        const QRect r = master->ClientToWidget(master->GetSubFader(j)->GetTrackRect())
                            .translated(masterOffset)
                            .adjusted(5, 20, -5, -20);
        if (Inside(r, point))
            return SubMasterSection(j);
    }
    return Section::None;
}

bool SectionDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_dragging)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return false;
        Finish(false);
        return true;
    case QEvent::MouseMove:
        if (watched != &m_frame)
            return false;
        Track(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return watched == &m_frame; // other buttons do nothing during the drag
    case QEvent::MouseButtonRelease:
        if (watched != &m_frame)
            return false;
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Finish(true);
        return true;
    case QEvent::WindowDeactivate:
    case QEvent::Close:
        // Nothing may stay grabbed while another window has the operator, or the window goes.
        if (watched == &m_frame)
            Finish(false);
        return false;
    default:
        return false;
    }
}

void SectionDrag::Track(QPoint global)
{
    const QPoint windowPoint = m_frame.mapFromGlobal(global);
    const Section s = GetDragSource();
    const Section t = HitTestDropTarget(global - m_frame.GetPaneOrigin());
    if (s == Section::None)
        return;
    const bool cleared = ClearDropTargetsBut(t);
    if (t == Section::None || t == s) {
        if (cleared)
            ShowSmallImage(windowPoint);
        else
            m_overlay->MoveTo(windowPoint - m_dragHotSpot);
        return;
    }
    if (IsDropTarget(t))
        return; // the preview stays as it is
    SetDropTarget(t);
    // The worker makes the rows' previews first and the rest within milliseconds.
    if (const DragPicture *preview = m_targetImages->WaitForPreview(static_cast<int>(t)))
        m_overlay->Show(*preview);
}

bool SectionDrag::IsDropTarget(Section section) const
{
    if (IsRowSection(section))
        return m_frame.GetDanView()->GetRow(RowOf(section))->IsDropTarget();
    return m_frame.GetMasterView()->GetSubFader(SubMasterOf(section))->IsDropTarget();
}

void SectionDrag::SetDropTarget(Section section)
{
    if (IsRowSection(section))
        m_frame.GetDanView()->GetRow(RowOf(section))->SetDropTarget(true);
    else
        m_frame.GetMasterView()->GetSubFader(SubMasterOf(section))->SetDropTarget(true);
}

bool SectionDrag::ClearDropTargetsBut(Section target)
{
    bool cleared = false;
    auto clear = [&](auto *marked, Section section) {
        if (section != target && marked->IsDropTarget()) {
            marked->SetDropTarget(false);
            cleared = true;
        }
    };
    for (int i = 0; i < kRowCount; ++i)
        clear(m_frame.GetDanView()->GetRow(i), RowSection(i));
    const views::CMasterConsoleView *master = m_frame.GetMasterView();
    for (int j = 0; j < master->GetSubFaderCount(); ++j)
        clear(master->GetSubFader(j), SubMasterSection(j));
    return cleared;
}

void SectionDrag::ShowSmallImage(QPoint windowPoint)
{
    m_overlay->Show({DragLayer{windowPoint - m_dragHotSpot, m_dragImage}});
}

SectionDrag::Marks SectionDrag::TakeMarks()
{
    Marks marks;
    views::CDanConsoleView *dan = m_frame.GetDanView();
    for (int i = 0; i < kRowCount; ++i) {
        CDan *row = dan->GetRow(i);
        if (row->IsDragSource()) {
            row->SetDragSource(false);
            marks.sourceRow = row;
        }
        if (row->IsDropTarget()) {
            row->SetDropTarget(false);
            marks.targetRow = row;
        }
    }
    const views::CMasterConsoleView *master = m_frame.GetMasterView();
    for (int j = 0; j < master->GetSubFaderCount(); ++j) {
        CSubFader *fader = master->GetSubFader(j);
        if (fader->IsDragSource()) {
            fader->SetDragSource(false);
            marks.sourceFader = fader;
        }
        if (fader->IsDropTarget()) {
            fader->SetDropTarget(false);
            marks.targetFader = fader;
        }
    }
    marks.output = dan->IsDragSource();
    dan->SetDragSource(false);
    return marks;
}

void SectionDrag::Finish(bool copy)
{
    // From here on the drag is over for the event filter: the question box below runs its own
    // event loop, in which no move, release or deactivation may end the drag a second time.
    m_dragging = false;
    qApp->removeEventFilter(this);
    m_frame.releaseMouse();
    const Marks marks = TakeMarks();
    if (copy) {
        views::CDanConsoleView &output = *m_frame.GetDanView();
        if (marks.output && marks.targetRow)
            CopyOutputToRow(output, *marks.targetRow);
        if (marks.output && marks.targetFader)
            CopyOutputToSubMaster(output, *marks.targetFader);
        if (marks.sourceRow && marks.targetRow && marks.targetRow != marks.sourceRow)
            CopyRowToRow(*marks.sourceRow, *marks.targetRow);
        if (marks.sourceRow && marks.targetFader)
            CopyRowToSubMaster(*marks.sourceRow, *marks.targetFader);
        if (marks.sourceFader && marks.targetRow)
            CopySubMasterToRow(*marks.sourceFader, *marks.targetRow);
        if (marks.sourceFader && marks.targetFader && marks.targetFader != marks.sourceFader)
            CopySubMasterToSubMaster(*marks.sourceFader, *marks.targetFader);
    }
    // The pictures stay over the window while the question is open.
    EndPictures();
    m_frame.GetMasterView()->RefreshPage();
}

void SectionDrag::EndPictures()
{
    m_overlay->End();
    m_targetImages.reset(); // waits for the worker if it has not finished
    m_dragImage = QImage();
}

QPoint SectionDrag::ClientOffset(const QWidget *paneClient) const
{
    return paneClient->mapToGlobal(QPoint()) - m_frame.GetPaneOrigin();
}

QPoint SectionDrag::WindowOffset(const QWidget *paneClient) const
{
    return paneClient->mapTo(&m_frame, QPoint());
}

} // namespace orinsub::app
