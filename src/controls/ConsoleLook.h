#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace orinsub::controls {

// Colours, fonts, captions and knob artwork ids that the operator sees, in one place.

inline const QColor kPaneBackground(63, 63, 63);
inline const QColor kTickColor(127, 127, 127);
inline const QColor kScaleTextColor(127, 127, 127);
inline const QColor kLinkBarColor(191, 191, 191);

inline const QColor kGrooveEmpty(0, 0, 0);
inline const QColor kGrooveHasLevels(0, 127, 0);
inline const QColor kGrooveHeldElsewhere(127, 0, 0);
/// Where a surface fader stands that has not yet taken the console fader over.
inline const QColor kPickUpMarkColor(255, 160, 0);
/// The number of a channel that the grand master and blackout leave alone (a work light).
inline const QColor kIndependentMarkColor(255, 200, 0);

// The sub-masters' flash buttons: grey while free, lit while held (orange in solo mode, where
// a press darkens the rest of the desk).
inline const QColor kFlashButtonFree(95, 95, 95);
inline const QColor kFlashLit(255, 255, 159);
inline const QColor kSoloLit(255, 127, 63);
inline const QColor kFlashCaptionFree(191, 191, 191);
inline const QColor kFlashCaptionLit(0, 0, 0);
inline const QColor kFlashBevel(159, 159, 159);
inline constexpr int kFlashCaptionPointSize = 80; // tenths of a point
inline const QString kFlashCaption = QStringLiteral("FLASH");
inline const QString kSoloCaption = QStringLiteral("SOLO");

// The live controls beside the crossfader: GO lights green while its fade runs, the blackout
// button flashes red while the stage is dark.
inline const QColor kGoLit(0, 191, 0);
inline const QColor kBlackoutLit(255, 47, 47);
inline const QColor kFadeTimeColor(255, 255, 0);
inline const QColor kLiveCaptionColor(191, 191, 191);
inline constexpr int kLiveButtonPointSize = 120; // tenths of a point
inline const QString kGoCaption = QStringLiteral("GO");
inline const QString kBlackoutCaption = QStringLiteral("BO");
inline const QString kGrandMasterCaption = QStringLiteral("GM");

// A sub-master's label while its chase runs: the speed over the foot of the name box.
inline const QColor kBadgeBackground(0, 0, 0);
inline const QColor kBadgeColor(255, 191, 0);
inline constexpr int kBadgePointSize = 70; // tenths of a point

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
