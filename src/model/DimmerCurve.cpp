#include "DimmerCurve.h"

#include "CurveTexts.h"

#include <cmath>

namespace orinsub::model {

namespace {

double Exponent(CurveKind kind)
{
    switch (kind) {
    case CurveKind::Square:
        return 2.0;
    case CurveKind::HallA:
        return kHallAExponent;
    case CurveKind::HallB:
        return kHallBExponent;
    case CurveKind::Linear:
    case CurveKind::Switch:
        break;
    }
    return 1.0;
}

/// The level as a share of full (0..1) before the limit.
double Answer(const DimmerCurve &curve, int level)
{
    if (curve.kind == CurveKind::Switch)
        return level * 100 >= curve.thresholdPercent * 255 ? 1.0 : 0.0;
    return std::pow(level / 255.0, Exponent(curve.kind));
}

} // namespace

CurveTable MakeCurveTable(const DimmerCurve &curve)
{
    CurveTable table{};
    for (int level = 0; level < 256; ++level) {
        const double out = Answer(curve, level) * 255.0 * curve.limitPercent / 100.0;
        table[level] = static_cast<uint8_t>(std::lround(out));
    }
    return table;
}

QString CheckCurve(const DimmerCurve &curve)
{
    if (curve.kind > CurveKind::Switch)
        return texts::kCurveUnknown.toString();
    if (curve.thresholdPercent < 1 || curve.thresholdPercent > 100)
        return texts::kCurveThreshold.toString();
    if (curve.limitPercent < 0 || curve.limitPercent > 100)
        return texts::kCurveLimit.toString();
    return {};
}

QString CurveKindName(CurveKind kind)
{
    switch (kind) {
    case CurveKind::Linear:
        return texts::kCurveLinear.toString();
    case CurveKind::Square:
        return texts::kCurveSquare.toString();
    case CurveKind::HallA:
        return texts::kCurveHallA.toString();
    case CurveKind::HallB:
        return texts::kCurveHallB.toString();
    case CurveKind::Switch:
        break;
    }
    return texts::kCurveSwitch.toString();
}

} // namespace orinsub::model
