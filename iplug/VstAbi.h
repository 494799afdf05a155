// The VST 2.4 binary interface: records, function types, opcodes and flags,
// declared from the published interface so that no third-party header is needed.
// Every record is a plain C struct with the platform's default alignment.
#pragma once

#include <cstddef>
#include <cstdint>

// Calling convention of every function pointer and entry (C on Windows), and the
// marker that keeps the entry points visible in a module built with hidden symbols
// (the Windows DLL exports through its .def file instead).
#if defined(_WIN32)
#define VST_CALLBACK __cdecl
#define VST_EXPORT
#else
#define VST_CALLBACK
#define VST_EXPORT __attribute__((visibility("default")))
#endif

namespace vst {

using intptr = std::intptr_t;
using int32 = std::int32_t;
using int16 = std::int16_t;

struct AEffect;

using HostCallback = intptr(VST_CALLBACK*)(AEffect* effect, int32 opcode, int32 index, intptr value,
                                           void* ptr, float opt);
using DispatcherProc = intptr(VST_CALLBACK*)(AEffect* effect, int32 opcode, int32 index,
                                             intptr value, void* ptr, float opt);
using ProcessProc = void(VST_CALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                        int32 sampleFrames);
using ProcessDoubleProc = void(VST_CALLBACK*)(AEffect* effect, double** inputs, double** outputs,
                                              int32 sampleFrames);
using SetParameterProc = void(VST_CALLBACK*)(AEffect* effect, int32 index, float value);
using GetParameterProc = float(VST_CALLBACK*)(AEffect* effect, int32 index);
using EntryProc = AEffect*(VST_CALLBACK*)(HostCallback host);

constexpr int32 FourCC(char a, char b, char c, char d) {
  return (int32(a) << 24) | (int32(b) << 16) | (int32(c) << 8) | int32(d);
}

constexpr int32 kEffectMagic = FourCC('V', 's', 't', 'P');  // 0x56737450

struct AEffect {
  int32 magic;
  DispatcherProc dispatcher;
  ProcessProc process;  // accumulating; deprecated but still called by some hosts
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  int32 numPrograms;
  int32 numParams;
  int32 numInputs;
  int32 numOutputs;
  int32 flags;
  intptr resvd1;
  intptr resvd2;
  int32 initialDelay;
  int32 realQualities;
  int32 offQualities;
  float ioRatio;
  void* object;  // the plug-in instance
  void* user;    // the host's; never touched by the plug-in
  int32 uniqueID;
  int32 version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;
  char future[56];
};

struct ERect {
  int16 top, left, bottom, right;
};

struct VstTimeInfo {
  double samplePos, sampleRate, nanoSeconds, ppqPos, tempo, barStartPos, cycleStartPos, cycleEndPos;
  int32 timeSigNumerator, timeSigDenominator, smpteOffset, smpteFrameRate, samplesToNextClock,
      flags;
};

struct VstEvent {
  int32 type, byteSize, deltaFrames, flags;
  char data[16];
};

struct VstMidiEvent {
  int32 type, byteSize, deltaFrames, flags, noteLength, noteOffset;
  char midiData[4];
  char detune, noteOffVelocity, reserved1, reserved2;
};

struct VstEvents {
  int32 numEvents;
  intptr reserved;
  VstEvent* events[2];  // variable length: numEvents pointers
};

struct VstPinProperties {
  char label[64];
  int32 flags;
  int32 arrangementType;
  char shortLabel[8];
  char future[48];
};

struct VstSpeakerProperties {
  float azimuth, elevation, radius, reserved;
  char name[64];
  int32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  int32 type;
  int32 numChannels;
  VstSpeakerProperties speakers[8];  // variable length
};

struct MidiKeyName {
  int32 thisProgramIndex, thisKeyNumber;
  char keyName[64];
  int32 reserved, flags;
};

// Dispatcher opcodes (host to plug-in).
enum EffectOpcode : int32 {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effSetSpeakerArrangement = 42,
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effIdle = 53,
  effGetParameterProperties = 56,
  effGetVstVersion = 58,
  effGetMidiKeyName = 66,
  effStartProcess = 71,
  effStopProcess = 72,
  effGetSpeakerArrangement = 69,
};

// Host callback opcodes (plug-in to host).
enum HostOpcode : int32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

// AEffect flags.
enum EffectFlags : int32 {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12,
  effFlagsCanMono = 1 << 3,
};

constexpr int32 kVstMidiType = 1;
constexpr int32 kVstPinIsActive = 1 << 0;
constexpr int32 kVstPinIsStereo = 1 << 1;
constexpr int32 kPlugCategEffect = 1;
constexpr int32 kVstNanosValid = 1 << 8;
constexpr int32 kVstPpqPosValid = 1 << 9;
constexpr int32 kVstTempoValid = 1 << 10;
constexpr int32 kVstTimeSigValid = 1 << 13;
constexpr int32 kVstTransportPlaying = 1 << 1;
constexpr int32 kVstVersion = 2400;

// String buffer sizes hosts give in practice (terminator included).
constexpr std::size_t kEffectNameSize = 32;
constexpr std::size_t kVendorStringSize = 64;
constexpr std::size_t kProductStringSize = 64;
constexpr std::size_t kParamStringSize = 64;
constexpr std::size_t kProgramNameSize = 24;

// Layout checks: the records must match what hosts compiled against the published
// interface expect, on 32-bit and on 64-bit targets alike.
constexpr std::size_t kPtr = sizeof(void*);
static_assert(kPtr == 4 || kPtr == 8);
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == kPtr);
static_assert(offsetof(AEffect, numPrograms) == 5 * kPtr);
static_assert(offsetof(AEffect, flags) == 5 * kPtr + 16);
static_assert(offsetof(AEffect, resvd1) == (kPtr == 8 ? 64 : 40));
static_assert(offsetof(AEffect, initialDelay) == (kPtr == 8 ? 80 : 48));
static_assert(offsetof(AEffect, ioRatio) == (kPtr == 8 ? 92 : 60));
static_assert(offsetof(AEffect, object) == (kPtr == 8 ? 96 : 64));
static_assert(offsetof(AEffect, uniqueID) == (kPtr == 8 ? 112 : 72));
static_assert(offsetof(AEffect, processReplacing) == (kPtr == 8 ? 120 : 80));
static_assert(offsetof(AEffect, processDoubleReplacing) == (kPtr == 8 ? 128 : 84));
static_assert(offsetof(AEffect, future) == (kPtr == 8 ? 136 : 88));
static_assert(sizeof(AEffect) == (kPtr == 8 ? 192 : 144));
static_assert(sizeof(ERect) == 8);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);
static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstEvents, events) == 2 * kPtr);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112);
static_assert(sizeof(MidiKeyName) == 80);

}  // namespace vst
