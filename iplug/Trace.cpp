#include "iplug/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool TraceEnabled() {
  // Read once: the switch is a start-up setting, and getenv is not free.
  static const bool enabled = [] {
    const char* value = std::getenv("VIRLEX_TRACE");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
  }();
  return enabled;
}

void TraceCall(const char* function, int line, const char* format, ...) {
  if (!TraceEnabled()) return;
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  std::fprintf(stderr, "virlex: %s:%d: %s\n", function, line, text);
}
