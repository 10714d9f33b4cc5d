#include "model/DimmerCurve.h"

#include <gtest/gtest.h>

using namespace orinsub::model;

namespace {

struct CurvePoint
{
    DimmerCurve curve;
    int level;
    int sent;
};

// Each curve at its ends and its middle; the power laws as 255 * (level / 255) ^ exponent.
constexpr CurvePoint kPoints[] = {
    {{CurveKind::Linear}, 0, 0},
    {{CurveKind::Linear}, 128, 128},
    {{CurveKind::Linear}, 255, 255},
    {{CurveKind::Square}, 0, 0},
    {{CurveKind::Square}, 128, 64},
    {{CurveKind::Square}, 255, 255},
    {{CurveKind::HallA}, 0, 0},
    {{CurveKind::HallA}, 128, 36},
    {{CurveKind::HallA}, 255, 255},
    {{CurveKind::HallB}, 0, 0},
    {{CurveKind::HallB}, 128, 58},
    {{CurveKind::HallB}, 255, 255},
    // The switch: 50 % of full is 127.5, so 128 is the first level at or above it.
    {{CurveKind::Switch}, 127, 0},
    {{CurveKind::Switch}, 128, 255},
    {{CurveKind::Switch, 1}, 3, 255},
    {{CurveKind::Switch, 100}, 254, 0},
    {{CurveKind::Switch, 100}, 255, 255},
    // The top limit scales what the curve sends.
    {{CurveKind::Linear, 50, 60}, 255, 153},
    {{CurveKind::Linear, 50, 60}, 128, 77},
    {{CurveKind::Linear, 50, 0}, 255, 0},
    {{CurveKind::Switch, 50, 60}, 200, 153},
    {{CurveKind::Square, 50, 60}, 255, 153},
};

} // namespace

TEST(DimmerCurve, EveryCurveSendsItsLevelAtTheEndsAndTheMiddle)
{
    for (const CurvePoint &point : kPoints) {
        const CurveTable table = MakeCurveTable(point.curve);
        EXPECT_EQ(table[point.level], point.sent)
            << CurveKindName(point.curve.kind).toStdString() << " limit "
            << point.curve.limitPercent << " at " << point.level;
    }
}

TEST(DimmerCurve, PowerLawsNeverFallAsTheLevelRises)
{
    for (CurveKind kind : {CurveKind::Square, CurveKind::HallA, CurveKind::HallB}) {
        const CurveTable table = MakeCurveTable({kind});
        for (int level = 1; level < 256; ++level)
            ASSERT_GE(table[level], table[level - 1]) << CurveKindName(kind).toStdString();
    }
}

TEST(DimmerCurve, LinearIsTheDefaultAndSendsEveryLevelUnchanged)
{
    const CurveTable table = MakeCurveTable(DimmerCurve{});
    for (int level = 0; level < 256; ++level)
        ASSERT_EQ(table[level], level);
    EXPECT_TRUE(DimmerCurve{}.IsLinear());
    EXPECT_FALSE((DimmerCurve{CurveKind::Linear, 50, 99}.IsLinear()));
}

TEST(DimmerCurve, ThresholdAndLimitOutOfRangeAreNamed)
{
    EXPECT_TRUE(CheckCurve({CurveKind::Switch, 1, 0}).isEmpty());
    EXPECT_FALSE(CheckCurve({CurveKind::Switch, 0}).isEmpty());
    EXPECT_FALSE(CheckCurve({CurveKind::Switch, 101}).isEmpty());
    EXPECT_FALSE(CheckCurve({CurveKind::Linear, 50, 101}).isEmpty());
    EXPECT_FALSE(CheckCurve({CurveKind::Linear, 50, -1}).isEmpty());
    EXPECT_FALSE(CheckCurve({static_cast<CurveKind>(5)}).isEmpty());
}
