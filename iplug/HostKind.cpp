#include "iplug/HostKind.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int32_t kMaxPackedMajor = 0x7FFF;

struct HostPattern {
  const char* substring;
  HostKindCode code;
};

// Order matters: the first substring found decides.
constexpr HostPattern kPatterns[] = {
    {"cubase", kHostCubase},     {"reaper", kHostReaper},         {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk}, {"samplitude", kHostSamplitude}, {"fruity", kHostFruityLoops},
    {"live", kHostLive},         {"melodyne", kHostMelodyne},     {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAULab},       {"forte", kHostForte},           {"chainer", kHostChainer},
    {"audition", kHostAudition}, {"orion", kHostOrion},           {"sawstudio", kHostSawStudio},
};

}  // namespace

HostKindCode HostKindFromName(const char* productName) {
  if (productName == nullptr) return kHostUnknown;
  char lower[256];
  int i = 0;
  for (; i < 255 && productName[i] != '\0'; ++i) {
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(productName[i])));
  }
  lower[i] = '\0';
  for (const HostPattern& pattern : kPatterns) {
    if (std::strstr(lower, pattern.substring) != nullptr) return pattern.code;
  }
  return kHostUnknown;
}

std::int32_t PackDecimalVersion(std::int32_t decimal) {
  if (decimal < 0) return 0;
  // The packed major has 15 bits before the sign: larger ones saturate there.
  const std::int32_t major = std::min(decimal / 10000, kMaxPackedMajor);
  const std::int32_t minor = (decimal % 10000) / 100;
  const std::int32_t patch = decimal % 100;
  return major * 65536 + minor * 256 + patch;
}

void VersionText(std::int32_t packed, char* out, int outSize) {
  const int major = (packed >> 16) & 0xFFFF;
  const int minor = (packed >> 8) & 0xFF;
  const int patch = packed & 0xFF;
  const auto size = static_cast<std::size_t>(outSize);
  if (patch != 0) {
    std::snprintf(out, size, "v%d.%d.%d", major, minor, patch);
  } else if (minor != 0) {
    std::snprintf(out, size, "v%d.%d", major, minor);
  } else {
    std::snprintf(out, size, "v%d", major);
  }
}
