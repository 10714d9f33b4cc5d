#include "DragPreviewBuilder.h"

#include <set>
#include <system_error>

namespace orinsub::app {

namespace {

/// Set while a worker renders previews: the lock on the previews between the worker and the
/// user-interface thread.
std::atomic_flag s_builderBusy;
std::function<void(int)> s_pace;

void AcquireBuilderBusy()
{
    while (s_builderBusy.test_and_set(std::memory_order_acquire))
        s_builderBusy.wait(true, std::memory_order_acquire);
}

void ReleaseBuilderBusy()
{
    s_builderBusy.clear(std::memory_order_release);
    s_builderBusy.notify_all();
}

} // namespace

DragPreviewBuilder::DragPreviewBuilder(DragPreviewPlan plan)
    : m_plan(std::move(plan)), m_previews(m_plan.targets.size())
{
    AcquireBuilderBusy();
    try {
        m_worker = std::thread([this] { BuildTargetPreviews(); });
    } catch (const std::system_error &) {
        BuildTargetPreviews(); // no thread to be had: the previews are made here, at once
    }
}

DragPreviewBuilder::~DragPreviewBuilder()
{
    AcquireBuilderBusy();
    if (m_worker.joinable())
        m_worker.join();
    ReleaseBuilderBusy();
}

void DragPreviewBuilder::BuildTargetPreviews()
{
    // Every preview shows the same source bars: one image, shared.
    const DragLayer source = RenderSourceLayer(m_plan.kind, m_plan.sectionRect);
    for (int k = 0; k < GetTargetCount(); ++k) {
        if (s_pace)
            s_pace(k);
        DragPicture &preview = m_previews[k];
        preview.push_back(
            RenderTargetLayer(m_plan.section, m_plan.kind, m_plan.targets[k], k < m_plan.rowCount));
        preview.push_back(source);
        m_built.fetch_add(1, std::memory_order_release);
        m_built.notify_all();
    }
    ReleaseBuilderBusy();
}

const DragPicture *DragPreviewBuilder::WaitForPreview(int k) const
{
    if (k < 0 || k >= GetTargetCount())
        return nullptr;
    for (int built = GetBuiltCount(); built <= k; built = GetBuiltCount())
        m_built.wait(built, std::memory_order_acquire);
    return &m_previews[k];
}

qsizetype DragPreviewBuilder::GetImageBytes() const
{
    std::set<qint64> counted;
    qsizetype bytes = m_plan.section.sizeInBytes();
    const int built = GetBuiltCount();
    for (int k = 0; k < built; ++k) {
        for (const DragLayer &layer : m_previews[k]) {
            if (counted.insert(layer.image.cacheKey()).second)
                bytes += layer.image.sizeInBytes();
        }
    }
    return bytes;
}

bool DragPreviewBuilder::IsBusy()
{
    return s_builderBusy.test(std::memory_order_acquire);
}

void DragPreviewBuilder::SetPaceForTesting(std::function<void(int)> pace)
{
    s_pace = std::move(pace);
}

} // namespace orinsub::app
