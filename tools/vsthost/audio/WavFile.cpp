#include "tools/vsthost/audio/WavFile.h"

#include <cmath>
#include <cstring>

#include "tools/vsthost/FileBytes.h"

namespace vsthost {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 256;
constexpr std::size_t kMaxWavBytes = std::size_t(1) << 30;  // 1 GiB, fits a 32-bit host

std::uint32_t Read16(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}
std::uint32_t Read32(const std::uint8_t* p) { return Read16(p) | Read16(p + 2) << 16; }

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

struct WavFormat {
  std::uint32_t tag = 0;
  std::uint32_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t blockAlign = 0;
  std::uint32_t bits = 0;
};

bool ParseFormat(const std::uint8_t* body, std::uint64_t size, WavFormat& format,
                 std::string& error) {
  if (size < 16) {
    error = "fmt chunk too short";
    return false;
  }
  format.tag = Read16(body);
  format.channels = Read16(body + 2);
  format.sampleRate = Read32(body + 4);
  format.blockAlign = Read16(body + 12);
  format.bits = Read16(body + 14);
  // WAVE_FORMAT_EXTENSIBLE keeps the real format in the first two bytes of its GUID.
  if (format.tag == kFormatExtensible) {
    if (size < 40) {
      error = "extensible fmt chunk too short";
      return false;
    }
    format.tag = Read16(body + 24);
  }
  return true;
}

bool CheckFormat(const WavFormat& f, std::string& error) {
  bool pcm = f.tag == kFormatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
  bool flt = f.tag == kFormatFloat && (f.bits == 32 || f.bits == 64);
  if (!pcm && !flt) {
    error = "unsupported sample format (tag " + std::to_string(f.tag) + ", " +
            std::to_string(f.bits) + " bits)";
    return false;
  }
  if (f.channels < 1 || f.channels > kMaxChannels) {
    error = "unsupported channel count " + std::to_string(f.channels);
    return false;
  }
  if (f.sampleRate == 0) {
    error = "sample rate is 0";
    return false;
  }
  if (f.blockAlign != f.channels * (f.bits / 8)) {
    error = "block align " + std::to_string(f.blockAlign) + " does not match the format";
    return false;
  }
  return true;
}

// One sample of the given format as a float in [-1, 1).
float DecodeSample(const std::uint8_t* p, const WavFormat& f) {
  if (f.tag == kFormatFloat) {
    if (f.bits == 32) {
      std::uint32_t u = Read32(p);
      float v;
      std::memcpy(&v, &u, 4);
      return v;
    }
    std::uint64_t u = Read32(p) | std::uint64_t(Read32(p + 4)) << 32;
    double v;
    std::memcpy(&v, &u, 8);
    return static_cast<float>(v);
  }
  switch (f.bits) {
    case 8:
      return (float(p[0]) - 128.0f) / 128.0f;  // 8-bit WAV is unsigned
    case 16:
      return float(std::int16_t(Read16(p))) / 32768.0f;
    case 24: {
      // Place the three bytes in the top of a 32-bit word so the sign comes along.
      std::uint32_t u =
          std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 24;
      return float(std::int32_t(u) / 256) / 8388608.0f;
    }
    default:
      return static_cast<float>(double(std::int32_t(Read32(p))) / 2147483648.0);
  }
}

// Scales by 2^(bits-1) both ways, so k / 2^(bits-1) survives a round trip exactly.
std::int64_t ToPcm(float x, int bits) {
  double scale = std::ldexp(1.0, bits - 1);
  double v = std::nearbyint(double(x) * scale);
  if (!(v == v)) v = 0.0;  // NaN writes silence
  if (v > scale - 1) v = scale - 1;
  if (v < -scale) v = -scale;
  return static_cast<std::int64_t>(v);
}

int BitsOf(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16:
      return 16;
    case SampleFormat::Pcm24:
      return 24;
    default:
      return 32;
  }
}

void EncodeSample(std::vector<std::uint8_t>& out, float x, SampleFormat format) {
  if (format == SampleFormat::Float32) {
    std::uint32_t u;
    std::memcpy(&u, &x, 4);
    Put32(out, u);
    return;
  }
  auto v = static_cast<std::uint32_t>(ToPcm(x, BitsOf(format)));
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
  if (format != SampleFormat::Pcm16) out.push_back(std::uint8_t(v >> 16));
  if (format == SampleFormat::Pcm32) out.push_back(std::uint8_t(v >> 24));
}

}  // namespace

bool DecodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error) {
  const std::uint64_t total = bytes.size();
  if (total < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "not a RIFF WAVE file";
    return false;
  }
  WavFormat format;
  bool haveFormat = false;
  std::uint64_t dataOffset = 0, dataSize = 0;
  bool haveData = false;
  std::uint64_t offset = 12;
  while (offset + 8 <= total && !haveData) {
    const std::uint8_t* head = bytes.data() + offset;
    std::uint64_t size = Read32(head + 4);
    std::uint64_t body = offset + 8;
    std::uint64_t available = size < total - body ? size : total - body;
    if (std::memcmp(head, "fmt ", 4) == 0) {
      if (!ParseFormat(bytes.data() + body, available, format, error)) return false;
      haveFormat = true;
    } else if (std::memcmp(head, "data", 4) == 0) {
      dataOffset = body;
      dataSize = available;
      haveData = true;
    }
    offset = body + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!haveFormat || !haveData) {
    error = haveFormat ? "no data chunk" : "no fmt chunk before the audio data";
    return false;
  }
  if (!CheckFormat(format, error)) return false;
  const std::uint64_t frames = dataSize / format.blockAlign;
  const std::uint32_t width = format.bits / 8;
  audio.sampleRate = static_cast<int>(format.sampleRate);
  audio.channels.assign(format.channels, std::vector<float>(frames));
  for (std::uint64_t i = 0; i < frames; ++i) {
    const std::uint8_t* frame = bytes.data() + dataOffset + i * format.blockAlign;
    for (std::uint32_t c = 0; c < format.channels; ++c)
      audio.channels[c][i] = DecodeSample(frame + c * width, format);
  }
  return true;
}

bool EncodeWav(const AudioData& audio, SampleFormat format, std::vector<std::uint8_t>& bytes,
               std::string& error) {
  const std::size_t channels = audio.channels.size();
  const std::size_t frames = audio.Frames();
  if (channels < 1 || channels > std::size_t(kMaxChannels) || audio.sampleRate <= 0) {
    error = "nothing to write (no channels or no sample rate)";
    return false;
  }
  for (const auto& channel : audio.channels) {
    if (channel.size() != frames) {
      error = "channels differ in length";
      return false;
    }
  }
  const std::uint32_t width = static_cast<std::uint32_t>(BitsOf(format) / 8);
  const std::uint64_t dataSize = std::uint64_t(frames) * channels * width;
  if (dataSize > 0xFFFFFFFFull - 64) {
    error = "audio too long for a WAV file";
    return false;
  }
  bytes.clear();
  bytes.reserve(44 + static_cast<std::size_t>(dataSize));
  PutTag(bytes, "RIFF");
  Put32(bytes, static_cast<std::uint32_t>(36 + dataSize + (dataSize & 1)));
  PutTag(bytes, "WAVE");
  PutTag(bytes, "fmt ");
  Put32(bytes, 16);
  Put16(bytes, format == SampleFormat::Float32 ? kFormatFloat : kFormatPcm);
  Put16(bytes, static_cast<std::uint32_t>(channels));
  Put32(bytes, static_cast<std::uint32_t>(audio.sampleRate));
  Put32(bytes, static_cast<std::uint32_t>(audio.sampleRate * channels * width));
  Put16(bytes, static_cast<std::uint32_t>(channels * width));
  Put16(bytes, width * 8);
  PutTag(bytes, "data");
  Put32(bytes, static_cast<std::uint32_t>(dataSize));
  for (std::size_t i = 0; i < frames; ++i)
    for (std::size_t c = 0; c < channels; ++c) EncodeSample(bytes, audio.channels[c][i], format);
  if (dataSize & 1) bytes.push_back(0);
  return true;
}

bool ReadWavFile(const std::string& path, AudioData& audio, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, kMaxWavBytes, error)) return false;
  if (DecodeWav(bytes, audio, error)) return true;
  error = "'" + path + "': " + error;
  return false;
}

bool WriteWavFile(const std::string& path, const AudioData& audio, SampleFormat format,
                  std::string& error) {
  std::vector<std::uint8_t> bytes;
  return EncodeWav(audio, format, bytes, error) && WriteWholeFile(path, bytes, error);
}

}  // namespace vsthost
