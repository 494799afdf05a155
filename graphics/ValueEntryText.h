#pragma once
// What a value typed or picked in value entry means for its parameter. Shared by
// every platform layer's value entry.
class IPlugParam;

// A parameter with display texts takes one of those texts; any other parameter a
// decimal number in its real units. False, leaving normalized alone, for text that
// is neither (a typo must not set the parameter to zero).
bool ValueEntryToNormalized(const IPlugParam& param, const char* text, double& normalized);
