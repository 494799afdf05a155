#pragma once
// The raster mode word shared by every blit and drawing routine:
//   bits 0-7   operator (copy, add, dodge, or a channel copy for RasterBlit)
//   bits 8-15  filter (bilinear or nearest) for scaled and rotated blits
//   bit 16     use the source alpha to scale the weight

constexpr int BLIT_COPY = 0;
constexpr int BLIT_ADD = 1;
constexpr int BLIT_DODGE = 2;

// Channel copy (RasterBlit only): 0xF0 | dstByte << 2 | srcByte, where a byte is
// 0 blue, 1 green, 2 red, 3 alpha.
constexpr int BLIT_CHANNEL_COPY = 0xF0;
constexpr int BLIT_CHANNEL_BLUE = 0;
constexpr int BLIT_CHANNEL_GREEN = 1;
constexpr int BLIT_CHANNEL_RED = 2;
constexpr int BLIT_CHANNEL_ALPHA = 3;
constexpr int BlitChannelCopy(int srcByte, int dstByte) {
  return BLIT_CHANNEL_COPY | ((dstByte & 3) << 2) | (srcByte & 3);
}

constexpr int BLIT_OPERATOR_MASK = 0xFF;
constexpr int BLIT_FILTER_MASK = 0xFF00;
constexpr int BLIT_FILTER_NEAREST = 0;
constexpr int BLIT_FILTER_BILINEAR = 0x100;
constexpr int BLIT_USE_ALPHA = 0x10000;
