// What a host may call on its audio thread (process, setParameter, getParameter) must
// never wait for the editor's redraw: with a redraw stopped half-way on the GUI
// thread, every such call still returns. A few dispatcher calls hosts make while
// audio runs (sample rate, block size, a chunk) must not wait for it either.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "iplug/IPlugVST.h"
#include "tests/realtime/StallingEditorGraphics.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

using namespace std::chrono_literals;

// Generous: a call that returns at all returns in microseconds (seconds at worst on
// a loaded machine under a sanitizer); one that waits for the stalled draw never
// returns until it is released, so passing runs never wait this long.
constexpr auto kPatience = 10s;

vst::intptr Call(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                 void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

void Process(vst::AEffect* effect, int frames) {
  std::vector<float> in(static_cast<std::size_t>(frames), 0.25f), out[2];
  out[0].resize(in.size());
  out[1].resize(in.size());
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  effect->processReplacing(effect, ins, outs, frames);
}

struct Editor {
  Editor() {
    effect = VSTPluginMain(&QuietHostCallback);
    graphics = StallingGraphics::last;
    Call(effect, vst::effOpen);
    Call(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Call(effect, vst::effSetBlockSize, 0, 256);
    for (int input = 1; input <= 4; ++input) effect->setParameter(effect, input, 1.0f);
    Call(effect, vst::effMainsChanged, 0, 1);
    Call(effect, vst::effEditOpen);
    for (int i = 0; i < 40; ++i) Process(effect, 256);
  }
  ~Editor() {
    graphics->Release();
    Call(effect, vst::effEditClose);
    Call(effect, vst::effClose);
  }

  // Runs a redraw on a GUI thread of its own and stops it at its first drawing on
  // the display.
  std::thread StallARedraw() {
    graphics->StallNextDrawingIn(IBox{80, 56, 618, 362});
    std::thread gui([this] {
      graphics->MarkAllDirty();
      graphics->Tick();
    });
    EXPECT_TRUE(graphics->WaitUntilStalled(kPatience)) << "the redraw drew nothing on the display";
    return gui;
  }

  vst::AEffect* effect = nullptr;
  StallingGraphics* graphics = nullptr;
};

// Stops a redraw half-way, runs call on a thread of its own and lets the redraw go
// on; true when the call returned while the redraw stood still.
template <class F>
bool ReturnsDuringAStalledRedraw(Editor& editor, F call) {
  std::thread gui = editor.StallARedraw();
  auto done = std::async(std::launch::async, call);
  const bool returned = done.wait_for(kPatience) == std::future_status::ready;
  editor.graphics->Release();
  done.wait();
  gui.join();
  return returned;
}

class RealtimeCalls : public ::testing::TestWithParam<int> {};

TEST_P(RealtimeCalls, AudioThreadCallsReturnWhileARedrawStandsStill) {
  Editor editor;
  ASSERT_NE(editor.graphics, nullptr);
  vst::AEffect* e = editor.effect;
  e->setParameter(e, 0, GetParam() / 2.0f);  // the domain
  editor.graphics->Tick();
  // Every parameter, the fft size through its whole range.
  EXPECT_TRUE(ReturnsDuringAStalledRedraw(editor, [e] {
    for (int round = 0; round < 3; ++round)
      for (vst::int32 index = 1; index < 16; ++index)
        e->setParameter(e, index, static_cast<float>((index * 7 + round * 3) % 11) / 10.0f);
    for (int size = 0; size <= 6; ++size) e->setParameter(e, 10, size / 6.0f);
  })) << "setParameter waited for the redraw";
  EXPECT_TRUE(ReturnsDuringAStalledRedraw(editor, [e] {
    for (vst::int32 index = 0; index < 16; ++index) e->getParameter(e, index);
  })) << "getParameter waited for the redraw";
  EXPECT_TRUE(ReturnsDuringAStalledRedraw(editor, [e] {
    for (int i = 0; i < 20; ++i) Process(e, 256);
  })) << "process waited for the redraw";
  EXPECT_TRUE(ReturnsDuringAStalledRedraw(editor, [e] {
    Call(e, vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Call(e, vst::effSetBlockSize, 0, 512);
    void* chunk = nullptr;
    const vst::intptr size = Call(e, vst::effGetChunk, 1, 0, &chunk);
    std::vector<std::uint8_t> copy(static_cast<std::uint8_t*>(chunk),
                                   static_cast<std::uint8_t*>(chunk) + size);
    Call(e, vst::effSetChunk, 1, size, copy.data());
  })) << "a sample-rate, block-size or state change waited for the redraw";
  // And the editor takes every change in on the next redraws.
  editor.graphics->MarkAllDirty();
  EXPECT_TRUE(editor.graphics->Tick());
}

INSTANTIATE_TEST_SUITE_P(Domains, RealtimeCalls, ::testing::Values(0, 1, 2));

}  // namespace
