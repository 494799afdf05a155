// IPlugLV2: control port values handed to the plug-in, the editor's edits handed to
// the host.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "iplug/IPlugLV2.h"

double IPlugLV2::Now() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

void IPlugLV2::OfferHostValue(int param, float value) {
  const auto p = static_cast<std::size_t>(param);
  // run and the UI's port events both report the same port: the first one hands it over.
  if (value == lastHost_[p]) return;
  lastHost_[p] = value;
  if (echoes_[p].IsEcho(value, Now())) return;
  IPlugParam* target = plug_->Param(param);
  if (target == nullptr) return;
  plug_->SetParameterFromHost(param, target->ToNormalized(value));
}

void IPlugLV2::ApplyPublished() {
  for (int p = 0; p < layout_.params; ++p) {
    if (!publishedDirty_[static_cast<std::size_t>(p)].exchange(false, std::memory_order_acquire)) {
      continue;
    }
    OfferHostValue(p, published_[static_cast<std::size_t>(p)].load(std::memory_order_relaxed));
  }
}

void IPlugLV2::HandOverHostValues() {
  ILockGuard hold(plug_->Lock());
  ApplyPublished();
}

void IPlugLV2::HandOverLoop() {
  std::unique_lock<std::mutex> wait(handOverMutex_);
  while (!handOverWake_.wait_for(wait, std::chrono::milliseconds(kHandOverMilliseconds),
                                 [this] { return handOverQuit_; })) {
    if (anyPublished_.exchange(false, std::memory_order_acquire)) HandOverHostValues();
  }
}

void IPlugLV2::StopHandOver() {
  {
    std::lock_guard<std::mutex> hold(handOverMutex_);
    handOverQuit_ = true;
  }
  handOverWake_.notify_one();
  if (handOver_.joinable()) handOver_.join();
}

void IPlugLV2::PortEvent(int port, float value) {
  const int param = layout_.ParamOfPort(port);
  if (param < 0 || std::isnan(value)) return;  // audio ports carry no values
  ILockGuard hold(plug_->Lock());
  OfferHostValue(param, value);
}

void IPlugLV2::UiIdle() { DeliverHostWrites(); }

void IPlugLV2::QueueHostWrite(HostWrite write) {
  // Only while a UI can deliver it; the editor without a UI has nobody to tell.
  if (uiAttached_) hostWrites_.push_back(write);
}

void IPlugLV2::DeliverHostWrites() {
  // Taken out under the lock, delivered without it: the host's functions may call back.
  HostWrite batch[64];
  for (;;) {
    int n = 0;
    Lv2UiHost ui;
    {
      ILockGuard hold(plug_->Lock());
      if (!uiAttached_) return;
      ui = ui_;
      n = static_cast<int>(std::min<std::size_t>(hostWrites_.size(), 64));
      for (int i = 0; i < n; ++i) batch[i] = hostWrites_[static_cast<std::size_t>(i)];
      hostWrites_.erase(hostWrites_.begin(), hostWrites_.begin() + n);
    }
    if (n == 0) return;
    for (int i = 0; i < n; ++i) {
      const HostWrite& w = batch[i];
      const auto port = static_cast<std::uint32_t>(w.port);
      if (w.kind == HostWrite::kValue) {
        if (ui.write != nullptr) ui.write(ui.controller, port, sizeof(float), 0, &w.value);
      } else if (ui.touch != nullptr && ui.touch->touch != nullptr) {
        ui.touch->touch(ui.touch->handle, port, w.kind == HostWrite::kGrab);
      }
    }
  }
}
