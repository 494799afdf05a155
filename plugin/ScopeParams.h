// The sixteen automatable parameters of the scope, in host index order.
#pragma once

class IPlugBase;

enum ScopeParam : int {
  kParamDomain = 0,
  kParamInput1 = 1,  // inputs 1..4 are consecutive
  kParamDelay1 = 5,  // delays 1..4 are consecutive
  kParamHold = 9,
  kParamFftSize = 10,
  kParamBlendSpeed = 11,
  kParamOpacity = 12,
  kParamXZoomLow = 13,
  kParamXZoomHigh = 14,
  kParamYZoom = 15,
  kNumScopeParams = 16,
};

enum ScopeDomain : int { kDomainTime = 0, kDomainFreq = 1, kDomainPhase = 2 };

constexpr int kScopeInputs = 4;
// "hold" at its maximum means the trigger is off.
constexpr double kHoldOffDb = 3.0;
// The smallest gap kept between "X zoom low" and "X zoom high".
constexpr double kMinXZoomGap = 0.001;

// Each domain's zoom when first shown and after a double click on the display:
// "X zoom low", "X zoom high" and "Y zoom". The parameters start at the time
// domain's.
struct DomainZoom {
  double low;
  double high;
  double y;
};
constexpr DomainZoom kDefaultZoom[3] = {{0.5, 1.0, 0.5}, {0.0, 0.75, 0.5}, {0.5, 1.0, 0.5}};

// Defines every parameter of the plug-in with its range, default, label and texts.
void DeclareScopeParams(IPlugBase& plug);
