// Recognising the host application from its product string.
#pragma once

#include <cstdint>

// Codes of the hosts that get special treatment; -1 until asked, 0 when unknown.
enum HostKindCode : std::int32_t {
  kHostNotAsked = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostFruityLoops = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSawStudio = 20,
};

// Searches the lower-cased name for the known substrings in a fixed order; the
// first match wins (so "Nuendo / Cubase" is Cubase), none gives kHostUnknown.
HostKindCode HostKindFromName(const char* productName);

// The host's decimal version (major*10000 + minor*100 + patch) packed as
// 0xMMMMmmbb like the plug-in's own version; majors beyond 32767 saturate there.
std::int32_t PackDecimalVersion(std::int32_t decimal);

// "v5.1.2", "v0.24" or "v3": the shortest form that shows every non-zero part.
void VersionText(std::int32_t packed, char* out, int outSize);
