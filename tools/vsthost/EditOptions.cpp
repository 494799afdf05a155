#include "tools/vsthost/EditOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace vsthost {

namespace {

using inputscript::ActionKind;

constexpr double kMaxSeconds = 3600.0;
constexpr int kMaxReopen = 100000;

bool ParseSeconds(const std::string& text, double& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(out) && out >= 0.0 && out <= kMaxSeconds;
}

bool ActionOption(const std::string& name, ActionKind& kind) {
  for (ActionKind k :
       {ActionKind::kClick, ActionKind::kRightClick, ActionKind::kDoubleClick, ActionKind::kHover,
        ActionKind::kDrag, ActionKind::kWheel, ActionKind::kKey, ActionKind::kText}) {
    if (name == std::string("--") + inputscript::ActionKindName(k)) {
      kind = k;
      return true;
    }
  }
  return false;
}

bool Invalid(const std::string& name, const std::string& value, const char* wanted,
             std::string& error) {
  error = "invalid value '" + value + "' for " + name + ": expected " + wanted;
  return false;
}

}  // namespace

bool ApplyEditOption(const std::string& name, const std::string& value, EditOptions& o,
                     bool& handled, std::string& error) {
  handled = true;
  ActionKind kind;
  double d = 0.0;
  if (ActionOption(name, kind)) {
    inputscript::Action action;
    if (!inputscript::ParseAction(kind, value, action, error)) return false;
    o.actions.push_back(action);
  } else if (name == "--screenshot") {
    const std::size_t colon = value.find(':');
    TimedFile shot;
    if (colon == std::string::npos || colon + 1 == value.size() ||
        !ParseSeconds(value.substr(0, colon), shot.time)) {
      return Invalid(name, value, "T:FILE.png", error);
    }
    shot.path = value.substr(colon + 1);
    o.screenshots.push_back(shot);
  } else if (name == "--print-params") {
    if (!ParseSeconds(value, d)) return Invalid(name, value, "seconds", error);
    o.paramPrints.push_back(d);
  } else if (name == "--list-windows") {
    if (!ParseSeconds(value, d)) return Invalid(name, value, "seconds", error);
    o.windowLists.push_back(d);
  } else if (name == "--seconds") {
    if (!ParseSeconds(value, d)) return Invalid(name, value, "seconds (up to 3600)", error);
    o.seconds = d;
  } else if (name == "--reopen") {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 0 || n > kMaxReopen)
      return Invalid(name, value, "a count from 0 to 100000", error);
    o.reopen = int(n);
  } else if (name == "--idle-rate") {
    if (!ParseSeconds(value, d) || d < 1.0 || d > 1000.0)
      return Invalid(name, value, "calls per second from 1 to 1000", error);
    o.idleRate = d;
  } else {
    handled = false;
  }
  return true;
}

bool ApplyEditFlag(const std::string& name, EditOptions& o) {
  if (name == "--no-audio")
    o.audio = false;
  else if (name == "--close-with-editor-open")
    o.closeWithEditorOpen = true;
  else if (name == "--open-twice")
    o.openTwice = true;
  else
    return false;
  return true;
}

double SessionSeconds(const EditOptions& o) {
  if (o.seconds >= 0.0) return o.seconds;
  double last = 0.0;
  for (const auto& a : o.actions) last = std::max(last, a.time);
  for (const auto& s : o.screenshots) last = std::max(last, s.time);
  for (double t : o.paramPrints) last = std::max(last, t);
  for (double t : o.windowLists) last = std::max(last, t);
  return std::max(1.0, last + 0.5);
}

std::string EditUsageText() {
  return "Editor (edit):\n"
         "  Opens the plug-in's editor in a window of the size it reports, feeds audio\n"
         "  through the plug-in in real time meanwhile and calls effEditIdle, plays the\n"
         "  scripted input as real window input and prints the parameter edits the\n"
         "  plug-in reports (automate, beginEdit, endEdit). T is seconds after opening,\n"
         "  X,Y editor pixels. After each action the session waits until the input is\n"
         "  handled and the editor's timers have fired twice; a screenshot waits until\n"
         "  T seconds of audio have played and the editor has redrawn once since. What\n"
         "  comes later in the script is then late rather than out of order.\n"
         "  --click T:X,Y  --right-click T:X,Y  --double-click T:X,Y  --hover T:X,Y\n"
         "  --drag T:X1,Y1:X2,Y2    --wheel T:X,Y:NOTCHES    (+fine: shift held)\n"
         "  --key T:NAME            return escape tab backspace delete left right up down\n"
         "                          home end\n"
         "  --text T:CHARACTERS     typed one by one to the focused window\n"
         "  --screenshot T:FILE     the window's pixels as PNG\n"
         "  --print-params T        every parameter with its value and display text\n"
         "  --list-windows T        every window in the host window, with its text\n"
         "  --seconds S             how long the editor stays open (default: 0.5 s\n"
         "                          after the last event, at least 1 s)\n"
         "  --reopen N              then close and open the editor N more times, with\n"
         "                          the window system's object counts before and after\n"
         "  --idle-rate HZ          effEditIdle calls per second (default 30)\n"
         "  --no-audio              no audio while the editor is open\n"
         "  --open-twice            effEditOpen a second time without closing first\n"
         "  --close-with-editor-open  effClose with the editor still open\n";
}

}  // namespace vsthost
