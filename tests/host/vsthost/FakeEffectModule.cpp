// Small VST 2 modules for the host's module tests, one per build variant:
//   FAKE_RETURNS_NULL  - VSTPluginMain returns no effect
//   FAKE_BAD_MAGIC     - VSTPluginMain returns a record without the VST magic
//   FAKE_NO_ENTRY      - a library that exports no entry point at all
//   (neither)          - a working 2-in/2-out gain effect exported only as "main",
//                        as plug-ins older than VST 2.4 are
// The working one identifies the host at effOpen and reports an automation gesture,
// so the host's callback answers and its record can be checked from the command line.
#include <cstring>

#include "iplug/VstAbi.h"

namespace {

using namespace vst;

struct Fake {
  AEffect effect{};
  HostCallback host = nullptr;
  float gain = 0.5f;  // normalised; the audio gain is twice this, so 0.5 passes audio unchanged
};

Fake* Self(AEffect* e) { return static_cast<Fake*>(e->object); }

void CopyOut(void* ptr, const char* text, std::size_t size) {
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, size - 1);
  static_cast<char*>(ptr)[size - 1] = 0;
}

void IdentifyHost(Fake* f) {
  char product[256] = {};
  f->host(&f->effect, audioMasterGetProductString, 0, 0, product, 0.0f);
  if (product[0]) f->host(&f->effect, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
  // One automation gesture on parameter 0, as an editor would send it.
  f->host(&f->effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
  f->host(&f->effect, audioMasterAutomate, 0, 0, nullptr, f->gain);
  f->host(&f->effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
}

intptr VST_CALLBACK Dispatch(AEffect* e, int32 op, int32 index, intptr value, void* ptr, float) {
  Fake* f = Self(e);
  switch (op) {
    case effOpen:
      IdentifyHost(f);
      return 0;
    case effClose:
      delete f;
      return 0;
    case effGetParamName:
      if (index == 0) CopyOut(ptr, "gain", 64);
      return 0;
    case effGetParamLabel:
      if (index == 0) CopyOut(ptr, "x", 64);
      return 0;
    case effGetParamDisplay:
      if (index == 0) CopyOut(ptr, f->gain == 0.5f ? "unity" : "other", 64);
      return 0;
    case effGetEffectName:
      CopyOut(ptr, "FakeGain", 32);
      return 1;
    case effGetVendorString:
      CopyOut(ptr, "Fixture", 64);
      return 1;
    case effGetProgramNameIndexed:
      CopyOut(ptr, index == 0 ? "Only" : "", 24);
      return index == 0;
    case effGetVstVersion:
      return 2400;
    case effGetChunk:
      *static_cast<void**>(ptr) = &f->gain;
      return sizeof(float);
    case effSetChunk:
      if (value != sizeof(float) || !ptr) return 0;
      std::memcpy(&f->gain, ptr, sizeof(float));
      return 1;
    default:
      return 0;
  }
}

template <typename Sample, bool kAdd>
void Run(AEffect* e, Sample** in, Sample** out, int32 frames) {
  const Sample g = Sample(2.0f * Self(e)->gain);
  for (int c = 0; c < 2; ++c)
    for (int32 i = 0; i < frames; ++i) out[c][i] = (kAdd ? out[c][i] : Sample(0)) + in[c][i] * g;
}

void VST_CALLBACK ProcessAdd(AEffect* e, float** in, float** out, int32 n) {
  Run<float, true>(e, in, out, n);
}
void VST_CALLBACK ProcessReplace(AEffect* e, float** in, float** out, int32 n) {
  Run<float, false>(e, in, out, n);
}
void VST_CALLBACK ProcessDouble(AEffect* e, double** in, double** out, int32 n) {
  Run<double, false>(e, in, out, n);
}
void VST_CALLBACK SetParam(AEffect* e, int32 index, float v) {
  if (index == 0) Self(e)->gain = v;
}
float VST_CALLBACK GetParam(AEffect* e, int32 index) { return index == 0 ? Self(e)->gain : 0.0f; }

// The working gain effect; the broken variants below do not use it.
[[maybe_unused]] AEffect* Create(HostCallback host) {
  Fake* f = new Fake;
  f->host = host;
  AEffect& e = f->effect;
  e.magic = kEffectMagic;
  e.dispatcher = Dispatch;
  e.process = ProcessAdd;
  e.processReplacing = ProcessReplace;
  e.processDoubleReplacing = ProcessDouble;
  e.setParameter = SetParam;
  e.getParameter = GetParam;
  e.numPrograms = 1;
  e.numParams = 1;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
  e.ioRatio = 1.0f;
  e.object = f;
  e.uniqueID = FourCC('F', 'k', 'G', 'n');
  e.version = 1;
  return &e;
}

}  // namespace

#if defined(FAKE_NO_ENTRY)
extern "C" __attribute__((visibility("default"))) int NotAnEntry() { return 0; }
#elif defined(FAKE_RETURNS_NULL)
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(HostCallback) {
  return nullptr;
}
#elif defined(FAKE_BAD_MAGIC)
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(HostCallback) {
  static AEffect junk{};
  junk.magic = 0x12345678;
  return &junk;
}
#else
// Exported under the old entry name only; C++ forbids declaring main this way, so the
// symbol name is given to the assembler directly.
extern "C" __attribute__((visibility("default"))) AEffect* FakeOldEntry(HostCallback host) __asm__(
    "main");
extern "C" AEffect* FakeOldEntry(HostCallback host) { return Create(host); }
#endif
