#include "plugin/ScopeParams.h"

#include <cstdio>

#include "iplug/IPlugBase.h"

void DeclareScopeParams(IPlugBase& plug) {
  IPlugParam* domain = plug.Param(kParamDomain);
  domain->DefineEnum("domain", kDomainTime, 3);
  domain->AddValueText(0, "time");
  domain->AddValueText(1, "freq");
  domain->AddValueText(2, "phase");

  for (int n = 0; n < 4; ++n) {
    char name[16];
    std::snprintf(name, sizeof(name), "input %d", n + 1);
    plug.Param(kParamInput1 + n)->DefineBool(name, n < 2);  // inputs 1 and 2 start on
  }
  for (int n = 0; n < 4; ++n) {
    char name[16];
    std::snprintf(name, sizeof(name), "delay %d", n + 1);
    IPlugParam* delay = plug.Param(kParamDelay1 + n);
    delay->DefineDouble(name, 0.0, 0.0, 500.0, 0.1, "ms");
    delay->SetCurve(2.0);  // finer control of short delays
  }
  plug.Param(kParamHold)->DefineDouble("hold", kHoldOffDb, -30.0, kHoldOffDb, 0.1, "dB");

  IPlugParam* fftSize = plug.Param(kParamFftSize);
  fftSize->DefineEnum("fft size", 4, 7);
  const char* sizes[] = {"256", "512", "1024", "2048", "4096", "8192", "16384"};
  for (int i = 0; i < 7; ++i) fftSize->AddValueText(i, sizes[i]);

  plug.Param(kParamBlendSpeed)->DefineDouble("blend speed", 0.5, 0.1, 1.0, 0.1);
  plug.Param(kParamOpacity)->DefineDouble("opacity", 0.75, 0.0, 1.0, 0.01);
  const DomainZoom& zoom = kDefaultZoom[kDomainTime];
  plug.Param(kParamXZoomLow)->DefineDouble("X zoom low", zoom.low, 0.0, 1.0, 0.01);
  plug.Param(kParamXZoomHigh)->DefineDouble("X zoom high", zoom.high, 0.0, 1.0, 0.01);
  plug.Param(kParamYZoom)->DefineDouble("Y zoom", zoom.y, 0.0, 1.0, 0.01);
}
