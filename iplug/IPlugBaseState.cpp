// Serialised state and presets of IPlugBase.
//
// Program state: every parameter's real value as a little-endian double, in index
// order, with no header. Bank: for each preset an int32 name length, the name
// bytes, a filled flag byte and, when filled, the preset's program state.
#include <cstdio>
#include <cstring>

#include "iplug/IPlugBase.h"
#include "iplug/TextCopy.h"
#include "iplug/Trace.h"

namespace {

void SetPresetName(Preset& preset, const char* name) {
  CopyText(preset.name, name, Preset::kNameSize);
}

}  // namespace

bool IPlugBase::SerializeParams(StateChunk& chunk) {
  ILockGuard hold(Lock());
  bool ok = true;
  for (int i = 0; i < ParamCount() && ok; ++i) {
    ok = chunk.PutDouble(Param(i)->Value()) && chunk.Size() > 0;
  }
  return ok;
}

int IPlugBase::UnserializeParams(const StateChunk& chunk, int pos) {
  ILockGuard hold(Lock());
  for (int i = 0; i < ParamCount() && pos >= 0; ++i) {
    IPlugParam* param = Param(i);
    TRACE_CALL("IPlugBase::UnserializeParams", "%d %s", i, param->Name());
    double value = 0.0;
    pos = chunk.GetDouble(&value, pos);
    // A chunk that runs short sets the parameter where it ran out to its clamped
    // 0.0 and leaves the later ones as they were.
    param->SetClamped(pos >= 0 ? value : 0.0);
  }
  for (int i = 0; i < ParamCount(); ++i) ParamChanged(i);
  ResetState();
  return pos;
}

bool IPlugBase::SerializeBank(StateChunk& chunk) {
  bool ok = true;
  for (const auto& preset : presets_) {
    if (!ok) break;
    const auto length = static_cast<std::int32_t>(std::strlen(preset->name));
    const std::uint8_t filled = preset->filled ? 1 : 0;
    ok = chunk.PutInt32(length) && chunk.PutBytes(preset->name, length) &&
         chunk.PutBytes(&filled, 1);
    if (ok && preset->filled) {
      ok = chunk.PutBytes(preset->state.Data(), preset->state.Size());
    }
  }
  return ok;
}

int IPlugBase::UnserializeBank(const StateChunk& chunk, int pos) {
  for (auto& preset : presets_) {
    if (pos < 0) break;
    std::int32_t length = 0;
    pos = chunk.GetInt32(&length, pos);
    if (pos < 0) break;
    // A negative length cannot be stepped over: the chunk is damaged from here on.
    if (length < 0 || length > chunk.Size() - pos) {
      pos = -1;
      break;
    }
    // Names are cut to what a preset holds and stop early at a zero byte. An empty
    // stored name gives an empty name rather than the previous preset's.
    char name[Preset::kNameSize] = {};
    const int kept = length < Preset::kNameSize - 1 ? length : Preset::kNameSize - 1;
    std::memcpy(name, chunk.Data() + pos, static_cast<std::size_t>(kept));
    SetPresetName(*preset, name);
    pos += length;
    std::uint8_t filled = 0;
    pos = chunk.GetBytes(&filled, 1, pos);
    if (pos < 0) break;
    if (filled == 0) {
      preset->filled = false;
      continue;
    }
    // The flag counts only once the values behind it were read: a preset flagged
    // filled with no state would be written into the next bank and refused there.
    pos = UnserializeParams(chunk, pos);
    if (pos > 0) {
      preset->state.Clear();
      preset->filled = SerializeParams(preset->state);
    }
  }
  RecallPreset(currentPreset_);
  return pos;
}

void IPlugBase::CaptureDefaultPreset(const char* name, int count) {
  for (int n = 0; n < count; ++n) {
    Preset* target = nullptr;
    for (auto& preset : presets_) {
      if (!preset->filled) {
        target = preset.get();
        break;
      }
    }
    if (target == nullptr) return;
    target->filled = true;
    SetPresetName(*target, name != nullptr ? name : "Default");
    target->state.Clear();
    SerializeParams(target->state);
  }
}

void IPlugBase::EnsureOnePreset() {
  if (!presets_.empty()) return;
  auto preset = std::make_unique<Preset>();
  std::snprintf(preset->name, Preset::kNameSize, "- %d -", 0);
  presets_.push_back(std::move(preset));
  CaptureDefaultPreset(nullptr, 1);
}

bool IPlugBase::RecallPreset(int idx) {
  if (idx < 0 || idx >= PresetCount()) return false;
  Preset& preset = *presets_[static_cast<std::size_t>(idx)];
  bool ok;
  if (preset.filled) {
    ok = UnserializeParams(preset.state, 0) > 0;
  } else {
    int users = 0;
    for (const auto& other : presets_) {
      if (std::strstr(other->name, "user preset") != nullptr) ++users;
    }
    preset.filled = true;
    std::snprintf(preset.name, Preset::kNameSize, "%s %d", "user preset", users + 1);
    preset.state.Clear();
    ok = SerializeParams(preset.state);
  }
  if (ok) {
    currentPreset_ = idx;
    PushParamsToGraphics();
  }
  return ok;
}

void IPlugBase::StoreCurrentPreset(const char* name) {
  if (currentPreset_ < 0 || currentPreset_ >= PresetCount()) return;
  Preset& preset = *presets_[static_cast<std::size_t>(currentPreset_)];
  preset.state.Clear();
  // Once it holds the live values the preset counts as filled: otherwise switching
  // away and back would replace the stored edits instead of recalling them.
  preset.filled = SerializeParams(preset.state) || preset.filled;
  if (name != nullptr && name[0] != '\0') SetPresetName(preset, name);
}

const char* IPlugBase::PresetName(int idx) const {
  if (idx < 0 || idx >= PresetCount()) return "";
  return presets_[static_cast<std::size_t>(idx)]->name;
}
