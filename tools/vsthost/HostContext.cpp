#include "tools/vsthost/HostContext.h"

#include <cstdio>
#include <cstring>

namespace vsthost {

namespace {

// Function-local statics: safe to use from any other static's constructor.
HostLock& ConstructionLock() {
  static HostLock lock;
  return lock;
}

HostLock& BindingLock() {
  static HostLock lock;
  return lock;
}

std::atomic<HostContext*> gConstructing{nullptr};

struct Binding {
  vst::AEffect* effect;
  HostContext* host;
};
std::vector<Binding> gBindings;

HostContext* BoundContext(vst::AEffect* effect) {
  HostLockGuard hold(BindingLock());
  for (const Binding& b : gBindings)
    if (b.effect == effect) return b.host;
  return nullptr;
}

// Answers callbacks that cannot be tied to any context (a plug-in that overwrote the
// host's user field, or calls from a stray thread after construction).
HostContext& FallbackContext() {
  static HostContext context;
  return context;
}

// Copies text into a buffer of the given size, always terminated.
void CopyText(void* dest, const std::string& text, std::size_t size) {
  if (!dest || size == 0) return;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(dest, text.data(), n);
  static_cast<char*>(dest)[n] = 0;
}

}  // namespace

std::string HostOpcodeName(vst::int32 opcode) {
  switch (opcode) {
    case vst::audioMasterAutomate:
      return "automate";
    case vst::audioMasterVersion:
      return "version";
    case vst::audioMasterCurrentId:
      return "currentId";
    case vst::audioMasterIdle:
      return "idle";
    case vst::audioMasterWantMidi:
      return "wantMidi";
    case vst::audioMasterGetTime:
      return "getTime";
    case vst::audioMasterProcessEvents:
      return "processEvents";
    case vst::audioMasterIOChanged:
      return "ioChanged";
    case vst::audioMasterSizeWindow:
      return "sizeWindow";
    case vst::audioMasterGetSampleRate:
      return "getSampleRate";
    case vst::audioMasterGetBlockSize:
      return "getBlockSize";
    case vst::audioMasterGetCurrentProcessLevel:
      return "getCurrentProcessLevel";
    case vst::audioMasterGetAutomationState:
      return "getAutomationState";
    case vst::audioMasterGetVendorString:
      return "getVendorString";
    case vst::audioMasterGetProductString:
      return "getProductString";
    case vst::audioMasterGetVendorVersion:
      return "getVendorVersion";
    case vst::audioMasterCanDo:
      return "canDo";
    case vst::audioMasterGetLanguage:
      return "getLanguage";
    case vst::audioMasterUpdateDisplay:
      return "updateDisplay";
    case vst::audioMasterBeginEdit:
      return "beginEdit";
    case vst::audioMasterEndEdit:
      return "endEdit";
    default:
      return "opcode " + std::to_string(opcode);
  }
}

std::string FormatHostCall(const HostCall& call) {
  char text[256];
  std::snprintf(text, sizeof(text), "%s index=%d value=%lld opt=%f -> %lld",
                HostOpcodeName(call.opcode).c_str(), static_cast<int>(call.index),
                static_cast<long long>(call.value), static_cast<double>(call.opt),
                static_cast<long long>(call.answer));
  return text;
}

HostContext::HostContext() {
  log_.reserve(kMaxLoggedCalls);
  ResetTime();
}

void HostContext::SetProduct(const std::string& product) {
  product_ = product.substr(0, vst::kProductStringSize - 1);
}

void HostContext::SetVendorVersion(vst::int32 version) { vendorVersion_ = version; }

void HostContext::SetSampleRate(double rate) {
  sampleRate_ = rate;
  time_.sampleRate = rate;
}

void HostContext::SetBlockSize(vst::int32 frames) { blockSize_ = frames; }

void HostContext::ResetTime() {
  time_ = vst::VstTimeInfo{};
  time_.sampleRate = sampleRate_;
  time_.tempo = 120.0;
  time_.timeSigNumerator = 4;
  time_.timeSigDenominator = 4;
  time_.flags =
      vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid | vst::kVstNanosValid;
}

void HostContext::AdvanceTime(vst::int32 frames) {
  time_.samplePos += frames;
  double seconds = time_.samplePos / sampleRate_;
  time_.nanoSeconds = seconds * 1e9;
  time_.ppqPos = seconds * time_.tempo / 60.0;
  time_.barStartPos = static_cast<double>(static_cast<long long>(time_.ppqPos / 4.0)) * 4.0;
}

std::vector<HostCall> HostContext::Calls() const {
  HostLockGuard hold(logLock_);
  return log_;
}

std::size_t HostContext::CountOf(vst::int32 opcode) const {
  HostLockGuard hold(logLock_);
  if (opcode < 0 || static_cast<std::size_t>(opcode) >= counts_.size()) return 0;
  return counts_[static_cast<std::size_t>(opcode)];
}

std::size_t HostContext::DroppedCalls() const {
  HostLockGuard hold(logLock_);
  return dropped_;
}

void HostContext::Record(const HostCall& call) {
  HostLockGuard hold(logLock_);
  if (call.opcode >= 0 && static_cast<std::size_t>(call.opcode) < counts_.size())
    ++counts_[static_cast<std::size_t>(call.opcode)];
  if (log_.size() < kMaxLoggedCalls)
    log_.push_back(call);
  else
    ++dropped_;
  const bool edit = call.opcode == vst::audioMasterAutomate ||
                    call.opcode == vst::audioMasterBeginEdit ||
                    call.opcode == vst::audioMasterEndEdit;
  if (edit && edits_.size() < kMaxLoggedCalls) edits_.push_back(call);
}

std::vector<HostCall> HostContext::TakeEdits() {
  HostLockGuard hold(logLock_);
  std::vector<HostCall> taken;
  taken.swap(edits_);
  return taken;
}

vst::intptr HostContext::AnswerCanDo(const char* query) const {
  if (!query) return 0;
  static const char* const kYes[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                     "receiveVstEvents", "receiveVstMidiEvent", "supplyIdle"};
  for (const char* yes : kYes)
    if (std::strcmp(query, yes) == 0) return 1;
  return 0;
}

vst::intptr HostContext::Answer(vst::AEffect* /*effect*/, vst::int32 opcode, vst::int32 index,
                                vst::intptr value, void* ptr, float opt) {
  vst::intptr answer = 0;
  switch (opcode) {
    case vst::audioMasterVersion:
      answer = vst::kVstVersion;
      break;
    case vst::audioMasterAutomate:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
      answer = 1;
      break;
    case vst::audioMasterGetTime:
      // The pointer stays valid until the next call, as hosts promise.
      answer = timeInfoEnabled_ ? reinterpret_cast<vst::intptr>(&time_) : 0;
      if (answer && processing_) time_.flags |= vst::kVstTransportPlaying;
      break;
    case vst::audioMasterProcessEvents:
      answer = ptr ? 1 : 0;
      break;
    case vst::audioMasterGetSampleRate:
      answer = static_cast<vst::intptr>(sampleRate_);
      break;
    case vst::audioMasterGetBlockSize:
      answer = blockSize_;
      break;
    case vst::audioMasterGetCurrentProcessLevel:
      answer = processing_ ? 2 : 1;
      break;
    case vst::audioMasterGetAutomationState:
      answer = 1;
      break;  // automation off
    case vst::audioMasterGetVendorString:
      CopyText(ptr, "Virlex tools", vst::kVendorStringSize);
      answer = ptr ? 1 : 0;
      break;
    case vst::audioMasterGetProductString:
      CopyText(ptr, product_, vst::kProductStringSize);
      answer = ptr ? 1 : 0;
      break;
    case vst::audioMasterGetVendorVersion:
      answer = vendorVersion_;
      break;
    case vst::audioMasterCanDo:
      answer = AnswerCanDo(static_cast<const char*>(ptr));
      break;
    case vst::audioMasterGetLanguage:
      answer = 1;
      break;  // English
    case vst::audioMasterUpdateDisplay:
      answer = 1;
      break;
    default:
      break;
  }
  Record(HostCall{opcode, index, value, opt, answer});
  return answer;
}

vst::intptr VST_CALLBACK HostContext::Callback(vst::AEffect* effect, vst::int32 opcode,
                                               vst::int32 index, vst::intptr value, void* ptr,
                                               float opt) {
  HostContext* host = effect ? BoundContext(effect) : nullptr;
  if (!host) host = gConstructing.load();
  if (!host) host = &FallbackContext();
  return host->Answer(effect, opcode, index, value, ptr, opt);
}

void HostContext::Bind(vst::AEffect* effect) {
  if (!effect) return;
  Unbind(effect);
  effect->user = this;
  HostLockGuard hold(BindingLock());
  gBindings.push_back(Binding{effect, this});
}

void HostContext::Unbind(vst::AEffect* effect) {
  HostLockGuard hold(BindingLock());
  for (std::size_t i = 0; i < gBindings.size(); ++i) {
    if (gBindings[i].effect == effect) {
      gBindings.erase(gBindings.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

HostContext::ConstructionScope::ConstructionScope(HostContext& host) {
  ConstructionLock().Lock();
  gConstructing.store(&host);
}

HostContext::ConstructionScope::~ConstructionScope() {
  gConstructing.store(nullptr);
  ConstructionLock().Unlock();
}

}  // namespace vsthost
