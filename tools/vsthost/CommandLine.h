// The vsthost command line: a command, a plug-in path, an optional input file and
// options. Parsing only; nothing is loaded here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/EditOptions.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

// "--param KEY=VALUE": KEY is a parameter index when it is all digits, else a name.
struct ParamSetting {
  std::string name;
  int index = -1;
  double value = 0.0;  // normalised, 0 to 1
};

struct Options {
  std::string command;  // "info", "process", "edit" or "help"
  std::string plugin;
  std::string input;   // empty: the built-in test signal
  std::string output;  // process: where to write the result (may be empty)

  std::string product = "vsthost";
  vst::int32 vendorVersion = 10000;
  bool timeInfo = true;

  double sampleRate = 0.0;  // 0: the input file's rate, or 48000
  vst::int32 blockSize = 512;
  int channels = 0;             // test signal channels; 0: the plug-in's inputs
  std::int64_t frames = 48000;  // test signal length
  ProcessMode mode = ProcessMode::Replacing;
  SampleFormat format = SampleFormat::Float32;

  std::vector<ParamSetting> params;
  std::string saveChunk, loadChunk;
  bool bankChunk = false;
  bool expectPassthrough = false;
  std::vector<int> passthroughMap;  // 0-based input per output; empty: same numbers
  bool traceHost = false;
  EditOptions edit;  // the edit command's own options
};

// Fills options from argv (argv[0] is the program). Options take their value as the
// next argument or after '='. Returns false with a message on any malformed input.
bool ParseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

// Parses "KEY=VALUE" for --param; the value must be a number from 0 to 1.
bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error);

std::string UsageText();

// Shared by the commands that read options of their own.
// An integer in [low, high], the whole text and nothing else.
bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out);
// "1,2,4": output k carries input list[k] (1-based on the command line, 0-based in map).
bool ParseChannelMap(const std::string& text, std::vector<int>& map);

}  // namespace vsthost
