// Where everything of the editor sits: the window, every control's rectangle or
// position, the knobs' sweep and the inputs' colours. The editor's construction
// places its controls with these, and the image generator draws the background
// around them, so the two always agree. Boxes: left, top, right, bottom, with
// right and bottom exclusive.
#pragma once

#include <numbers>

#include "graphics/IBox.h"
#include "graphics/IRgba.h"

namespace panel {

constexpr int kWidth = 724;
constexpr int kHeight = 526;

// The display and what lies over it.
constexpr IBox kDisplay{80, 56, 618, 362};
constexpr IBox kHorizontalAxis{80, 41, 618, 362};  // its labels in the 15 rows above
constexpr IBox kVerticalAxis{80, 56, 650, 362};    // its labels in the 32 columns right
constexpr IBox kHoldStrip{80, 49, 679, 369};

// Texts under the display.
constexpr IBox kLeftTimeLabel{80, 368, 210, 380};
constexpr IBox kWindowLabel{300, 368, 430, 380};
constexpr IBox kRightTimeLabel{490, 368, 620, 380};
constexpr IBox kZoomCaption{44, 385, 74, 397};
constexpr IBox kVersion{656, 484, 690, 499};

// The zoom controls and the freeze button.
constexpr int kZoomBarX = 82;
constexpr int kZoomBarY = 383;
constexpr int kZoomBarLength = 536;
constexpr IBox kZoomBar{kZoomBarX, kZoomBarY, kZoomBarX + kZoomBarLength, 399};
constexpr int kYZoomX = 52;
constexpr int kYZoomY = 58;
constexpr int kYZoomLength = 305;
constexpr IBox kYZoomSlider{kYZoomX, kYZoomY, kYZoomX + 16, kYZoomY + kYZoomLength};
constexpr IBox kFreeze{625, 384, 681, 398};
constexpr IBox kLogo{609, 442, 699, 499};  // the manual link

// Image sizes.
constexpr int kKnobLine = 31;
constexpr int kBigKnob = 43;
constexpr int kSwitch = 27;
constexpr int kBarHandle = 16;
constexpr int kHoldHandle = 15;

// Every rotating knob turns from -135 to +135 degrees, four times finer than the
// mouse moves.
constexpr double kKnobSweep = 0.75 * std::numbers::pi;
constexpr double kKnobGearing = 4.0;

struct Point {
  int x = 0;
  int y = 0;
};
// A rotating knob at (x, y) spins its 31 x 31 image about the pixel
// (x + 15, y + 15): its rectangle's integer centre.
constexpr Point KnobCentre(int x, int y) { return Point{x + kKnobLine / 2, y + kKnobLine / 2}; }

constexpr Point kDomainKnob{47, 452};
constexpr Point kFftKnob{460, 452};
constexpr Point kBlendKnob{508, 452};
constexpr Point kOpacityKnob{556, 452};
constexpr Point kFftBody{453, 448};  // big knob bitmaps drawn by controls
constexpr Point kBlendBody{501, 448};

constexpr IBox kDomainValue{43, 409, 83, 421};
constexpr IBox kFftValue{456, 409, 496, 421};
constexpr IBox kBlendValue{504, 409, 544, 421};
constexpr IBox kOpacityValue{552, 409, 592, 421};

// Input column n (1..4).
constexpr int ColumnC(int n) { return 170 + 89 * (n - 1); }
constexpr Point DelayKnob(int n) { return Point{ColumnC(n) - 68, 452}; }
constexpr Point InputSwitch(int n) { return Point{ColumnC(n) - 21, 463}; }
constexpr IBox DelayText(int n) { return IBox{ColumnC(n) - 65, 409, ColumnC(n) - 35, 421}; }
constexpr IBox LevelText(int n) { return IBox{ColumnC(n) - 30, 409, ColumnC(n), 421}; }

// The inputs' colours: white, red, green, blue.
constexpr IRgba kInputColour[4] = {
    {255, 255, 255, 255}, {255, 221, 32, 32}, {255, 32, 185, 93}, {255, 32, 128, 216}};

}  // namespace panel
