// What the plug-in base hands an attached editor, how it lets go of it, and what
// the module entry lets reach the host.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "iplug/VstEntry.h"
#include "tests/iplug/TestInstance.h"

using namespace vst;

namespace {

struct ControlValue {
  int index;
  double value;
  bool normalized;
};

// An editor that records what the plug-in shows in it. Its destructor looks at the
// plug-in that owns it, as real controls do while they go away.
class RecordingEditor : public IGraphicsInterface {
 public:
  explicit RecordingEditor(IPlugBase* owner) : owner_(owner) {}
  ~RecordingEditor() override {
    if (owner_ == nullptr) return;
    ILockGuard hold(owner_->Lock());
    seenAtDestruction.params = owner_->ParamCount();
    seenAtDestruction.presets = owner_->PresetCount();
    seenAtDestruction.firstPresetName = owner_->PresetName(0);
    seenAtDestruction.inputConnected = owner_->InputConnected(0);
    if (destroyed != nullptr) *destroyed = seenAtDestruction;
  }

  void SetControlsFromPlugin(int paramIdx, double value, bool normalized) override {
    shown.push_back({paramIdx, value, normalized});
  }
  void PrepareSurfaces() override {}
  int Width() const override { return 100; }
  int Height() const override { return 50; }
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}

  struct Seen {
    int params = -1;
    int presets = -1;
    std::string firstPresetName;
    bool inputConnected = false;
  };
  std::vector<ControlValue> shown;
  Seen seenAtDestruction;
  Seen* destroyed = nullptr;

 private:
  IPlugBase* owner_;
};

TEST(EditorHandOff, HostValuesReachTheControlsCleaned) {
  TestInstance<> t;
  auto* editor = new RecordingEditor(nullptr);
  t.Plug().AttachEditor(editor);

  t.effect->setParameter(t.effect, 2, 7.0f);  // beyond the normalised range
  ASSERT_FALSE(editor->shown.empty());
  EXPECT_EQ(editor->shown.back().index, 2);
  EXPECT_TRUE(editor->shown.back().normalized);
  EXPECT_EQ(editor->shown.back().value, 1.0);
  EXPECT_EQ(t.Plug().Param(2)->Value(), 3.0);

  t.effect->setParameter(t.effect, 1, 0.4f);  // an enumeration shows its chosen step
  EXPECT_EQ(editor->shown.back().value, t.Plug().Param(1)->Normalized());
  EXPECT_EQ(editor->shown.back().value, 2.0 / 6.0);

  const double before = t.Plug().Param(2)->Normalized();
  t.effect->setParameter(t.effect, 2, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FALSE(std::isnan(editor->shown.back().value));
  EXPECT_EQ(editor->shown.back().value, before);
  t.effect->setParameter(t.effect, 2, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(editor->shown.back().value, 0.0);
  for (const ControlValue& v : editor->shown) {
    EXPECT_GE(v.value, 0.0);
    EXPECT_LE(v.value, 1.0);
  }
}

TEST(EditorHandOff, EditorGoesFirstWhileTheRestOfThePlugInStillStands) {
  FakeHost host;
  RecordingEditor::Seen seen;
  AEffect* effect = CreateVstEffect(&FakeHost::Callback,
                                    [](HostCallback h) -> IPlugVST* { return new TestPlug(h); });
  ASSERT_NE(effect, nullptr);
  host.Bind(effect);
  auto& plug = *static_cast<TestPlug*>(IPlugVST::FromEffect(effect));
  auto* editor = new RecordingEditor(&plug);
  editor->destroyed = &seen;
  plug.AttachEditor(editor);
  Dispatch(effect, effClose);
  EXPECT_EQ(seen.params, 3);
  EXPECT_EQ(seen.presets, 1);
  EXPECT_EQ(seen.firstPresetName, "Default");
  EXPECT_TRUE(seen.inputConnected);
}

IPlugVST* ThrowLogicError(HostCallback) { throw std::logic_error("broken"); }
IPlugVST* ThrowInt(HostCallback) { throw 42; }

TEST(EditorHandOff, NoExceptionFromConstructionReachesTheHost) {
  EXPECT_EQ(CreateVstEffect(&FakeHost::Callback, &ThrowLogicError), nullptr);
  EXPECT_EQ(CreateVstEffect(&FakeHost::Callback, &ThrowInt), nullptr);
  // The creation lock was released: the next instance is made as usual.
  TestInstance<> t;
  EXPECT_NE(t.effect, nullptr);
}

}  // namespace
