// Virlex's identity as an LV2 plug-in. Hosts store the URI (and the ports' symbols)
// in their sessions: they never change.
#pragma once

constexpr const char* kVirlexLv2Uri = "urn:orbek:virlex";
constexpr const char* kVirlexLv2Binary = "Virlex.so";
constexpr const char* kVirlexLv2PluginFile = "Virlex.ttl";
