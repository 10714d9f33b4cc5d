#pragma once

#include <QColor>
#include <QFont>

namespace orinsub::controls {

// Colours, fonts and knob artwork ids that the operator sees, in one place.

inline const QColor kPaneBackground(63, 63, 63);
inline const QColor kTickColor(127, 127, 127);
inline const QColor kScaleTextColor(127, 127, 127);
inline const QColor kLinkBarColor(191, 191, 191);

inline const QColor kGrooveEmpty(0, 0, 0);
inline const QColor kGrooveHasLevels(0, 127, 0);
inline const QColor kGrooveHeldElsewhere(127, 0, 0);
/// Where a surface fader stands that has not yet taken the console fader over.
inline const QColor kPickUpMarkColor(255, 160, 0);

// Knob artwork ids and what they show.
inline constexpr int kKnobChannel = 130;
inline constexpr int kKnobChannelSelected = 131;
inline constexpr int kKnobTenth = 132;
inline constexpr int kKnobTenthSelected = 133;
inline constexpr int kKnobCrossB = 135;
inline constexpr int kKnobCrossBLinked = 136;
inline constexpr int kKnobCrossBLinkedSelected = 137;
inline constexpr int kKnobCrossBSelected = 138;
inline constexpr int kKnobSubSelected = 139;
inline constexpr int kKnobSub = 140;
inline constexpr int kKnobCrossALinkedSelected = 141;
inline constexpr int kKnobCrossALinked = 142;
inline constexpr int kKnobCrossA = 143;
inline constexpr int kKnobCrossASelected = 3;

/// The console's font at a size in tenths of a point: a face that has the Japanese glyphs,
/// so captions and marks never show as boxes.
inline QFont ConsoleFont(int tenthsOfPoint)
{
    QFont font;
    font.setFamilies({QStringLiteral("VL Gothic"), QStringLiteral("VL PGothic")});
    font.setPointSizeF(tenthsOfPoint / 10.0);
    return font;
}

} // namespace orinsub::controls
