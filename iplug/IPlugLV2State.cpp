// IPlugLV2: the host's state holds the plug-in's program chunk, the very bytes a VST
// host gets from effGetChunk, under one key of type atom:Chunk.
#include <lv2/atom/atom.h>

#include "iplug/IPlugLV2.h"

using namespace vst;

LV2_State_Status IPlugLV2::Save(LV2_Handle instance, LV2_State_Store_Function store,
                                LV2_State_Handle handle, std::uint32_t, const LV2_Feature* const*) {
  return static_cast<IPlugLV2*>(instance)->SaveState(store, handle);
}

LV2_State_Status IPlugLV2::Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                   LV2_State_Handle handle, std::uint32_t,
                                   const LV2_Feature* const*) {
  return static_cast<IPlugLV2*>(instance)->RestoreState(retrieve, handle);
}

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (stateKey_ == 0 || chunkType_ == 0) return LV2_STATE_ERR_NO_FEATURE;
  // May run beside run, which then passes its blocks through while this holds the lock.
  ILockGuard hold(plug_->Lock());
  // Values run has seen but the UI has not handed over yet belong to the state.
  ApplyPublished();
  void* data = nullptr;
  const intptr size = effect_->dispatcher(effect_, effGetChunk, 1, 0, &data, 0.0f);
  if (size <= 0 || data == nullptr) return LV2_STATE_ERR_UNKNOWN;
  // The chunk's buffer stays valid until the next chunk call, which the lock keeps out.
  return store(handle, stateKey_, data, static_cast<std::size_t>(size), chunkType_,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle) {
  if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (stateKey_ == 0 || chunkType_ == 0) return LV2_STATE_ERR_NO_FEATURE;
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const void* data = retrieve(handle, stateKey_, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != chunkType_) return LV2_STATE_ERR_BAD_TYPE;
  ILockGuard hold(plug_->Lock());
  // effSetChunk refuses absurd sizes and reports a damaged chunk; what it read before
  // the damage stays applied, as for a VST host.
  const intptr loaded = effect_->dispatcher(effect_, effSetChunk, 1, static_cast<intptr>(size),
                                            const_cast<void*>(data), 0.0f);
  // From now on the ports count as seen: the state's values stay until the host
  // changes a port, whichever of the two it restores first.
  for (int p = 0; p < layout_.params; ++p) {
    const auto i = static_cast<std::size_t>(p);
    const float* port = ports_[static_cast<std::size_t>(layout_.ParamPort(p))];
    const auto restored = static_cast<float>(plug_->Param(p)->Value());
    lastHost_[i] = restored;
    lastSeen_[i] = port != nullptr ? *port : restored;
    publishedDirty_[i].store(false, std::memory_order_relaxed);
  }
  return loaded == 1 ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
