// The VST 2.4 dispatcher of IPlugVST: one handler per opcode, under the instance
// lock. Missing pointers, out-of-range indices and unknown opcodes return 0 and
// change nothing.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "iplug/IPlugVST.h"
#include "iplug/TextCopy.h"
#include "iplug/Trace.h"

using namespace vst;

namespace {

constexpr int32 kIdentifyMagic = FourCC('N', 'v', 'E', 'f');
constexpr int32 kChunkMagic = 0x70666674;  // the bytes "tffp"
constexpr int32 kChunkVersion = 0x00010000;
// No program or bank of a plug-in comes near this; larger claims are damaged input.
constexpr intptr kMaxChunkBytes = 16 * 1024 * 1024;

// Copies text into a host buffer of `size` bytes, always terminated.
void CopyToHost(void* ptr, const char* text, std::size_t size) {
  CopyText(static_cast<char*>(ptr), text, size);
}

}  // namespace

intptr VST_CALLBACK IPlugVST::VSTDispatcher(AEffect* effect, int32 opcode, int32 index,
                                            intptr value, void* ptr, float opt) {
  IPlugVST* plug = FromEffect(effect);
  if (plug == nullptr) return 0;
  ILock& lock = plug->Lock();
  lock.Enter();
  if (opcode == effEditIdle || opcode == effIdle) {
    lock.Leave();
    return 0;
  }
  TRACE_CALL("IPlugVST::VSTDispatcher", "%d(%s):%d:%d", opcode, "", index, static_cast<int>(value));
  if (opcode == effClose) {
    // The instance owns the lock: release it before the instance goes away.
    lock.Leave();
    // An editor drawing on a thread of its own stops before anything it reads is
    // destroyed. Hosts often close the instance with the editor still open.
    if (plug->Graphics() != nullptr) plug->Graphics()->ShutDownEditor();
    delete plug;
    return 0;
  }
  intptr result = 0;
  try {
    result = plug->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    // Out of memory growing a buffer, say: the call fails, the host never sees
    // an exception unwind through its frames.
    result = 0;
  }
  lock.Leave();
  return result;
}

intptr IPlugVST::Dispatch(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      HostReady();
      AnnounceAllParams();
      return 0;
    case effSetProgram:
      if (!UsesStateChunks()) StoreCurrentPreset(nullptr);
      // Values beyond int are not program numbers; RecallPreset refuses them.
      RecallPreset(value >= 0 && value < PresetCount() ? static_cast<int>(value) : -1);
      return 0;
    case effGetProgram:
      return CurrentPreset();
    case effSetProgramName:
      if (ptr != nullptr) {
        char name[Preset::kNameSize];
        CopyText(name, static_cast<const char*>(ptr), sizeof(name));
        StoreCurrentPreset(name);
      }
      return 0;
    case effGetProgramName:
      CopyToHost(ptr, PresetName(CurrentPreset()), kProgramNameSize);
      return 0;
    case effGetParamLabel:
      if (Param(index) != nullptr) CopyToHost(ptr, Param(index)->Label(), kParamStringSize);
      return 0;
    case effGetParamDisplay:
      if (Param(index) != nullptr && ptr != nullptr) {
        Param(index)->FormatForHost(static_cast<char*>(ptr), kParamStringSize);
      }
      return 0;
    case effGetParamName:
      if (Param(index) != nullptr) CopyToHost(ptr, Param(index)->Name(), kParamStringSize);
      return 0;
    case effSetSampleRate:
      SetSampleRate(opt);
      ResetState();
      return 0;
    case effSetBlockSize:
      if (value > 0) SetBlockSize(value > kMaxBlockSize ? kMaxBlockSize : static_cast<int>(value));
      ResetState();
      return 0;
    case effMainsChanged:
      Activate(value != 0);
      if (value == 0) ResetState();
      return 0;
    case effEditGetRect:
      if (Graphics() == nullptr) return 0;
      if (ptr != nullptr) *static_cast<ERect**>(ptr) = &editRect_;
      return 1;
    case effEditOpen:
      if (Graphics() == nullptr || Graphics()->OpenEditorWindow(ptr) == nullptr) return 0;
      EditorOpened();
      return 1;
    case effEditClose:
      if (Graphics() == nullptr) return 0;
      EditorClosed();
      Graphics()->CloseEditorWindow();
      return 1;
    case effIdentify:
      return kIdentifyMagic;
    case effGetChunk:
      return GetChunk(index, ptr);
    case effSetChunk:
      return SetChunk(index, value, ptr);
    case effProcessEvents:
      return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
      return 1;
    case effGetProgramNameIndexed:
      if (ptr == nullptr) return 0;
      CopyToHost(ptr, PresetName(index), kProgramNameSize);
      return static_cast<char*>(ptr)[0] != '\0' ? 1 : 0;
    case effGetInputProperties:
      return PinProperties(true, index, ptr);
    case effGetOutputProperties:
      return PinProperties(false, index, ptr);
    case effGetPlugCategory:
      return kPlugCategEffect;
    case effSetSpeakerArrangement:
      ApplySpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value), true);
      ApplySpeakerArrangement(static_cast<const VstSpeakerArrangement*>(ptr), false);
      return 1;
    case effGetEffectName:
      if (ptr == nullptr) return 0;
      CopyToHost(ptr, EffectName(), kEffectNameSize);
      return 1;
    case effGetVendorString:
      if (ptr == nullptr) return 0;
      CopyToHost(ptr, VendorName(), kVendorStringSize);
      return 1;
    case effGetProductString:
      if (ptr == nullptr) return 0;
      CopyToHost(ptr, ProductName(), kProductStringSize);
      return 1;
    case effVendorSpecific:
      // A host asks for the display text of a given normalised value.
      if (index != effGetParamDisplay || ptr == nullptr) return 0;
      if (value >= 0 && value < ParamCount()) {
        Param(static_cast<int>(value))
            ->FormatValue(opt, true, static_cast<char*>(ptr), kParamStringSize);
      }
      return 0xBEEF;
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName: {
      if (ptr == nullptr) return 0;
      auto* key = static_cast<MidiKeyName*>(ptr);
      std::memset(key->keyName, 0, sizeof(key->keyName));
      return NoteName(key->thisKeyNumber, key->keyName, sizeof(key->keyName)) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value != 0) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
      if (ptr != nullptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
      return 1;
    default:
      return 0;
  }
}

intptr IPlugVST::CanDo(const char* query) {
  if (query == nullptr) return 0;
  TRACE_CALL("IPlugVST::VSTDispatcher", "VSTCanDo(%s)", query);
  if (std::strcmp(query, "receiveVstTimeInfo") == 0) return 1;
  if (UsesMidi()) {
    for (const char* midi :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
      if (std::strcmp(query, midi) == 0) return 1;
    }
  }
  if (std::strcmp(query, "hasCockosExtensions") == 0) return 0xBEEF0000;
  if (std::strcmp(query, "hasCockosViewAsConfig") == 0) return 0xBEEF0000;
  return 0;
}

intptr IPlugVST::GetChunk(int32 index, void* ptr) {
  if (ptr == nullptr) return 0;
  const bool bank = index == 0;
  StateChunk& chunk = bank ? bankChunk_ : stateChunk_;
  chunk.Clear();
  bool ok = chunk.PutInt32(kChunkMagic) && chunk.PutInt32(kChunkVersion);
  if (ok && bank) {
    StoreCurrentPreset(nullptr);
    ok = SerializeBank(chunk);
  } else if (ok) {
    ok = SaveState(chunk);
  }
  if (!ok || chunk.Size() == 0) return 0;
  *static_cast<void**>(ptr) = chunk.Data();
  return chunk.Size();
}

intptr IPlugVST::SetChunk(int32 index, intptr size, const void* bytes) {
  if (bytes == nullptr || size < 0 || size > kMaxChunkBytes) return 0;
  const bool bank = index == 0;
  StateChunk& chunk = bank ? bankChunk_ : stateChunk_;
  // Hosts copying a state hand back the very buffer effGetChunk lent them (or a
  // part of it): read the bytes before the chunk's storage is given up.
  const auto at = reinterpret_cast<std::uintptr_t>(bytes);
  const auto own = reinterpret_cast<std::uintptr_t>(chunk.Data());
  const bool lentByUs = own != 0 && at >= own && at < own + std::uintptr_t(chunk.Capacity());
  if (lentByUs) {
    StateChunk copy;
    if (!copy.Append(bytes, static_cast<int>(size))) return 0;
    chunk.Clear();
    if (!chunk.Append(copy.Data(), copy.Size())) return 0;
  } else {
    chunk.Clear();
    if (!chunk.ResizeZeroFilled(static_cast<int>(size))) return 0;
    if (size > 0) std::memcpy(chunk.Data(), bytes, static_cast<std::size_t>(size));
  }

  int pos = 0;
  std::int32_t magic = 0;
  std::int32_t version = 0;
  if (chunk.GetInt32(&magic, 0) == 4 && magic == kChunkMagic) {
    pos = chunk.GetInt32(&version, 4);
    if (pos < 0) version = 0;
  }
  if (bank && version >= kChunkVersion) {
    pos = UnserializeBank(chunk, pos);
  } else if (pos >= 0) {
    pos = LoadState(chunk, pos);
    StoreCurrentPreset(nullptr);
  }
  if (pos < 0) return 0;
  PushParamsToGraphics();
  return 1;
}

intptr IPlugVST::ProcessEvents(const VstEvents* events) {
  if (events == nullptr) return 0;
  // The record declares two pointers but holds numEvents of them: read them
  // through a pointer, not as the declared array.
  VstEvent* const* list = events->events;
  for (int32 i = 0; i < events->numEvents; ++i) {
    VstEvent* event = list[i];
    if (event == nullptr) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      MidiMsg msg;
      msg.offset = midi->deltaFrames;
      msg.status = static_cast<std::uint8_t>(midi->midiData[0]);
      msg.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
      msg.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
      HandleMidi(msg);
    } else {
      VstEvents single{};
      single.numEvents = 1;
      single.events[0] = event;
      CallHost(audioMasterProcessEvents, 0, 0, &single);
    }
  }
  return 1;
}

intptr IPlugVST::PinProperties(bool input, int32 index, void* ptr) {
  const int count = input ? MaxInputs() : MaxOutputs();
  if (ptr == nullptr || index < 0 || index >= count) return 0;
  auto* pin = static_cast<VstPinProperties*>(ptr);
  std::snprintf(pin->label, sizeof(pin->label), input ? "Input %d" : "Output %d", index + 1);
  pin->flags = kVstPinIsActive;
  if (index % 2 == 0) pin->flags |= kVstPinIsStereo;
  return 1;
}

void IPlugVST::ApplySpeakerArrangement(const VstSpeakerArrangement* arrangement, bool input) {
  if (arrangement == nullptr) return;
  const int max = input ? MaxInputs() : MaxOutputs();
  int n = arrangement->numChannels;
  if (n < 0) n = 0;
  if (n > max) n = max;
  if (input) {
    SetInputConnections(0, n, true);
    SetInputConnections(n, max - n, false);
  } else {
    SetOutputConnections(0, n, true);
    SetOutputConnections(n, max - n, false);
  }
}
