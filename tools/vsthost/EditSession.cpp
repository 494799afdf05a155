#include "tools/vsthost/EditSession.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/RasterSavePng.h"
#include "raster/MemBitmap.h"
#include "tools/vsthost/AudioFeed.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/HostThread.h"

namespace vsthost {

namespace {

// Time the window system gets between the events of one scripted action.
constexpr double kEventGap = 0.02;
// Time the editor gets after opening in a reopen cycle: a few redraw ticks.
constexpr double kCycleOpen = 0.1;
// The window of an editor whose size is known only once it is open starts this large.
constexpr int kProvisionalWidth = 640;
constexpr int kProvisionalHeight = 480;
// After an action, the editor's redraw ticks awaited before the script goes on:
// the first finds the input's effects (a value entry commits on it), the second
// draws what the first changed.
constexpr int kSettleTicks = 2;
// How long the session waits for a condition (input handled, a tick, audio played)
// before it goes on regardless: far beyond what a busy machine needs.
constexpr double kSettleLimit = 20.0;

enum class Due { kAction, kScreenshot, kParams, kWindows };

struct Scheduled {
  double time;
  Due what;
  std::size_t index;
};

std::vector<Scheduled> Schedule(const EditOptions& o) {
  std::vector<Scheduled> list;
  for (std::size_t i = 0; i < o.actions.size(); ++i)
    list.push_back({o.actions[i].time, Due::kAction, i});
  for (std::size_t i = 0; i < o.screenshots.size(); ++i)
    list.push_back({o.screenshots[i].time, Due::kScreenshot, i});
  for (std::size_t i = 0; i < o.paramPrints.size(); ++i)
    list.push_back({o.paramPrints[i], Due::kParams, i});
  for (std::size_t i = 0; i < o.windowLists.size(); ++i)
    list.push_back({o.windowLists[i], Due::kWindows, i});
  // At the same time: input first, then pictures, then parameters.
  std::stable_sort(list.begin(), list.end(),
                   [](const Scheduled& a, const Scheduled& b) { return a.time < b.time; });
  return list;
}

class Session {
 public:
  Session(PluginInstance& plugin, const EditOptions& options, std::FILE* out, std::FILE* err,
          const BeforeClose& beforeClose)
      : plugin_(plugin), o_(options), out_(out), err_(err), beforeClose_(beforeClose) {}

  int Run(const AudioData& input, double rate);

 private:
  int Fail(const std::string& message) {
    std::fprintf(err_, "vsthost: error: %s\n", message.c_str());
    return kExitFailure;
  }
  bool EditorSize(int& width, int& height);
  bool OpenEditor(const char* what);
  void CloseEditor();
  void PrintChildren(const char* when);
  void ListWindows(double time);
  void PrintGui(const char* when);
  void PrintEdits();
  void PrintParams(double time);
  bool Perform(const inputscript::Action& action, std::string& error);
  bool Screenshot(const TimedFile& shot, std::string& error);
  // Pumps until `until` (session seconds), idling the editor at the idle rate.
  void PumpUntil(double until);
  // Waits for the window system and the editor to catch up with the input; says so
  // when they do not within kSettleLimit.
  void Settle(int ticks, const char* after);
  // Pumps until `seconds` of audio have been played (at once without audio).
  void AwaitAudio(double seconds);
  int Scripted();
  void Reopen();
  double Elapsed() const { return NowSeconds() - start_; }
  // Runs the caller's last work on the open plug-in, then closes it.
  void ClosePlugin(int& code);

  PluginInstance& plugin_;
  const EditOptions& o_;
  std::FILE* out_;
  std::FILE* err_;
  const BeforeClose& beforeClose_;
  std::unique_ptr<EditorWindow> window_;
  const AudioFeed* feed_ = nullptr;  // while the audio runs
  double start_ = 0.0;
  double nextIdle_ = 0.0;
  long idleCalls_ = 0;
};

bool Session::EditorSize(int& width, int& height) {
  vst::ERect* rect = nullptr;
  if (plugin_.Dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0;
}

bool Session::OpenEditor(const char* what) {
  const vst::intptr opened = plugin_.Dispatch(vst::effEditOpen, 0, 0, window_->NativeHandle());
  std::fprintf(out_, "edit: %s -> %ld\n", what, long(opened));
  return opened != 0;
}

void Session::CloseEditor() {
  const vst::intptr closed = plugin_.Dispatch(vst::effEditClose);
  std::fprintf(out_, "edit: effEditClose -> %ld\n", long(closed));
}

void Session::PrintChildren(const char* when) {
  const std::vector<ChildWindow> children = window_->ChildWindows(false);
  std::fprintf(out_, "edit: windows in the host window %s: %zu\n", when, children.size());
  for (const ChildWindow& c : children) {
    std::fprintf(out_, "edit: child window %s at %d,%d size %dx%d\n", c.name.c_str(), c.x, c.y,
                 c.width, c.height);
  }
}

void Session::ListWindows(double time) {
  std::fprintf(out_, "windows at %.2f s:\n", time);
  for (const ChildWindow& c : window_->ChildWindows(true)) {
    std::fprintf(out_, "window %s at %d,%d size %dx%d: %s\n", c.name.c_str(), c.x, c.y, c.width,
                 c.height, c.text.c_str());
  }
}

void Session::PrintGui(const char* when) {
  const GuiCounts counts = window_->GuiResources();
  if (counts.gdi >= 0 || counts.user >= 0) {
    std::fprintf(out_, "edit: gui objects %s: gdi %ld user %ld\n", when, counts.gdi, counts.user);
  }
  if (counts.windows >= 0) std::fprintf(out_, "edit: windows %s: %ld\n", when, counts.windows);
}

void Session::PrintEdits() {
  for (const HostCall& call : plugin_.Host().TakeEdits())
    std::fprintf(out_, "host call: %s\n", FormatHostCall(call).c_str());
}

void Session::PrintParams(double time) {
  std::fprintf(out_, "params at %.2f s:\n", time);
  for (vst::int32 i = 0; i < plugin_.NumParams(); ++i) {
    std::fprintf(out_, "param %d: %s = %f [%s]\n", int(i), plugin_.ParamName(i).c_str(),
                 double(plugin_.GetParameter(i)), plugin_.ParamDisplay(i).c_str());
  }
}

bool Session::Perform(const inputscript::Action& action, std::string& error) {
  std::fprintf(out_, "input at %.2f s: %s\n", action.time,
               inputscript::ActionKindName(action.kind));
  for (const inputscript::InputEvent& e : inputscript::ExpandAction(action)) {
    if (!window_->Deliver(e, error)) return false;
    window_->Pump(kEventGap);
    PrintEdits();
  }
  Settle(kSettleTicks, inputscript::ActionKindName(action.kind));
  return true;
}

void Session::Settle(int ticks, const char* after) {
  if (!window_->Settle(ticks, kSettleLimit)) {
    std::fprintf(out_, "edit: the editor did not settle within %.0f s after the %s\n", kSettleLimit,
                 after);
  }
  PrintEdits();
}

void Session::AwaitAudio(double seconds) {
  const double limit = NowSeconds() + kSettleLimit;
  while (feed_ != nullptr && feed_->PlayedSeconds() < seconds && !window_->Closed()) {
    if (NowSeconds() > limit) {
      std::fprintf(out_, "edit: the audio did not reach %.2f s within %.0f s\n", seconds,
                   kSettleLimit);
      return;
    }
    window_->Pump(0.005);
  }
}

bool Session::Screenshot(const TimedFile& shot, std::string& error) {
  // The picture shows the editor after that much audio, drawn by a tick since.
  AwaitAudio(shot.time);
  Settle(1, "audio before a screenshot");
  Picture picture;
  if (!window_->Capture(picture)) {
    error = "cannot read the window's pixels";
    return false;
  }
  MemBitmap surface(picture.width, picture.height);
  if (surface.GetBits() == nullptr) {
    error = "no memory for a screenshot";
    return false;
  }
  std::copy(picture.pixels.begin(), picture.pixels.end(), surface.GetBits());
  if (!RasterSavePng(&surface, shot.path.c_str())) {
    error = "cannot write '" + shot.path + "'";
    return false;
  }
  std::fprintf(out_, "screenshot: %s (%dx%d) at %.2f s\n", shot.path.c_str(), picture.width,
               picture.height, shot.time);
  return true;
}

void Session::PumpUntil(double until) {
  while (!window_->Closed()) {
    const double now = Elapsed();
    if (now >= nextIdle_) {
      // effEditIdle at a host's usual rate, from the GUI thread.
      plugin_.Dispatch(vst::effEditIdle);
      ++idleCalls_;
      nextIdle_ += 1.0 / o_.idleRate;
      if (nextIdle_ < now) nextIdle_ = now + 1.0 / o_.idleRate;
    }
    PrintEdits();
    if (now >= until) return;
    window_->Pump(std::max(0.0, std::min(until, nextIdle_) - now));
  }
}

int Session::Scripted() {
  const double seconds = SessionSeconds(o_);
  std::string error;
  for (const Scheduled& s : Schedule(o_)) {
    PumpUntil(s.time);
    if (window_->Closed()) break;
    bool ok = true;
    if (s.what == Due::kAction) ok = Perform(o_.actions[s.index], error);
    if (s.what == Due::kScreenshot) ok = Screenshot(o_.screenshots[s.index], error);
    if (s.what == Due::kParams) PrintParams(s.time);
    if (s.what == Due::kWindows) ListWindows(s.time);
    if (!ok) return Fail(error);
  }
  PumpUntil(seconds);
  std::fflush(out_);
  return kExitOk;
}

void Session::Reopen() {
  PrintGui("after the first close");
  for (int i = 0; i < o_.reopen; ++i) {
    if (plugin_.Dispatch(vst::effEditOpen, 0, 0, window_->NativeHandle()) == 0) {
      std::fprintf(out_, "edit: reopen %d failed\n", i + 1);
      return;
    }
    window_->Pump(kCycleOpen);
    plugin_.Dispatch(vst::effEditClose);
    window_->Pump(0.0);
  }
  std::fprintf(out_, "edit: reopened and closed %d times\n", o_.reopen);
  PrintGui("after the reopen cycles");
}

void Session::ClosePlugin(int& code) {
  if (code == kExitOk && beforeClose_) code = beforeClose_();
  plugin_.Close();
}

int Session::Run(const AudioData& input, double rate) {
  if ((plugin_.Effect()->flags & vst::effFlagsHasEditor) == 0)
    return Fail("the plug-in has no editor (effFlagsHasEditor is not set)");
  int width = 0, height = 0;
  // Some plug-ins know their editor's size only once it is open (LSP's do): such an
  // editor opens in a window of a provisional size, which then takes the size reported.
  const bool sizeKnown = EditorSize(width, height);
  if (!sizeKnown) {
    width = kProvisionalWidth;
    height = kProvisionalHeight;
  }
  std::string error;
  window_ = EditorWindow::Create(width, height, "vsthost: " + plugin_.EffectName(), error);
  if (!window_) return Fail(error);
  if (sizeKnown) {
    std::fprintf(out_, "edit: editor size %dx%d\n", width, height);
  } else {
    std::fprintf(out_, "edit: no editor size before opening; the window starts at %dx%d\n", width,
                 height);
  }
  PrintGui("before opening");
  AudioFeed feed(plugin_, input, rate);
  if (o_.audio && !feed.Start(error)) return Fail(error);
  if (o_.audio) feed_ = &feed;

  start_ = NowSeconds();
  if (!OpenEditor("effEditOpen")) {
    feed.Stop();
    return Fail("the plug-in did not open its editor (effEditOpen returned 0)");
  }
  if (!sizeKnown) {
    window_->Pump(0.0);
    if (!EditorSize(width, height))
      return Fail("the plug-in reports no editor size (effEditGetRect), even once open");
    const bool resized = window_->Resize(width, height);
    std::fprintf(out_, "edit: editor size %dx%d once open%s\n", width, height,
                 resized ? "" : " (the window keeps its size)");
  }
  PrintChildren("after opening");
  if (o_.openTwice) {
    OpenEditor("effEditOpen again");
    PrintChildren("after opening again");
  }
  int code = Scripted();
  std::fprintf(out_, "edit: effEditIdle calls: %ld, audio blocks: %lld\n", idleCalls_,
               feed.Blocks());
  if (o_.closeWithEditorOpen) {
    // The host closes the plug-in with its editor still open: the plug-in must
    // take its window down itself.
    feed.Stop();
    feed_ = nullptr;
    ClosePlugin(code);
    std::fprintf(out_, "edit: effClose with the editor open\n");
    PrintChildren("after effClose");
    window_->Pump(0.5);  // a timer left running would fire into a freed editor here
  } else {
    CloseEditor();  // while the audio still runs
    PrintChildren("after closing");
    window_->Pump(0.2);
    if (o_.reopen > 0) Reopen();
    feed.Stop();
    feed_ = nullptr;
    ClosePlugin(code);
    window_->Pump(0.1);
  }
  PrintEdits();
  PrintGui("after effClose");
  std::fprintf(out_, "edit: done\n");
  std::fflush(out_);
  return code;
}

}  // namespace

int RunEditSession(PluginInstance& plugin, const EditOptions& options, const AudioData& input,
                   double sampleRate, std::FILE* out, std::FILE* err,
                   const BeforeClose& beforeClose) {
  Session session(plugin, options, out, err, beforeClose);
  return session.Run(input, sampleRate);
}

}  // namespace vsthost
