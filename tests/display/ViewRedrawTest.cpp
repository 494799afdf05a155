// The display's redraw request from the audio thread: a block processed while the
// editor draws must still be drawn, also when it is the last one before the
// transport stops.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "plugin/display/ScopeView.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/plugin/FakeDisplay.h"

namespace {

// The plug-in's hand-off to a lone view; the hook runs once while the view pulls,
// that is in the middle of its draw.
class HookedLink : public FakeDisplay {
 public:
  explicit HookedLink(ScopeView* view) : view_(view) {}
  void ApplyParam(int index, const IPlugParam& param) override { view_->ApplyParam(index, param); }
  void ResetView(double sampleRate) override { view_->SetSampleRate(sampleRate); }
  void MarkViewDirty() override { view_->MarkDirtyFromAudio(); }
  void SetLevelText(int input, const char* text) override {
    FakeDisplay::SetLevelText(input, text);
    if (duringPull) std::exchange(duringPull, nullptr)();
  }
  std::function<void()> duringPull;

 private:
  ScopeView* view_;
};

void ProcessConstant(vst::AEffect* effect, float value, int frames) {
  std::vector<float> in(static_cast<std::size_t>(frames), value);
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  effect->processReplacing(effect, ins, outs, frames);
}

TEST(ViewRedraw, BlockProcessedDuringADrawIsDrawnOnTheNextTick) {
  ScopeInstance instance(false);
  auto* graphics = new IGraphicsOffscreen(&instance.Plug(), 724, 526, 0);
  auto* view = new ScopeView(&instance.Plug(), IBox{80, 56, 618, 362});
  graphics->AddWidget(view);
  instance.Plug().AttachEditor(graphics);
  auto link = std::make_unique<HookedLink>(view);
  HookedLink* hooks = link.get();
  instance.Plug().AttachDisplay(std::move(link));
  instance.Open();

  ProcessConstant(instance.effect, 0.25f, 256);
  ASSERT_TRUE(graphics->Tick());
  while (graphics->Tick()) {
  }
  ASSERT_FALSE(view->IsDirty());
  EXPECT_EQ(view->ChannelAt(0).window.samples.back(), 0.25f);

  // The next block arrives, and the last one before the transport stops is
  // processed while the editor is drawing the one before it.
  ProcessConstant(instance.effect, 0.5f, 256);
  hooks->duringPull = [&] { ProcessConstant(instance.effect, 0.75f, 256); };
  ASSERT_TRUE(graphics->Tick());
  EXPECT_TRUE(view->IsDirty()) << "the mark made during the draw was lost";
  EXPECT_TRUE(graphics->Tick());
  EXPECT_EQ(view->ChannelAt(0).window.samples.back(), 0.75f);
}

}  // namespace
