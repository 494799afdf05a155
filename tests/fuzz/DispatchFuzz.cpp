// A host run written by the fuzzer: dispatcher calls with arbitrary index, value
// and float arguments, and with pointers to buffers of arbitrary bytes wherever
// the interface takes a pointer, interleaved with the three process calls,
// parameter calls and the editor's timer and mouse. The plug-in must neither
// crash nor break its invariants: parameters stay normalised, finite input gives
// finite output.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "iplug/IPlugVST.h"
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

constexpr int kBuffer = 4096;
constexpr int kMaxEvents = 8;
constexpr int kMaxFrames = 4096;

// Everything a host lends the plug-in for one call.
struct HostMemory {
  alignas(16) std::array<std::uint8_t, kBuffer> bytes{};
  vst::VstSpeakerArrangement in{}, out{};
  vst::VstSpeakerArrangement* inSlot = nullptr;
  vst::VstSpeakerArrangement* outSlot = nullptr;
  vst::VstMidiEvent events[kMaxEvents]{};
  // A VstEvents record with room for kMaxEvents pointers.
  struct {
    vst::int32 numEvents;
    vst::intptr reserved;
    vst::VstEvent* events[kMaxEvents];
  } list{};
};

class Run {
 public:
  explicit Run(FuzzInput& in) : in_(in) { Create(); }
  ~Run() { Close(); }

  void Step() {
    switch (in_.Byte() % 9) {
      case 0:
      case 1:
        Dispatch();
        break;
      case 2:
      case 3:
        Process();
        break;
      case 4:
        effect_->setParameter(effect_, static_cast<vst::int32>(in_.Range(-2, 18)), in_.Float());
        break;
      case 5:
        effect_->getParameter(effect_, static_cast<vst::int32>(in_.Range(-2, 18)));
        break;
      case 6:
        Editor();
        break;
      case 7:
        Chunk();
        break;
      default:
        if (in_.Byte() == 0xFF) {  // now and then the host closes and starts again
          Close();
          Create();
        }
        break;
    }
    CheckParameters(effect_);
  }

 private:
  void Create() {
    effect_ = VSTPluginMain(&QuietHostCallback);
    FuzzCheck(effect_ != nullptr, "no instance");
    Call(effect_, vst::effOpen);
  }

  void Close() {
    if (effect_ == nullptr) return;
    Call(effect_, vst::effClose);
    effect_ = nullptr;
  }

  // Bytes of the input as a string the plug-in may read (always terminated).
  char* Text(HostMemory& m) {
    const std::size_t n = in_.Range(0, 80);
    in_.Take(m.bytes.data(), n);
    m.bytes[n] = 0;
    return reinterpret_cast<char*>(m.bytes.data());
  }

  void Dispatch() {
    static const vst::int32 kOpcodes[] = {vst::effOpen,
                                          vst::effSetProgram,
                                          vst::effGetProgram,
                                          vst::effSetProgramName,
                                          vst::effGetProgramName,
                                          vst::effGetParamLabel,
                                          vst::effGetParamDisplay,
                                          vst::effGetParamName,
                                          vst::effSetSampleRate,
                                          vst::effSetBlockSize,
                                          vst::effMainsChanged,
                                          vst::effEditGetRect,
                                          vst::effEditOpen,
                                          vst::effEditClose,
                                          vst::effEditIdle,
                                          vst::effIdentify,
                                          vst::effGetChunk,
                                          vst::effProcessEvents,
                                          vst::effCanBeAutomated,
                                          vst::effGetProgramNameIndexed,
                                          vst::effGetInputProperties,
                                          vst::effGetOutputProperties,
                                          vst::effGetPlugCategory,
                                          vst::effSetSpeakerArrangement,
                                          vst::effGetEffectName,
                                          vst::effGetVendorString,
                                          vst::effGetProductString,
                                          vst::effGetVendorVersion,
                                          vst::effVendorSpecific,
                                          vst::effCanDo,
                                          vst::effIdle,
                                          vst::effGetParameterProperties,
                                          vst::effGetVstVersion,
                                          vst::effGetMidiKeyName,
                                          vst::effStartProcess,
                                          vst::effStopProcess,
                                          vst::effGetSpeakerArrangement};
    const std::uint8_t pick = in_.Byte();
    vst::int32 opcode = pick < sizeof(kOpcodes) / sizeof(kOpcodes[0])
                            ? kOpcodes[pick]
                            : static_cast<vst::int32>(in_.Range(-4, 100));
    if (opcode == vst::effClose) opcode = vst::effIdle;  // closing is a step of its own
    const auto index =
        in_.Bool() ? static_cast<vst::int32>(in_.Range(-2, 20)) : in_.Raw<vst::int32>();
    vst::intptr value = in_.Bool() ? static_cast<vst::intptr>(in_.Range(-2, 70000))
                                   : static_cast<vst::intptr>(in_.Raw<std::int32_t>());
    const float opt = in_.Float();
    HostMemory m;
    const std::size_t filled = in_.Take(m.bytes.data(), in_.Range(0, 64));
    void* ptr = in_.Byte() % 8 == 0 ? nullptr : m.bytes.data();
    // Wherever the interface makes an argument a pointer or a size, it is one a
    // host could really pass; everything else stays arbitrary.
    switch (opcode) {
      case vst::effSetChunk:
        value = static_cast<vst::intptr>(in_.Range(0, static_cast<std::int64_t>(filled)));
        break;
      case vst::effEditOpen:
        ptr = nullptr;  // the headless editor: a parent would be a real window
        break;
      case vst::effSetProgramName:
      case vst::effCanDo:
        if (ptr != nullptr) ptr = Text(m);
        break;
      case vst::effProcessEvents:
        if (ptr != nullptr) ptr = Events(m);
        break;
      case vst::effSetSpeakerArrangement:
        m.in.numChannels = static_cast<vst::int32>(in_.Range(-2, 40));
        m.out.numChannels = static_cast<vst::int32>(in_.Range(-2, 40));
        value = in_.Bool() ? reinterpret_cast<vst::intptr>(&m.in) : 0;
        ptr = in_.Bool() ? &m.out : nullptr;
        break;
      case vst::effGetSpeakerArrangement:
        value = in_.Bool() ? reinterpret_cast<vst::intptr>(&m.inSlot) : 0;
        ptr = in_.Bool() ? &m.outSlot : nullptr;
        break;
      default:
        break;
    }
    Call(effect_, opcode, index, value, ptr, opt);
  }

  void* Events(HostMemory& m) {
    const int n = static_cast<int>(in_.Range(0, kMaxEvents));
    m.list.numEvents = n;
    for (int i = 0; i < n; ++i) {
      vst::VstMidiEvent& e = m.events[i];
      in_.Take(&e, sizeof e);
      e.byteSize = sizeof e;
      if (in_.Bool()) e.type = vst::kVstMidiType;
      m.list.events[i] = in_.Byte() % 8 == 0 ? nullptr : reinterpret_cast<vst::VstEvent*>(&e);
    }
    return &m.list;
  }

  void Chunk() {
    const vst::int32 kind = in_.Bool() ? 0 : 1;
    if (in_.Bool()) {
      void* lent = nullptr;
      const vst::intptr size = Call(effect_, vst::effGetChunk, kind, 0, &lent);
      // Handing back (part of) the lent buffer, as hosts copying a state do.
      if (size > 0 && in_.Bool()) {
        const vst::intptr part = in_.Range(0, size);
        Call(effect_, vst::effSetChunk, kind, part, lent);
      }
      return;
    }
    HostMemory m;
    const std::size_t n = in_.Take(m.bytes.data(), in_.Range(0, 300));
    if (n >= 8 && in_.Bool()) std::memcpy(m.bytes.data(), "tffp\0\0\1\0", 8);
    Call(effect_, vst::effSetChunk, kind, static_cast<vst::intptr>(n), m.bytes.data());
  }

  void Process() {
    const int mode = in_.Byte() % 3;
    int frames = static_cast<int>(in_.Range(0, 600));
    if (in_.Byte() == 0xFF) frames = static_cast<int>(in_.Range(0, kMaxFrames));
    const bool finite = in_.Byte() % 4 != 0;
    const int nIn = effect_->numInputs;
    const int nOut = effect_->numOutputs;
    std::vector<std::vector<double>> in(static_cast<std::size_t>(nIn)),
        out(static_cast<std::size_t>(nOut));
    for (auto& channel : in) {
      channel.resize(static_cast<std::size_t>(frames));
      const float level = finite ? in_.Float() : 0.0f;
      for (int i = 0; i < frames; ++i) {
        const float s =
            finite ? (std::isfinite(level) ? level : 0.5f) * std::sin(0.01f * i) : in_.Float();
        channel[static_cast<std::size_t>(i)] = s;
      }
    }
    for (auto& channel : out) channel.assign(static_cast<std::size_t>(frames), 0.0);
    if (mode == 2) {
      std::vector<double*> ins, outs;
      for (auto& c : in) ins.push_back(c.data());
      for (auto& c : out) outs.push_back(c.data());
      effect_->processDoubleReplacing(effect_, ins.data(), outs.data(), frames);
      for (auto& c : out)
        for (double v : c) FuzzCheck(!finite || std::isfinite(v), "non-finite output");
      return;
    }
    std::vector<std::vector<float>> fin(in.size()), fout(out.size());
    std::vector<float*> ins, outs;
    for (std::size_t c = 0; c < in.size(); ++c) {
      fin[c].assign(in[c].begin(), in[c].end());
      ins.push_back(fin[c].data());
    }
    for (auto& c : fout) {
      c.assign(static_cast<std::size_t>(frames), 0.0f);
      outs.push_back(c.data());
    }
    if (mode == 0) {
      effect_->processReplacing(effect_, ins.data(), outs.data(), frames);
    } else {
      effect_->process(effect_, ins.data(), outs.data(), frames);
    }
    for (auto& c : fout)
      for (float v : c) FuzzCheck(!finite || std::isfinite(v), "non-finite output");
  }

  void Editor() {
    auto* plug = IPlugVST::FromEffect(effect_);
    auto* g = dynamic_cast<IGraphicsOffscreen*>(plug->Graphics());
    if (g == nullptr) return;
    const int x = static_cast<int>(in_.Range(-10, 740));
    const int y = static_cast<int>(in_.Range(-10, 540));
    const std::uint8_t flags = in_.Byte();
    const IMouseFlags mod{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0,
                          false};
    switch (in_.Byte() % 9) {
      case 0:
        g->Press(x, y, mod);
        break;
      case 1:
        g->Release(x, y, mod);
        break;
      case 2:
        g->Move(x, y, mod);
        break;
      case 3:
        g->DoubleClick(x, y, mod);
        break;
      case 4:
        g->Wheel(x, y, mod, static_cast<int>(in_.Range(-600, 600)));
        break;
      case 5:
        g->Leave();
        break;
      case 6:
        if (g->IsValueEntryOpen()) {
          HostMemory m;
          g->TypeValueEntry(Text(m));
        }
        break;
      default:
        g->Tick();
        break;
    }
  }

  FuzzInput& in_;
  vst::AEffect* effect_ = nullptr;
};

}  // namespace

void FuzzDispatcher(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  Run run(in);
  // A bounded number of steps per input keeps every run short.
  for (int step = 0; step < 200 && !in.Empty(); ++step) run.Step();
}
