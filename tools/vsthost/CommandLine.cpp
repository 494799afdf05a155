#include "tools/vsthost/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace vsthost {

bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size() || v < low || v > high) return false;
  out = v;
  return true;
}

bool ParseChannelMap(const std::string& text, std::vector<int>& map) {
  map.clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::int64_t n = 0;
    if (!ParseInteger(text.substr(start, comma - start), 1, 1024, n)) return false;
    map.push_back(static_cast<int>(n - 1));
    start = comma + 1;
  }
  return !map.empty();
}

namespace {

bool ParseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(out);
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool ParseMode(const std::string& text, ProcessMode& mode) {
  if (text == "replacing")
    mode = ProcessMode::Replacing;
  else if (text == "accumulating" || text == "process")
    mode = ProcessMode::Accumulating;
  else if (text == "double")
    mode = ProcessMode::Double;
  else
    return false;
  return true;
}

bool ParseFormat(const std::string& text, SampleFormat& format) {
  if (text == "pcm16")
    format = SampleFormat::Pcm16;
  else if (text == "pcm24")
    format = SampleFormat::Pcm24;
  else if (text == "pcm32")
    format = SampleFormat::Pcm32;
  else if (text == "float")
    format = SampleFormat::Float32;
  else
    return false;
  return true;
}

// Walks argv, handing out option values whether given as "--x v" or "--x=v".
class ArgReader {
 public:
  ArgReader(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}
  bool Done() const { return next_ >= argc_; }
  std::string Take() { return argv_[next_++]; }

  // Splits "--name=value"; returns the name and keeps the value for TakeValue.
  std::string Option(const std::string& arg) {
    auto eq = arg.find('=');
    inlineValue_ = eq == std::string::npos ? std::string() : arg.substr(eq + 1);
    hasInline_ = eq != std::string::npos;
    return arg.substr(0, eq);
  }

  bool TakeValue(const std::string& name, std::string& value, std::string& error) {
    if (hasInline_) {
      value = inlineValue_;
      hasInline_ = false;
      return true;
    }
    if (Done()) {
      error = "option " + name + " needs a value";
      return false;
    }
    value = Take();
    return true;
  }

  bool HadInline() const { return hasInline_; }

 private:
  int argc_;
  const char* const* argv_;
  int next_ = 1;
  std::string inlineValue_;
  bool hasInline_ = false;
};

bool Invalid(const std::string& name, const std::string& value, std::string& error) {
  error = "invalid value '" + value + "' for " + name;
  return false;
}

// Applies one option that takes a value.
bool ApplyValueOption(const std::string& name, const std::string& value, Options& o,
                      std::string& error) {
  std::int64_t n = 0;
  double d = 0.0;
  if (name == "--product") {
    o.product = value;
  } else if (name == "--vendor-version") {
    if (!ParseInteger(value, 0, 0x7fffffff, n)) return Invalid(name, value, error);
    o.vendorVersion = static_cast<vst::int32>(n);
  } else if (name == "--rate") {
    if (!ParseNumber(value, d) || d < 1.0 || d > 1536000.0) return Invalid(name, value, error);
    o.sampleRate = d;
  } else if (name == "--block") {
    if (!ParseInteger(value, 1, 65536, n)) return Invalid(name, value, error);
    o.blockSize = static_cast<vst::int32>(n);
  } else if (name == "--channels") {
    if (!ParseInteger(value, 1, 64, n)) return Invalid(name, value, error);
    o.channels = static_cast<int>(n);
  } else if (name == "--frames") {
    if (!ParseInteger(value, 1, 100000000, n)) return Invalid(name, value, error);
    o.frames = n;
  } else if (name == "--mode") {
    if (!ParseMode(value, o.mode)) return Invalid(name, value, error);
  } else if (name == "--format") {
    if (!ParseFormat(value, o.format)) return Invalid(name, value, error);
  } else if (name == "--param") {
    ParamSetting setting;
    if (!ParseParamSetting(value, setting, error)) return false;
    o.params.push_back(setting);
  } else if (name == "--passthrough-map") {
    if (!ParseChannelMap(value, o.passthroughMap)) return Invalid(name, value, error);
    o.expectPassthrough = true;
  } else if (name == "--save-chunk") {
    o.saveChunk = value;
  } else if (name == "--load-chunk") {
    o.loadChunk = value;
  } else if (name == "--chunk") {
    if (value != "program" && value != "bank") return Invalid(name, value, error);
    o.bankChunk = value == "bank";
  } else if (name == "-o" || name == "--output") {
    o.output = value;
  } else {
    bool handled = false;
    if (!ApplyEditOption(name, value, o.edit, handled, error)) return false;
    if (!handled) {
      error = "unknown option " + name;
      return false;
    }
  }
  return true;
}

bool ApplyFlag(const std::string& name, Options& o) {
  if (name == "--expect-passthrough")
    o.expectPassthrough = true;
  else if (name == "--trace-host")
    o.traceHost = true;
  else if (name == "--no-time-info")
    o.timeInfo = false;
  else if (name == "--help" || name == "-h")
    o.command = "help";
  else if (!ApplyEditFlag(name, o.edit))
    return false;
  return true;
}

bool CheckPositionals(const std::vector<std::string>& positional, Options& o, std::string& error) {
  if (o.command == "help") return true;
  if (positional.empty()) {
    error = "no command given";
    return false;
  }
  o.command = positional[0];
  if (o.command != "info" && o.command != "process" && o.command != "edit") {
    error = "unknown command '" + o.command + "'";
    return false;
  }
  std::size_t most = o.command == "info" ? 2 : 3;
  if (positional.size() < 2) {
    error = o.command + " needs the path of a plug-in";
    return false;
  }
  if (positional.size() > most) {
    error = "unexpected argument '" + positional[most] + "'";
    return false;
  }
  o.plugin = positional[1];
  if (positional.size() == 3) o.input = positional[2];
  return true;
}

}  // namespace

bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error) {
  // The last '=' splits, so names that contain '=' still work.
  auto eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0) {
    error = "--param wants KEY=VALUE, got '" + text + "'";
    return false;
  }
  std::string key = text.substr(0, eq);
  std::string value = text.substr(eq + 1);
  double v = 0.0;
  if (!ParseNumber(value, v) || v < 0.0 || v > 1.0) {
    error = "--param value '" + value + "' is not a number from 0 to 1";
    return false;
  }
  setting = ParamSetting{};
  setting.value = v;
  std::int64_t index = 0;
  if (AllDigits(key)) {
    if (!ParseInteger(key, 0, 0x7fffffff, index)) {
      error = "--param index '" + key + "' is out of range";
      return false;
    }
    setting.index = static_cast<int>(index);
  } else {
    setting.name = key;
  }
  return true;
}

bool ParseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
  Options o;
  ArgReader args(argc, argv);
  std::vector<std::string> positional;
  bool optionsEnded = false;
  while (!args.Done()) {
    std::string arg = args.Take();
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = args.Option(arg);
    if (ApplyFlag(name, o)) {
      if (args.HadInline()) {
        error = "option " + name + " takes no value";
        return false;
      }
      continue;
    }
    std::string value;
    if (!args.TakeValue(name, value, error)) return false;
    if (!ApplyValueOption(name, value, o, error)) return false;
  }
  if (!CheckPositionals(positional, o, error)) return false;
  options = o;
  return true;
}

std::string UsageText() {
  return "usage: vsthost [options] info <plugin>\n"
         "       vsthost [options] process <plugin> [input-file] [-o output.wav]\n"
         "       vsthost [options] edit <plugin> [input-file]\n"
         "       vsthost stress <plugin> [stress options]   (vsthost stress --help)\n"
         "\n"
         "Host identification:\n"
         "  --product NAME          product string the host reports (default vsthost)\n"
         "  --vendor-version N      vendor version the host reports (default 10000)\n"
         "  --no-time-info          answer time info requests with nothing\n"
         "  --trace-host            print every call the plug-in made to the host\n"
         "Processing:\n"
         "  --rate HZ               sample rate (default: the input's, else 48000)\n"
         "  --block N               block size (default 512)\n"
         "  --mode M                replacing | accumulating | double (default replacing)\n"
         "  --channels N            test signal channels (default: plug-in inputs)\n"
         "  --frames N              test signal length (default 48000)\n"
         "  -o, --output FILE       output WAV file\n"
         "  --format F              pcm16 | pcm24 | pcm32 | float (default float)\n"
         "  --expect-passthrough    fail unless each output equals the input of its number\n"
         "  --passthrough-map LIST  the same, with output k compared to input LIST[k]\n"
         "                          (1-based, e.g. 1,2,4,5); implies --expect-passthrough\n"
         "State:\n"
         "  --param KEY=VALUE       set a parameter (index or name) to a normalised value\n"
         "  --load-chunk FILE       hand FILE to the plug-in with effSetChunk\n"
         "  --save-chunk FILE       write the plug-in's effGetChunk answer to FILE (edit:\n"
         "                          at the end of the session, before effClose)\n"
         "  --chunk program|bank    which chunk the two above mean (default program)\n" +
         EditUsageText();
}

}  // namespace vsthost
