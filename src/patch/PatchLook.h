#pragma once

#include <QColor>

// What the patch window shows: its texts, colours and geometry, in one place.
namespace orinsub::patch {

// Grid and header, in the grid's logical pixels.
inline constexpr int kGridWidth = 600;
inline constexpr int kGridPageHeight = 610;   // what ScrollToChannel counts as visible
inline constexpr int kGridFillHeight = 30720; // background height, and scroll height until laid out
inline constexpr int kScrollWidth = 500;
inline constexpr int kHeaderFillHeight = 200;
inline constexpr int kRuleX = 100;
inline constexpr int kRuleWidth = 2;
inline constexpr int kFirstBase = -20; // with one line step: the first line at y = 6
inline constexpr int kLineStep = 26;
inline constexpr int kChannelGap = 4;
inline constexpr int kDimmersPerLine = 10;
inline constexpr int kTextBoxHeight = 30;
inline constexpr int kSeparatorOffset = 23; // below a channel's last line
inline constexpr int kHeaderSeparatorY = 29;
inline constexpr double kGridPointSize = 12.0;
// The independent mark left of each console channel's number: a box, filled while the channel
// ignores the grand master and blackout; a click anywhere near it toggles it.
inline constexpr int kMarkLeft = 18;
inline constexpr int kMarkTop = 3; // below the line's top
inline constexpr int kMarkSize = 14;
inline constexpr int kMarkReach = 6; // how far around the box a click still counts
inline constexpr int kMarkCaptionLeft = 5;
inline constexpr int kMarkCaptionWidth = 40;

// Panes of the window, top to bottom: ideal and minimum heights, 1-pixel gaps.
inline constexpr int kHeaderPaneHeight = 30;
inline constexpr int kHeaderPaneMinimum = 10;
inline constexpr int kGridPaneHeight = 610;
inline constexpr int kGridPaneMinimum = 100;
inline constexpr int kEntryPaneHeight = 30;
inline constexpr int kEntryPaneMinimum = 20;
inline constexpr int kPaneGap = 1;
inline constexpr int kFrameX = 2;
inline constexpr int kFrameY = 2;
inline constexpr int kFrameWidth = 580;
inline constexpr int kFrameHeight = 760;

// The entry bar is laid out in dialog units of an 11-point font.
inline constexpr double kEntryPointSize = 11.0;

inline const QColor kBackground{0, 0, 0};
inline const QColor kRuleColour{255, 255, 127};
inline const QColor kCaptionColour{255, 255, 255};
inline const QColor kSelectedDimmerColour{127, 255, 127};
inline const QColor kDimmerColour{191, 191, 191};
inline const QColor kSeparatorColour{127, 127, 63};
inline const QColor kMarkFrameColour{127, 127, 127};
inline const QColor kIndependentColour{255, 200, 0}; // as the desk marks the channel

inline constexpr char kWindowTitle[] = "パッチ";
inline constexpr char kMenuTitle[] = "パッチ(&P)";
inline constexpr char kCloseItem[] = "閉じる(&W)";
inline constexpr char kOneToOneItem[] = "1対1パッチ(&D)...";
inline constexpr char kOneToOneQuestion[] = "パッチを1対1に初期化します。\nよろしいですか？";
inline constexpr char kOneToOneCaption[] = "パッチを1対1に初期化";
inline constexpr char kChannelCaption[] = "CH";
inline constexpr char kIndependentCaption[] = "独立";
inline constexpr char kDimmerCaption[] = "DIM";
inline constexpr char kSpareChannelLabel[] = "--";
inline constexpr char kPatchButton[] = "パッチ";

// The dimmer curves' window, opened from the patch window's menu.
inline constexpr char kCurveItem[] = "調光カーブ(&C)...";
inline constexpr char kCurveWindowTitle[] = "調光カーブ";
inline constexpr char kCurveDimmerColumn[] = "調光器";
inline constexpr char kCurveChannelColumn[] = "チャンネル";
inline constexpr char kCurveKindColumn[] = "カーブ";
inline constexpr char kCurveThresholdColumn[] = "しきい値";
inline constexpr char kCurveLimitColumn[] = "上限";
inline constexpr char kCurveApply[] = "選んだ調光器に設定(&S)";
inline constexpr int kCurveWindowWidth = 520;
inline constexpr int kCurveWindowHeight = 600;

} // namespace orinsub::patch
