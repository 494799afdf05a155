// Recognises the host's echo of the editor's own edits.
//
// An LV2 editor changes a parameter by writing the control port; the host then
// reports the port's new value back (to run, and to the UI as a port event), often
// after the editor has moved on. Taking such a stale echo as a new value would pull
// a knob back in the middle of a drag. A value the editor wrote for this port within
// the last kWindowSeconds counts as an echo, however often it is seen. A host that
// sets a port to exactly such a value within that time is taken for an echo as well;
// the plug-in then keeps the editor's value.
#pragma once

struct Lv2EchoFilter {
  static constexpr int kSize = 16;
  static constexpr double kWindowSeconds = 1.0;

  struct Entry {
    float value;
    double time;  // seconds, on any clock that only moves forward
  };
  Entry entries[kSize] = {};
  int count = 0;

  void Remember(float value, double now) {
    if (count == kSize) {
      for (int i = 1; i < kSize; ++i) entries[i - 1] = entries[i];
      --count;
    }
    entries[count++] = {value, now};
  }

  bool IsEcho(float value, double now) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      if (now - entries[i].time <= kWindowSeconds) entries[kept++] = entries[i];
    }
    count = kept;
    for (int i = 0; i < count; ++i) {
      if (entries[i].value == value) return true;
    }
    return false;
  }
};
