#include "patch/DimmerEntry.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

using namespace orinsub::patch;
using Dimmers = std::vector<int32_t>;

namespace {

Dimmers Range(int from, int to)
{
    Dimmers v;
    for (int d = from; from <= to ? d <= to : d >= to; d += from <= to ? 1 : -1)
        v.push_back(d);
    return v;
}

} // namespace

TEST(DimmerEntry, ListsAndRangesSelectInTypingOrder)
{
    struct Case
    {
        const char16_t *typed;
        Dimmers selection;
        int last;
    };
    const Case cases[] = {
        {u"1-5,8", {1, 2, 3, 4, 5, 8}, 8},
        {u"10.7", {10, 9, 8, 7}, 7},
        {u"5-1", {5, 4, 3, 2, 1}, 1},
        {u"3~3", {3}, 3},
        {u"5-", {5}, 5},
        {u"-5", {5}, 5},
        {u"1-3+2", {1, 2, 3}, 2},
        {u"510-515", {510, 511, 512}, 515},
        {u"7/9+11", {7, 9, 11}, 11},
        {u" 12abc, 4x", {12, 4}, 4},
        {u"1.~3", {1}, -3}, // "~" after the range mark is the end's sign, as "-" would be
        {u"0", {}, 0},
        {u"abc", {}, 0},
        {u"", {}, 0},
        {u"5,", {5}, 0}, // an empty entry counts as 0
        {u"600,0,513", {}, 513},
        {u"-4", {4}, 4},
    };
    for (const Case &c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        const DimmerEntry entry = ParseDimmerEntry(typed);
        EXPECT_EQ(entry.selection, c.selection) << typed.toStdString();
        EXPECT_EQ(entry.last, c.last) << typed.toStdString();
    }
}

TEST(DimmerEntry, HugeNumbersWalkOnlyTheDimmersThatExist)
{
    // Each of these would take billions of steps if the walk went through every number.
    EXPECT_EQ(ParseDimmerEntry(u"1-99999999999999999999").selection, Range(1, 512));
    EXPECT_EQ(ParseDimmerEntry(u"4294967296-1").selection, Range(512, 1));
    EXPECT_EQ(ParseDimmerEntry(u"1--2147483648").selection, Dimmers{1});
    EXPECT_EQ(ParseDimmerEntry(u"2147483647.2147483640").selection, Dimmers{});
    EXPECT_EQ(ParseDimmerEntry(u"-3-4").selection, Dimmers{3}) << "the first mark splits";
    const DimmerEntry entry = ParseDimmerEntry(u"1-2147483647,1-2147483647");
    EXPECT_EQ(entry.selection.size(), 512u);
    EXPECT_EQ(entry.last, 2147483647);
}

TEST(DimmerEntry, LeadingIntegerReadsLikeTheCRuntime)
{
    EXPECT_EQ(LeadingInteger(u"42"), 42);
    EXPECT_EQ(LeadingInteger(u"  \t-17x"), -17);
    EXPECT_EQ(LeadingInteger(u"+8"), 8);
    EXPECT_EQ(LeadingInteger(u"\u3000"
                             u"9"),
              9)
        << "an ideographic space is a blank too";
    EXPECT_EQ(LeadingInteger(u"x9"), 0);
    EXPECT_EQ(LeadingInteger(u"-"), 0);
    EXPECT_EQ(LeadingInteger(u"99999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger(u"-99999999999"), -2147483647 - 1);
}

TEST(DimmerEntry, ChannelBoxNamesAConsoleChannelOrTheSpareOne)
{
    EXPECT_EQ(PatchTargetIndex(u"1"), 0);
    EXPECT_EQ(PatchTargetIndex(u" 80"), 79);
    EXPECT_EQ(PatchTargetIndex(u"3rd"), 2);
    for (const char16_t *spare : {u"", u"0", u"-3", u"81", u"999999999999", u"ch3"})
        EXPECT_EQ(PatchTargetIndex(spare), 80) << QString::fromUtf16(spare).toStdString();
}

TEST(DimmerEntry, FuzzCorpusReplaysCleanly)
{
    const auto inputs = orinsub::testing::ReadCorpus(QStringLiteral(DIMMER_ENTRY_CORPUS));
    ASSERT_FALSE(inputs.empty());
    for (const auto &[name, bytes] : inputs) {
        const std::span<const uint8_t> input = orinsub::testing::AsBytes(bytes);
        EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0) << name.toStdString();
    }
}
