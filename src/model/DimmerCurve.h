#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace orinsub::model {

/// How a dimmer answers its level. Linear passes the level as it is, so a show without curves
/// sends what it always sent. The power laws spend more of the fader's travel low down, where
/// a lamp's light changes most: square law, and the two hall curves of the Japanese standard,
/// A (drama, 2.7 to 3.0) and B (multi-purpose halls, 2.0 to 2.3), each at the middle of its
/// range. Switch (non-dim, for practicals) is full from its threshold up and 0 below.
enum class CurveKind : uint8_t { Linear = 0, Square = 1, HallA = 2, HallB = 3, Switch = 4 };

inline constexpr double kHallAExponent = 2.85;
inline constexpr double kHallBExponent = 2.15;
inline constexpr int kDefaultSwitchThreshold = 50; // percent

/// One dimmer's curve: its kind, the switch's threshold and the top limit (the proportional
/// patch: the dimmer never goes above limit percent of full).
struct DimmerCurve
{
    CurveKind kind = CurveKind::Linear;
    int thresholdPercent = kDefaultSwitchThreshold; // 1..100, Switch only
    int limitPercent = 100;                         // 0..100

    bool IsLinear() const { return *this == DimmerCurve{}; }
    bool operator==(const DimmerCurve &) const = default;
};

/// What a dimmer sends for each level 0..255.
using CurveTable = std::array<uint8_t, 256>;

/// The curve worked out once for every level, so the link tick only looks levels up.
CurveTable MakeCurveTable(const DimmerCurve &curve);

/// What is wrong with curve (threshold or limit out of range), in Japanese; empty when nothing.
QString CheckCurve(const DimmerCurve &curve);

/// The operator's name of a kind: "直線", "二乗", "JATET A", "JATET B", "非調光".
QString CurveKindName(CurveKind kind);

} // namespace orinsub::model
