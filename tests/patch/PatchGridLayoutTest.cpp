#include "patch/PatchGridLayout.h"
#include "model/OrinSUBDoc.h"

#include <gtest/gtest.h>

using namespace orinsub;
using patch::CPatchGridLayout;

namespace {

QRect BoxOf(const CPatchGridLayout &layout, int dimmer)
{
    for (const CPatchGridLayout::Cell &cell : layout.Cells()) {
        if (cell.dimmer == dimmer)
            return cell.box;
    }
    return {};
}

QRect LabelOf(const CPatchGridLayout &layout, int channelIndex)
{
    for (const CPatchGridLayout::Cell &cell : layout.Cells()) {
        if (cell.dimmer == 0 && cell.channelIndex == channelIndex)
            return cell.box;
    }
    return {};
}

void Patch(model::COrinSUBDoc &doc, std::vector<int32_t> dimmers, int channelIndex)
{
    doc.m_patchSelection = std::move(dimmers);
    doc.PatchSelectionTo(channelIndex);
}

} // namespace

TEST(PatchGridLayout, FreshShowHasOneLinePerChannelAndFortyFourSpareLines)
{
    model::COrinSUBDoc doc;
    CPatchGridLayout layout;
    layout.LayOut(doc);

    EXPECT_EQ(layout.RowTop(0), 6);
    EXPECT_EQ(LabelOf(layout, 0), QRect(50, 6, 30, 30));
    EXPECT_EQ(BoxOf(layout, 1), QRect(120, 6, 30, 30));
    EXPECT_EQ(layout.RowTop(1), 36) << "channels are 30 pixels apart";
    EXPECT_EQ(BoxOf(layout, 80), QRect(120, 6 + 79 * 30, 30, 30));
    EXPECT_EQ(layout.Separators().front(), QRect(0, 29, 600, 1));

    const int spareTop = layout.RowTop(80);
    EXPECT_EQ(spareTop, 2406);
    EXPECT_EQ(BoxOf(layout, 81), QRect(120, spareTop, 30, 30));
    EXPECT_EQ(BoxOf(layout, 90), QRect(480, spareTop, 30, 30)) << "ten dimmers to a line";
    EXPECT_EQ(BoxOf(layout, 91), QRect(120, spareTop + 26, 30, 30));
    const int lastLine = spareTop + 43 * 26; // 43 lines of ten, then 511 and 512
    EXPECT_EQ(BoxOf(layout, 512), QRect(160, lastLine, 30, 30));
    EXPECT_EQ(layout.ContentHeight(), lastLine + 30);
    EXPECT_EQ(layout.Separators().back(), QRect(0, lastLine + 23, 600, 1));
    EXPECT_EQ(layout.Cells().size(), 81u + 512u);
}

TEST(PatchGridLayout, ElevenDimmersTakeTwoLinesAndAnEmptyChannelStillOne)
{
    model::COrinSUBDoc doc;
    Patch(doc, {81, 82, 83, 84, 85, 86, 87, 88, 89}, 0);     // channel 1: ten dimmers
    Patch(doc, {90, 91, 92, 93, 94, 95, 96, 97, 98, 99}, 1); // channel 2: eleven
    doc.Channel(2).ClearDimmers();                           // channel 3: none
    CPatchGridLayout layout;
    layout.LayOut(doc);

    EXPECT_EQ(BoxOf(layout, 89), QRect(480, 6, 30, 30));
    EXPECT_EQ(layout.RowTop(1), 36) << "ten dimmers fit on one line";
    EXPECT_EQ(BoxOf(layout, 98), QRect(480, 36, 30, 30));
    EXPECT_EQ(BoxOf(layout, 99), QRect(120, 62, 30, 30)) << "the eleventh starts a second line";
    EXPECT_EQ(layout.RowTop(2), 92);
    EXPECT_EQ(LabelOf(layout, 2), QRect(50, 92, 30, 30));
    EXPECT_EQ(layout.RowTop(3), 122) << "a channel without dimmers keeps its line";
}
