#pragma once

#include "DragPicture.h"

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace orinsub::app {

/// Everything the previews of one drag are made of, taken on the user-interface thread.
/// Rectangles are in the main window's coordinates.
struct DragPreviewPlan
{
    QImage section; ///< the section's picture, keyed (KeyedSectionPicture)
    SectionKind kind = SectionKind::Row;
    QRect sectionRect;
    /// The drop targets in index order: the rows, then the sub-master faders' columns.
    std::vector<QRect> targets;
    int rowCount = 2;
};

/// Renders the previews of one section drag on a worker thread, once, in target order: preview
/// k shows the section placed on drop target k, with the target's and the source's bars.
///
/// The worker owns the previews it has not finished; each is published with the count of
/// finished previews (release), and the user-interface thread reads a preview only after seeing
/// the count pass it (acquire). While a worker runs, the application-wide busy flag is set: a new
/// builder waits for it before starting, and destruction waits for it and joins the worker, so
/// nothing it reads or writes goes away under it. Create and destroy on the user-interface thread.
class DragPreviewBuilder
{
public:
    explicit DragPreviewBuilder(DragPreviewPlan plan);
    ~DragPreviewBuilder();
    DragPreviewBuilder(const DragPreviewBuilder &) = delete;
    DragPreviewBuilder &operator=(const DragPreviewBuilder &) = delete;

    int GetTargetCount() const { return static_cast<int>(m_previews.size()); }
    /// How many previews are finished (0 up to the target count).
    int GetBuiltCount() const { return m_built.load(std::memory_order_acquire); }
    /// Preview of target k, waiting for the worker to finish it; null for a k out of range.
    const DragPicture *WaitForPreview(int k) const;
    /// Bytes of image memory the finished previews hold (shared layers counted once).
    qsizetype GetImageBytes() const;

    /// True while a builder's worker is at work.
    static bool IsBusy();
    /// Called on the worker before each preview with its index (tests pace the worker with it).
    static void SetPaceForTesting(std::function<void(int)> pace);

private:
    void BuildTargetPreviews();

    const DragPreviewPlan m_plan;
    std::vector<DragPicture> m_previews;
    std::atomic<int> m_built{0};
    std::thread m_worker;
};

} // namespace orinsub::app
