#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <memory>

namespace orinsub::controls {
class CDan;
class CSubFader;
} // namespace orinsub::controls
namespace orinsub::views {
class CDanConsoleView;
}

namespace orinsub::app {

class CMainFrame;
class DragOverlay;
class DragPreviewBuilder;

/// A section of the desk as a drag names it. The values are the console's section numbers:
/// sub-master fader j is FirstSubMaster + j, and the drop targets' previews go in that order.
enum class Section : int {
    None = -1,
    RowA = 0,
    RowB = 1,
    FirstSubMaster = 2,
    OutputStrip = 99,
};

/// The section of row 0 (A) or 1 (B).
constexpr Section RowSection(int row)
{
    return row == 0 ? Section::RowA : Section::RowB;
}

/// The section of sub-master fader j (0..19).
constexpr Section SubMasterSection(int j)
{
    return static_cast<Section>(static_cast<int>(Section::FirstSubMaster) + j);
}

/// The dragging of one section's levels onto another: a preset row, the output-level strip or a
/// sub-master onto a row or a sub-master. The main window holds the mouse and the keys from the
/// press that starts it to the release that drops it; meanwhile a small picture of the section
/// follows the pointer, and over a drop target a preview shows the section placed there. The
/// release runs the copy that fits source and target. Escape, the window losing activation, or a
/// close cancel the drag without a copy. In every case every mark is cleared at the end.
///
/// UI thread only; the previews are rendered on a worker (DragPreviewBuilder).
class SectionDrag : public QObject
{
public:
    explicit SectionDrag(CMainFrame &frame);
    /// Ends a drag in progress, without a copy, once its preview worker has finished.
    ~SectionDrag() override;

    // Starts, from a press in a pane (point in that pane's client coordinates).
    void BeginRowDrag(controls::CDan *row, QPoint point);
    void BeginOutputDrag(views::CDanConsoleView *view, QPoint point);
    void BeginSubMasterDrag(controls::CSubFader *fader, QPoint point);
    /// The drag of the section (client coordinates of the preset pane for sourcePane 0, of the
    /// master pane for 1) whose source mark is set, grabbed at point. An empty section starts
    /// nothing and clears the marks.
    void StartSectionDrag(const QRect &section, QPoint point, int sourcePane);

    /// The section with the source mark: the rows, then the sub faders, then the output strip.
    Section GetDragSource() const;
    /// The drop target under a point in the window's client coordinates (those of the panes'
    /// top-left corner): a row, a sub-master or None, never the output strip.
    Section HitTestDropTarget(QPoint point) const;

    bool IsDragging() const { return m_dragging; }
    QPoint GetDragHotSpot() const { return m_dragHotSpot; }
    /// The dragged section in the main window's coordinates.
    QRect GetSectionRect() const { return m_sectionRect; }
    /// The previews of the drag in progress, or null.
    const DragPreviewBuilder *GetTargetImages() const { return m_targetImages.get(); }
    const DragOverlay &GetOverlay() const { return *m_overlay; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Marks;

    void Track(QPoint global);
    /// Takes the marks, runs the copy when asked to, ends the pictures, refreshes the master pane.
    void Finish(bool copy);
    Marks TakeMarks();
    /// Clears the drop-target mark of every section but target; true if one was cleared.
    bool ClearDropTargetsBut(Section target);
    bool IsDropTarget(Section section) const;
    void SetDropTarget(Section section);
    void ShowSmallImage(QPoint windowPoint);
    void EndPictures();
    /// From a pane's client coordinates to the window's client and window coordinates.
    QPoint ClientOffset(const QWidget *paneClient) const;
    QPoint WindowOffset(const QWidget *paneClient) const;

    CMainFrame &m_frame;
    DragOverlay *m_overlay; // a child of the frame
    bool m_dragging = false;
    QPoint m_dragHotSpot;
    QRect m_sectionRect;
    QImage m_dragImage;
    std::unique_ptr<DragPreviewBuilder> m_targetImages;
};

} // namespace orinsub::app
