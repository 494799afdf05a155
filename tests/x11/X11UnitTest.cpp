// The parts of the X11 editor that need no server: pointer events to mouse calls,
// keys, pixel layouts, and the drawn value entry.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstring>

#include "graphics/platform/x11/X11Keys.h"
#include "graphics/platform/x11/X11PixelFormat.h"
#include "graphics/platform/x11/X11PointerInput.h"
#include "graphics/platform/x11/X11ValueEntry.h"
#include "raster/MemBitmap.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr std::uint16_t kShift = 1u << 0;
constexpr std::uint16_t kNumLock = 1u << 4;
constexpr std::uint16_t kButton1 = 1u << 8;
constexpr std::uint16_t kButton3 = 1u << 10;

X11PointerEvent Press(int button, int x, int y, std::uint32_t time, std::uint16_t state = 0) {
  return X11PointerEvent{X11PointerEvent::kPress, button, x, y, state, time, false};
}
X11PointerEvent Release(int button, int x, int y, std::uint16_t state) {
  return X11PointerEvent{X11PointerEvent::kRelease, button, x, y, state, 0, false};
}
X11PointerEvent Motion(int x, int y, std::uint16_t state) {
  return X11PointerEvent{X11PointerEvent::kMotion, 0, x, y, state, 0, false};
}
X11PointerEvent Leave(bool grab = false) {
  return X11PointerEvent{X11PointerEvent::kLeave, 0, -1, -1, 0, 0, grab};
}

TEST(X11PointerInput, PressFlagsIncludeTheButtonAndReleaseFlagsDropIt) {
  X11PointerInput in;
  const X11PointerAction down = in.Translate(Press(1, 10, 20, 1000, kShift));
  EXPECT_EQ(down.kind, X11PointerAction::kPress);
  EXPECT_TRUE(down.mod.left);
  EXPECT_TRUE(down.mod.shift);
  EXPECT_EQ(down.x, 10);
  EXPECT_TRUE(in.Pressing());
  const X11PointerAction drag = in.Translate(Motion(-5, 900, kButton1));
  EXPECT_EQ(drag.kind, X11PointerAction::kDrag);  // outside the window: still captured
  EXPECT_EQ(drag.x, -5);
  const X11PointerAction up = in.Translate(Release(1, -5, 900, kButton1));
  EXPECT_EQ(up.kind, X11PointerAction::kRelease);
  EXPECT_FALSE(up.mod.left);
  EXPECT_FALSE(in.Pressing());
  // A right press reports the right button held.
  EXPECT_TRUE(in.Translate(Press(3, 1, 1, 5000)).mod.right);
}

TEST(X11PointerInput, DoubleClickNeedsTwoLeftPressesCloseInTimeAndPlace) {
  X11PointerInput in;
  EXPECT_EQ(in.Translate(Press(1, 50, 50, 1000)).kind, X11PointerAction::kPress);
  in.Translate(Release(1, 50, 50, kButton1));
  EXPECT_EQ(in.Translate(Press(1, 53, 46, 1400)).kind, X11PointerAction::kDoubleClick);
  in.Translate(Release(1, 53, 46, kButton1));
  // A third quick click is a plain press again.
  EXPECT_EQ(in.Translate(Press(1, 53, 46, 1500)).kind, X11PointerAction::kPress);
  in.Translate(Release(1, 53, 46, kButton1));
  // Too late, too far, or another button in between: no double click.
  EXPECT_EQ(in.Translate(Press(1, 53, 46, 1901)).kind, X11PointerAction::kPress);
  in.Translate(Release(1, 53, 46, kButton1));
  EXPECT_EQ(in.Translate(Press(1, 58, 46, 1950)).kind, X11PointerAction::kPress);
  in.Translate(Release(1, 58, 46, kButton1));
  in.Translate(Press(3, 58, 46, 1960));
  in.Translate(Release(3, 58, 46, kButton3));
  EXPECT_EQ(in.Translate(Press(1, 58, 46, 1970)).kind, X11PointerAction::kPress);
  // The server's clock wraps after 49 days; a press just after the wrap still pairs.
  X11PointerInput wrap;
  wrap.Translate(Press(1, 0, 0, 0xFFFFFF00u));
  wrap.Translate(Release(1, 0, 0, kButton1));
  EXPECT_EQ(wrap.Translate(Press(1, 0, 0, 0x40)).kind, X11PointerAction::kDoubleClick);
}

TEST(X11PointerInput, WheelStepsAreNotchesAndOtherButtonsAreIgnored) {
  X11PointerInput in;
  const X11PointerAction up = in.Translate(Press(4, 7, 8, 0));
  EXPECT_EQ(up.kind, X11PointerAction::kWheel);
  EXPECT_EQ(up.notches, 1);
  EXPECT_EQ(in.Translate(Press(5, 7, 8, 0)).notches, -1);
  EXPECT_EQ(in.Translate(Release(4, 7, 8, 0)).kind, X11PointerAction::kNone);
  EXPECT_EQ(in.Translate(Press(2, 7, 8, 0)).kind, X11PointerAction::kNone);
  EXPECT_EQ(in.Translate(Press(6, 7, 8, 0)).kind, X11PointerAction::kNone);
  EXPECT_FALSE(in.Pressing());
}

TEST(X11PointerInput, HoverAndLeaveOnlyWhenAskedAndNotDuringAPress) {
  X11PointerInput in;
  EXPECT_EQ(in.Translate(Motion(3, 4, 0)).kind, X11PointerAction::kHover);
  EXPECT_EQ(in.Translate(Leave()).kind, X11PointerAction::kNone);  // nobody asked
  in.RequestLeave();
  in.Translate(Press(1, 3, 4, 0));
  EXPECT_EQ(in.Translate(Leave()).kind, X11PointerAction::kNone);  // the press holds it
  in.Translate(Release(1, 3, 4, kButton1));
  EXPECT_EQ(in.Translate(Leave(true)).kind, X11PointerAction::kNone);  // a grab, no move
  EXPECT_EQ(in.Translate(Leave()).kind, X11PointerAction::kLeave);
  EXPECT_EQ(in.Translate(Leave()).kind, X11PointerAction::kNone);  // once per request
  // A drag whose press came before the window (no press seen) is nothing.
  X11PointerInput fresh;
  EXPECT_EQ(fresh.Translate(Motion(1, 1, kButton1)).kind, X11PointerAction::kNone);
  EXPECT_EQ(fresh.Translate(Release(1, 1, 1, kButton1)).kind, X11PointerAction::kNone);
}

TEST(X11Keys, EntryKeysAndTheKeymapsColumns) {
  EXPECT_EQ(EntryKeyFromKeysym(XK_7).ch, '7');
  EXPECT_EQ(EntryKeyFromKeysym(XK_KP_3).ch, '3');
  EXPECT_EQ(EntryKeyFromKeysym(XK_KP_Subtract).ch, '-');
  EXPECT_EQ(EntryKeyFromKeysym(XK_plus).ch, '+');
  EXPECT_EQ(EntryKeyFromKeysym(XK_KP_Decimal).ch, '.');
  EXPECT_EQ(EntryKeyFromKeysym(XK_KP_Enter).kind, EntryKeyPress::kCommit);
  EXPECT_EQ(EntryKeyFromKeysym(XK_Escape).kind, EntryKeyPress::kCancel);
  EXPECT_EQ(EntryKeyFromKeysym(XK_BackSpace).kind, EntryKeyPress::kBackspace);
  EXPECT_EQ(EntryKeyFromKeysym(XK_Down).kind, EntryKeyPress::kDown);
  EXPECT_EQ(EntryKeyFromKeysym(XK_a).kind, EntryKeyPress::kNone);
  EXPECT_EQ(EntryKeyFromKeysym(XK_comma).kind, EntryKeyPress::kNone);

  X11Keymap map;
  // Keycode 10: '1' / '!'; keycode 11: keypad End / 1.
  map.Set(10, 2, {XK_1, XK_exclam, XK_KP_End, XK_KP_1});
  EXPECT_EQ(map.Keysym(10, 0), std::uint32_t(XK_1));
  EXPECT_EQ(map.Keysym(10, kShift), std::uint32_t(XK_exclam));
  EXPECT_EQ(map.Keysym(11, 0), std::uint32_t(XK_KP_End));
  EXPECT_EQ(map.Keysym(11, kNumLock), std::uint32_t(XK_KP_1));
  EXPECT_EQ(map.Keysym(11, kNumLock | kShift), std::uint32_t(XK_KP_End));
  EXPECT_EQ(map.Keysym(9, 0), 0u);   // below the table
  EXPECT_EQ(map.Keysym(12, 0), 0u);  // beyond it
}

TEST(X11PixelFormat, TheUsualScreenTakesTheSurfaceAsItIs) {
  X11PixelFormat f;
  EXPECT_TRUE(f.IsNative());
  EXPECT_TRUE(f.Supported());
  const RasterPixel p = 0x80123456;
  std::uint8_t out[4];
  f.ConvertRow(&p, 1, out);
  const std::uint8_t expected[4] = {0x56, 0x34, 0x12, 0x00};  // the padding byte is zero
  EXPECT_EQ(std::memcmp(out, expected, 4), 0);
}

TEST(X11PixelFormat, OtherLayoutsAreConverted) {
  const RasterPixel px[2] = {0xFFFF8000, 0xFF0000FF};
  X11PixelFormat rgb565;
  rgb565.bitsPerPixel = 16;
  rgb565.redMask = 0xF800;
  rgb565.greenMask = 0x07E0;
  rgb565.blueMask = 0x001F;
  EXPECT_FALSE(rgb565.IsNative());
  EXPECT_EQ(rgb565.RowBytes(3), 8);  // 6 bytes padded to 32 bits
  std::uint8_t out[8] = {};
  rgb565.ConvertRow(px, 2, out);
  EXPECT_EQ(out[0] | out[1] << 8, 0xF800 | (0x80 >> 2) << 5);  // orange
  EXPECT_EQ(out[2] | out[3] << 8, 0x001F);                     // blue
  // A big-endian server with blue in the high byte.
  X11PixelFormat bgrMsb;
  bgrMsb.lsbFirst = false;
  bgrMsb.redMask = 0x0000FF;
  bgrMsb.blueMask = 0xFF0000;
  bgrMsb.ConvertRow(px, 1, out);
  const std::uint8_t msb[4] = {0x00, 0x00, 0x80, 0xFF};
  EXPECT_EQ(std::memcmp(out, msb, 4), 0);
  // 30-bit colour: full intensity stays full.
  X11PixelFormat deep;
  deep.redMask = 0x3FF00000;
  deep.greenMask = 0x000FFC00;
  deep.blueMask = 0x000003FF;
  deep.ConvertRow(&px[1], 1, out);
  EXPECT_EQ(out[0] | out[1] << 8 | out[2] << 16 | std::uint32_t(out[3]) << 24, 0x3FFu);
  X11PixelFormat odd;
  odd.bitsPerPixel = 8;
  EXPECT_FALSE(odd.Supported());
}

struct EntryTest : ::testing::Test {
  EditorFixture fx{724, 526};
  ProbeWidget* gain = nullptr;
  ProbeWidget* choice = nullptr;
  X11ValueEntry entry;
  void SetUp() override {
    gain = new ProbeWidget(&fx.Plug(), IBox{100, 100, 130, 130}, 2);
    choice = new ProbeWidget(&fx.Plug(), IBox{700, 500, 724, 526}, 1);
    fx.graphics->AddWidget(gain);
    fx.graphics->AddWidget(choice);
    fx.Attach();
  }
  static EntryKeyPress Char(char c) { return EntryKeyPress{EntryKeyPress::kChar, c}; }
  static EntryKeyPress K(EntryKeyPress::Kind k) { return EntryKeyPress{k, 0}; }
};

TEST_F(EntryTest, TypedTextReplacesTheShownValueAndCommitsOnTheNextStep) {
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  EXPECT_EQ(entry.Text(), "0");
  EXPECT_EQ(entry.Box(), (IBox{97, 107, 133, 123}));  // 36 x 16 on the control's centre
  entry.SetFocus(true);
  EXPECT_EQ(entry.GetState(), X11ValueEntry::kFocused);
  EXPECT_TRUE(entry.Key(Char('-')));
  EXPECT_TRUE(entry.Key(Char('1')));
  EXPECT_TRUE(entry.Key(Char('2')));
  EXPECT_TRUE(entry.Key(K(EntryKeyPress::kBackspace)));
  EXPECT_TRUE(entry.Key(Char('5')));
  EXPECT_FALSE(entry.Key(K(EntryKeyPress::kUp)));  // no list
  EXPECT_EQ(entry.Text(), "-15");
  entry.Key(K(EntryKeyPress::kCommit));
  // Losing the keyboard before the beat keeps the commit.
  entry.SetFocus(false);
  EXPECT_EQ(entry.GetState(), X11ValueEntry::kCommit);
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 0.0);  // nothing before the beat
  EXPECT_FALSE(entry.Key(Char('9')));                  // nor keys after Return
  fx.instance.host.calls.clear();
  EXPECT_TRUE(entry.Step());
  EXPECT_FALSE(entry.IsOpen());
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), -15.0);
  // The host hears it as one edit.
  std::vector<int> opcodes;
  for (const HostCall& c : fx.instance.host.calls) opcodes.push_back(c.opcode);
  EXPECT_EQ(opcodes, (std::vector<int>{vst::audioMasterBeginEdit, vst::audioMasterAutomate,
                                       vst::audioMasterEndEdit}));
}

TEST_F(EntryTest, KeysAfterACancelAreTooLate) {
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  entry.Key(Char('2'));
  entry.SetState(X11ValueEntry::kCancel);  // a right click
  EXPECT_FALSE(entry.Key(K(EntryKeyPress::kCommit)));
  EXPECT_TRUE(entry.Step());
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 0.0);
}

TEST_F(EntryTest, TextIsBoundedAndNonsenseOrCancelChangesNothing) {
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  entry.Key(Char('-'));  // a sign alone is no number
  entry.Key(K(EntryKeyPress::kCommit));
  entry.Step();
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 0.0);
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  entry.Key(Char('1'));
  entry.Key(K(EntryKeyPress::kCancel));
  EXPECT_TRUE(entry.Step());
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 0.0);
  // 32 characters at most, the field grows with them but stays in the editor, and
  // a huge number is held to the parameter's range.
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  for (int i = 0; i < 40; ++i) entry.Key(Char('9'));
  EXPECT_EQ(entry.Text().size(), std::size_t(X11ValueEntry::kMaxChars));
  EXPECT_GT(entry.Box().W(), X11ValueEntry::kFieldWidth);
  EXPECT_GE(entry.Box().left, 0);
  entry.Key(K(EntryKeyPress::kCommit));
  entry.Step();
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 3.0);
}

TEST_F(EntryTest, AListStaysInsideTheEditorAndPicksByKeyOrClick) {
  entry.Open(choice, fx.Plug().Param(1), 724, 526);
  ASSERT_TRUE(entry.IsList());
  EXPECT_EQ(entry.Items().size(), 7u);
  EXPECT_EQ(entry.Highlighted(), 0);  // "a", the current value
  // One-letter texts: max(24, 1 x 8 + 24) wide, 7 rows of 16 plus the frame; in the
  // corner it moves left and up to stay whole.
  EXPECT_EQ(entry.Box(), (IBox{692, 412, 724, 526}));
  EXPECT_TRUE(entry.Key(K(EntryKeyPress::kDown)));
  EXPECT_FALSE(entry.Key(K(EntryKeyPress::kUp)) && entry.Key(K(EntryKeyPress::kUp)));
  EXPECT_EQ(entry.Highlighted(), 0);
  EXPECT_FALSE(entry.Key(Char('3')));  // a list takes no typing
  EXPECT_TRUE(entry.Hover(700, 412 + 1 + 2 * 16 + 3));
  EXPECT_EQ(entry.Highlighted(), 2);
  EXPECT_FALSE(entry.Press(10, 10));  // outside
  EXPECT_TRUE(entry.Press(700, 412 + 1 + 4 * 16 + 3));
  EXPECT_EQ(entry.GetState(), X11ValueEntry::kCommit);
  entry.Step();
  EXPECT_DOUBLE_EQ(fx.Plug().Param(1)->Value(), 4.0);
}

TEST_F(EntryTest, ARefreshShowsTheCurrentValueAgainAndDrawingStaysInItsBox) {
  entry.Open(gain, fx.Plug().Param(2), 724, 526);
  entry.Key(Char('7'));
  fx.Plug().Param(2)->SetFromNormalized(1.0);  // 3 dB from elsewhere
  entry.SetState(X11ValueEntry::kRefresh);
  EXPECT_FALSE(entry.Step());
  EXPECT_EQ(entry.Text(), "3.0");
  EXPECT_EQ(entry.GetState(), X11ValueEntry::kIdle);

  MemBitmap surface(724, 526);
  for (int i = 0; i < 724 * 526; ++i) surface.GetBits()[i] = 0xFF00FF00;
  entry.Draw(surface, IBox{0, 0, 724, 526});
  const IBox box = entry.Box();
  int changed = 0;
  for (int y = 0; y < 526; ++y) {
    for (int x = 0; x < 724; ++x) {
      const bool differs = surface.GetBits()[y * 724 + x] != 0xFF00FF00;
      if (differs) {
        EXPECT_TRUE(box.Contains(x, y)) << x << "," << y;
      }
      changed += differs;
    }
  }
  EXPECT_EQ(changed, box.W() * box.H());  // the whole box is painted
  // Drawn with a clip, nothing outside the clip changes.
  for (int i = 0; i < 724 * 526; ++i) surface.GetBits()[i] = 0xFF00FF00;
  entry.Draw(surface, IBox{box.left, box.top, box.left + 5, box.bottom});
  EXPECT_EQ(surface.GetBits()[(box.top + 1) * 724 + box.left + 10], 0xFF00FF00u);
  EXPECT_NE(surface.GetBits()[(box.top + 1) * 724 + box.left + 2], 0xFF00FF00u);
}

}  // namespace
