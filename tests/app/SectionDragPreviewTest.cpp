#include "app/AppResources.h"
#include "app/DragPicture.h"
#include "app/DragPreviewBuilder.h"
#include "controls/ConsoleLook.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <semaphore>

using namespace orinsub;
using namespace orinsub::app;

namespace {

const QColor kClear(0, 0, 0, 0);

/// A section as a pane would show it: the background, with a white mark in the middle.
QImage PaneGrab(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(controls::kPaneBackground);
    QPainter(&image).fillRect(QRect(QPoint(), size).adjusted(10, 10, -10, -10), Qt::white);
    return image;
}

/// Colour at a window point of a layer.
QColor At(const DragLayer &layer, int x, int y)
{
    return layer.image.pixelColor(QPoint(x, y) - layer.topLeft);
}

TEST(DragPictureTest, BackgroundTurnsTransparentAndTheSmallImageCarriesThinSourceBars)
{
    const QImage keyed = KeyedSectionPicture(PaneGrab(QSize(60, 40)));
    EXPECT_EQ(keyed.pixelColor(5, 5), kClear);
    EXPECT_EQ(keyed.pixelColor(30, 20), QColor(Qt::white));

    const QImage row = SmallDragImage(keyed, SectionKind::Row);
    EXPECT_EQ(row.pixelColor(30, 2), drag::kSmallImageSourceBars);
    EXPECT_EQ(row.pixelColor(30, 3), kClear);
    EXPECT_EQ(row.pixelColor(30, 37), drag::kSmallImageSourceBars);
    EXPECT_EQ(row.pixelColor(30, 36), kClear);
    EXPECT_EQ(row.pixelColor(0, 20), kClear); // no side bars on a row
    const QImage sub = SmallDragImage(keyed, SectionKind::SubMaster);
    EXPECT_EQ(sub.pixelColor(0, 20), drag::kSmallImageSourceBars);
    EXPECT_EQ(sub.pixelColor(59, 20), drag::kSmallImageSourceBars);
    EXPECT_EQ(sub.pixelColor(3, 20), kClear);
    EXPECT_EQ(keyed.pixelColor(30, 0), kClear); // the section itself is left as it was
}

TEST(DragPictureTest, RowTargetShowsARowOrTheOutputCentredBetweenItsBars)
{
    const QRect target(29, 30, 400, 146);
    const QImage strip = KeyedSectionPicture(PaneGrab(QSize(380, 24)));
    const DragLayer layer = RenderTargetLayer(strip, SectionKind::Output, target, true);
    EXPECT_EQ(layer.Rect(), target);
    const int top = 30 + (146 - 24) / 2; // 91
    EXPECT_EQ(At(layer, 29 + 190, top + 12), QColor(Qt::white));
    EXPECT_EQ(At(layer, 29 + 5, top + 5), kClear); // the strip's background stays see-through
    for (int y : {30, 34, 171, 175})
        EXPECT_EQ(At(layer, 300, y), drag::kPreviewTargetBars) << y;
    for (int y : {35, 170})
        EXPECT_EQ(At(layer, 300, y), kClear) << y;
    EXPECT_EQ(At(layer, 29, 100), kClear); // no side bars on a row

    // A sub-master dropped on a row: just the bars, nothing placed.
    const DragLayer bars = RenderTargetLayer(strip, SectionKind::SubMaster, target, true);
    EXPECT_EQ(At(bars, 29 + 190, top + 12), kClear);
    EXPECT_EQ(At(bars, 300, 30), drag::kPreviewTargetBars);
}

TEST(DragPictureTest, SubMasterTargetShowsOnlyASubMasterAtItsTopLeftInsideFourBars)
{
    const QRect column(130, 411, 50, 290);
    const QImage sub = KeyedSectionPicture(PaneGrab(QSize(50, 290)));
    const DragLayer placed = RenderTargetLayer(sub, SectionKind::SubMaster, column, false);
    EXPECT_EQ(placed.Rect(), column);
    EXPECT_EQ(At(placed, 155, 550), QColor(Qt::white));
    for (QPoint edge : {QPoint(130, 500), QPoint(179, 500), QPoint(155, 411), QPoint(155, 700)})
        EXPECT_EQ(At(placed, edge.x(), edge.y()), drag::kPreviewTargetBars) << edge.x() << edge.y();
    EXPECT_EQ(At(placed, 135, 500), kClear);

    const QImage row = KeyedSectionPicture(PaneGrab(QSize(1192, 146)));
    const DragLayer bars = RenderTargetLayer(row, SectionKind::Row, column, false);
    EXPECT_EQ(bars.Rect(), column); // a row on a sub-master: bars only, and no wider than them
    EXPECT_EQ(At(bars, 155, 550), kClear);
}

TEST(DragPictureTest, SourceBarsLieInsideASectionButAroundTheOutputStrip)
{
    const QRect strip(36, 27, 1180, 23);
    const DragLayer output = RenderSourceLayer(SectionKind::Output, strip);
    EXPECT_EQ(output.Rect(), strip.adjusted(0, -5, 0, 5));
    EXPECT_EQ(At(output, 100, 22), drag::kPreviewSourceBars);
    EXPECT_EQ(At(output, 100, 26), drag::kPreviewSourceBars);
    EXPECT_EQ(At(output, 100, 27), kClear);
    EXPECT_EQ(At(output, 100, 49), kClear);
    EXPECT_EQ(At(output, 100, 50), drag::kPreviewSourceBars);
    EXPECT_EQ(At(output, 100, 54), drag::kPreviewSourceBars);

    const QRect column(30, 411, 50, 290);
    const DragLayer sub = RenderSourceLayer(SectionKind::SubMaster, column);
    EXPECT_EQ(sub.Rect(), column);
    EXPECT_EQ(At(sub, 30, 500), drag::kPreviewSourceBars);
    EXPECT_EQ(At(sub, 79, 500), drag::kPreviewSourceBars);
    EXPECT_EQ(At(sub, 50, 411), drag::kPreviewSourceBars);
    EXPECT_EQ(At(sub, 50, 500), kClear);
    const DragLayer row = RenderSourceLayer(SectionKind::Row, QRect(29, 30, 1192, 146));
    EXPECT_EQ(At(row, 29, 100), kClear);
    EXPECT_EQ(At(row, 500, 175), drag::kPreviewSourceBars);
}

DragPreviewPlan SubMasterPlan()
{
    DragPreviewPlan plan;
    plan.section = KeyedSectionPicture(PaneGrab(QSize(50, 290)));
    plan.kind = SectionKind::SubMaster;
    plan.sectionRect = QRect(30, 411, 50, 290);
    plan.targets = {QRect(29, 30, 1192, 146), QRect(29, 186, 1192, 146)};
    for (int j = 0; j < 20; ++j)
        plan.targets.push_back(QRect(30 + 50 * j, 411, 50, 290));
    return plan;
}

TEST(DragPreviewBuilderTest, EveryTargetGetsItsPreviewWithTheSharedSourceBars)
{
    {
        const DragPreviewBuilder builder(SubMasterPlan());
        ASSERT_EQ(builder.GetTargetCount(), 22);
        for (int k = 21; k >= 0; --k) {
            const DragPicture *preview = builder.WaitForPreview(k);
            ASSERT_NE(preview, nullptr);
            ASSERT_EQ(preview->size(), 2u);
            EXPECT_EQ(preview->front().Rect(), SubMasterPlan().targets[k]);
            EXPECT_EQ(preview->back().Rect(), QRect(30, 411, 50, 290));
        }
        EXPECT_EQ(builder.GetBuiltCount(), 22);
        EXPECT_EQ(builder.WaitForPreview(22), nullptr);
    }
    EXPECT_FALSE(DragPreviewBuilder::IsBusy());
}

TEST(DragPreviewBuilderTest, FinishedPreviewsAreReadWhileTheWorkerGoesOnAndDestructionWaitsForIt)
{
    std::binary_semaphore held{0};
    std::binary_semaphore go{0};
    DragPreviewBuilder::SetPaceForTesting([&](int k) {
        if (k == 3) {
            held.release();
            (void)go.try_acquire_for(std::chrono::seconds(10));
        }
    });
    auto first = std::make_unique<DragPreviewBuilder>(SubMasterPlan());
    ASSERT_TRUE(held.try_acquire_for(std::chrono::seconds(10)));
    EXPECT_TRUE(DragPreviewBuilder::IsBusy());
    EXPECT_EQ(first->GetBuiltCount(), 3);
    const DragPicture *row = first->WaitForPreview(1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->front().Rect(), QRect(29, 186, 1192, 146));
    EXPECT_EQ(row->front().image.pixelColor(10, 0), drag::kPreviewTargetBars);
    std::thread letter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30)); // the reset waits by then
        go.release();
    });
    first.reset();
    EXPECT_FALSE(DragPreviewBuilder::IsBusy());
    letter.join();
    DragPreviewBuilder::SetPaceForTesting(nullptr);

    const DragPreviewBuilder second(SubMasterPlan());
    EXPECT_NE(second.WaitForPreview(21), nullptr);
}

} // namespace
