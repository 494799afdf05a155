#include "tests/x11/EditorFixture.h"

#include <algorithm>

#include "graphics/RasterSavePng.h"
#include "iplug/IPlugVST.h"
#include "raster/MemBitmap.h"
#include "tools/vsthost/TestSignal.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 512;

void SetUp(vsthost::PluginInstance& p) {
  p.SetSampleRate(kRate);
  p.SetBlockSize(kBlock);
  p.Open();
  p.SetActive(true);
}

}  // namespace

bool HostedPlugin::LoadModule() {
  plug = vsthost::PluginInstance::Load(VIRLEX_MODULE_PATH, host, error);
  if (plug) SetUp(*plug);
  return plug != nullptr;
}

bool HostedPlugin::LoadLinked() {
  plug = vsthost::PluginInstance::FromEntry(&VSTPluginMain, nullptr, host, error);
  if (plug) SetUp(*plug);
  return plug != nullptr;
}

void HostedPlugin::Play(double seconds, double startSeconds) {
  const auto start = std::size_t(startSeconds * kRate);
  const auto frames = std::size_t(seconds * kRate);
  const vsthost::AudioData signal = vsthost::MakeTestSignal(4, start + frames, kRate);
  std::vector<float> out(2 * kBlock);
  for (std::size_t at = start; at < start + frames; at += kBlock) {
    const int n = int(std::min<std::size_t>(kBlock, start + frames - at));
    float* in[4];
    for (int c = 0; c < 4; ++c) in[c] = const_cast<float*>(signal.channels[size_t(c)].data()) + at;
    float* outs[2] = {out.data(), out.data() + kBlock};
    plug->ProcessFloat(vsthost::ProcessMode::Replacing, in, outs, n);
  }
}

bool HostedPlugin::OpenEditor(xcb_window_t parent) {
  return plug->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(parent))) !=
         0;
}

void HostedPlugin::CloseEditor() { plug->Dispatch(vst::effEditClose); }

std::vector<vsthost::HostCall> HostedPlugin::CallsOf(int opcode) const {
  std::vector<vsthost::HostCall> out;
  for (const vsthost::HostCall& c : host.Calls()) {
    if (c.opcode == opcode) out.push_back(c);
  }
  return out;
}

IGraphicsOffscreen* OffscreenEditor(HostedPlugin& p) {
  IPlugVST* plug = IPlugVST::FromEffect(p.plug->Effect());
  return plug != nullptr ? dynamic_cast<IGraphicsOffscreen*>(plug->Graphics()) : nullptr;
}

std::vector<std::uint32_t> OffscreenPicture(IGraphicsOffscreen& g) {
  std::vector<std::uint32_t> out;
  const RasterPixel* bits = g.GetSurfaceBits();
  for (int i = 0; i < g.Width() * g.Height(); ++i) out.push_back(bits[i] & 0xFFFFFFu);
  return out;
}

int Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

void SavePicture(const std::vector<std::uint32_t>& pixels, int width, int height,
                 const std::string& name) {
  if (pixels.size() != std::size_t(width) * std::size_t(height)) return;
  MemBitmap bitmap(width, height);
  for (std::size_t i = 0; i < pixels.size(); ++i) bitmap.GetBits()[i] = pixels[i] | 0xFF000000u;
  RasterSavePng(&bitmap, (std::string(VIRLEX_X11_PICTURES) + "/" + name).c_str());
}
