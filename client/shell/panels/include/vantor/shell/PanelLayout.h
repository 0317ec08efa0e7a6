#pragma once
// The button panel's pictures and where they sit. Pictures keep the numbers
// the controllers' documentation and the other panels use for them (154 on,
// 155 off, ...); the hit tests depend on the positions (range bands of 30
// pixels from the panel's top, the intensity's middle at x = 124, the
// channel strip's button edges).

#include <QRect>
#include <QSize>

#include <array>
#include <optional>

namespace vantor::shell::panel {

// --- Pictures ------------------------------------------------------------
inline constexpr int kPictureOn = 154;
inline constexpr int kPictureOff = 155;
inline constexpr int kPictureBackground = 156;
inline constexpr int kPictureDecoration = 141;
inline constexpr int kPictureQuit = 211;
inline constexpr int kFirstMetricRangePicture = 1033;   // 1033 ... 1040: 2 ... 300 km
inline constexpr int kFirstNauticalRangePicture = 133;  // 133 ... 140: the same ranges in nautical miles
inline constexpr int kFirstIntensityPicture = 224;      // 224 ... 227
inline constexpr int kIntensityPictureBase = 223;       // picture = base + step (1 ... 4)
inline constexpr int kPictureTalkReleased = 228;
inline constexpr int kPictureTalkPressed = 229;
inline constexpr int kPictureUnitsNautical = 231;
inline constexpr int kPictureUnitsMetric = 232;
// The channel strip with button 1 ... 6 lit.
inline constexpr std::array<int, 6> kStripPictures{149, 150, 151, 148, 222, 223};

inline int PictureFor(bool on) { return on ? kPictureOn : kPictureOff; }

// --- Range bands ---------------------------------------------------------
inline constexpr int kRangeBandHeight = 30;
inline constexpr std::array<unsigned, 8> kRangeBandsKm{2, 5, 10, 20, 50, 100, 200, 300};
// The last band that may be chosen in ATC mode (50 km).
inline constexpr int kLastAtcRangeBand = 5;
// The range picture of a band range (metric or nautical), nullopt for any
// other range.
std::optional<int> RangePicture(unsigned rangeKm, bool nautical);
// The band (1 ... 8) a click at panel height y falls in; nullopt outside.
std::optional<int> RangeBandAt(int y);

// --- Channel strip -------------------------------------------------------
// Right edges of buttons 1 ... 6, as x offsets from the strip's left edge.
inline constexpr std::array<int, 6> kStripButtonRightEdges{37, 71, 104, 135, 166, 203};
// The button (1 ... 6) under x offset `x`; nullopt left of the strip and
// beyond 203.
std::optional<int> StripButtonAt(int x);

// --- Intensity -----------------------------------------------------------
// A click right of this panel x brightens, at it or left of it darkens.
inline constexpr int kIntensitySplitX = 124;
inline constexpr int kIntensityStepLimit = 10;
inline constexpr int kIntensityMax = 250;

// --- Places --------------------------------------------------------------
inline constexpr QSize kPanelSize{280, 408};
inline constexpr QRect kRangeRect{8, 30, 60, 240};  // top at the first band
inline constexpr QRect kDecorationRect{80, 4, 192, 22};
// The toggles' switches, each with its caption to the right.
inline constexpr QRect kAtcRect{80, 32, 40, 20};
inline constexpr QRect kLabelsRect{80, 58, 40, 20};
inline constexpr QRect kCoastRect{80, 84, 40, 20};
inline constexpr QRect kRingsRect{80, 110, 40, 20};
inline constexpr QRect kCoverageRect{80, 136, 40, 20};
inline constexpr QRect kDrawingRect{80, 162, 40, 20};
inline constexpr QRect kSettingsRect{80, 188, 40, 20};
inline constexpr QRect kIntensityRect{80, 230, 88, 40};  // its middle is kIntensitySplitX
inline constexpr QRect kUnitsRect{184, 230, 88, 40};
inline constexpr QRect kStripRect{8, 298, 204, 40};
inline constexpr QRect kQuitRect{224, 298, 48, 40};
inline constexpr QRect kTalkRect{8, 346, 264, 56};
// Where a toggle's caption is written (the ATC one is the live label).
QRect CaptionRect(const QRect& toggle);
// Captions above the picture groups.
inline constexpr QRect kRangeCaptionRect{8, 8, 60, 16};
inline constexpr QRect kIntensityCaptionRect{80, 214, 88, 14};
inline constexpr QRect kUnitsCaptionRect{184, 214, 88, 14};
inline constexpr QRect kStripCaptionRect{8, 282, 204, 14};
inline constexpr QRect kQuitCaptionRect{224, 282, 48, 14};

}  // namespace vantor::shell::panel
