#include "tests/lv2/TestLv2Plug.h"

#include "iplug/VstEntry.h"

vst::AEffect* VST_CALLBACK TestLv2Entry(vst::HostCallback host) {
  return CreateVstEffect(host, [](vst::HostCallback h) -> IPlugVST* {
    auto* plug = new TestPlug(h);
    plug->AttachEditor(new FakeGraphics);
    // Recording must not allocate on the audio thread in the allocation test.
    plug->changed.reserve(1 << 16);
    return plug;
  });
}

const LV2_Descriptor* TestDescriptor() { return IPlugLV2::Descriptor(kTestPlugUri, &TestLv2Entry); }

TestPlug& PlugOf(IPlugLV2* instance) { return *static_cast<TestPlug*>(instance->Plug()); }

FakeGraphics& GraphicsOf(IPlugLV2* instance) {
  return *static_cast<FakeGraphics*>(instance->Plug()->Graphics());
}
