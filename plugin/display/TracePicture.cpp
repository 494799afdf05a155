#include "plugin/display/TracePicture.h"

#include <algorithm>
#include <cstring>

#include "graphics/IGraphicsHost.h"
#include "graphics/IImage.h"
#include "raster/RasterLine.h"

namespace {

std::size_t Bytes(int pixels) { return static_cast<std::size_t>(pixels) * sizeof(RasterPixel); }

}  // namespace

void TracePicture::Canvas::Line(IRgba colour, float x1, float y1, float x2, float y2,
                                const IBlend* blend, bool antialias) const {
  const auto dx = static_cast<float>(rect_.left);
  const auto dy = static_cast<float>(rect_.top);
  // Whole-pixel offsets: the line's end points keep their fractions, and the
  // raster line truncates them the same way as on the editor's surface.
  RasterLine(surface_, x1 - dx, y1 - dy, x2 - dx, y2 - dy, IRgbaToPixel(colour),
             IBlendWeight(blend), IBlendRasterMode(blend), antialias);
}

void TracePicture::Canvas::HLine(IRgba colour, int y, int x1, int x2) const {
  const int w = surface_->GetWidth();
  const int h = surface_->GetHeight();
  RasterPixel* bits = surface_->GetBits();
  y -= rect_.top;
  if (bits == nullptr || y < 0 || y >= h) return;
  x1 = std::max(x1 - rect_.left, 0);
  x2 = std::min(x2 - rect_.left, w - 1);
  if (x2 >= x1) std::fill(bits + y * w + x1, bits + y * w + x2 + 1, IRgbaToPixel(colour));
}

void TracePicture::Canvas::VLine(IRgba colour, int x, int y1, int y2) const {
  const int w = surface_->GetWidth();
  const int h = surface_->GetHeight();
  RasterPixel* bits = surface_->GetBits();
  x -= rect_.left;
  if (bits == nullptr || x < 0 || x >= w) return;
  y1 = std::max(y1 - rect_.top, 0);
  y2 = std::min(y2 - rect_.top, h - 1);
  for (int y = y1; y <= y2; ++y) bits[y * w + x] = IRgbaToPixel(colour);
}

TracePicture::TracePicture(IBox rect)
    : rect_(rect),
      picture_(rect.W(), rect.H()),
      scratch_(rect.W(), rect.H()),
      background_(rect.W(), rect.H()) {}

bool TracePicture::CaptureBackground(IGraphicsHost* graphics) {
  const IBox drawn = graphics->DrawRect();
  const bool covered = drawn.left <= rect_.left && drawn.top <= rect_.top &&
                       drawn.right >= rect_.right && drawn.bottom >= rect_.bottom;
  if (!covered || background_.GetBits() == nullptr) return false;
  hasBackground_ = graphics->ReadSurface(rect_, &background_);
  return hasBackground_;
}

void TracePicture::Scroll(int cols) {
  const int w = Width();
  if (cols <= 0 || cols >= w || picture_.GetBits() == nullptr) return;
  RasterPixel* bits = picture_.GetBits();
  for (int y = 0; y < rect_.H(); ++y) {
    RasterPixel* row = bits + y * w;
    std::memmove(row, row + cols, Bytes(w - cols));
  }
}

void TracePicture::FillBackground(MemBitmap* target, int from, int to) {
  RasterPixel* dst = target->GetBits();
  const RasterPixel* src = background_.GetBits();
  if (dst == nullptr || src == nullptr) return;
  const int w = Width();
  for (int y = 0; y < rect_.H(); ++y)
    std::memcpy(dst + y * w + from, src + y * w + from, Bytes(to - from));
}

void TracePicture::CopyColumns(int from, int to) {
  RasterPixel* dst = picture_.GetBits();
  const RasterPixel* src = scratch_.GetBits();
  if (dst == nullptr || src == nullptr) return;
  const int w = Width();
  for (int y = 0; y < rect_.H(); ++y)
    std::memcpy(dst + y * w + from, src + y * w + from, Bytes(to - from));
}

bool TracePicture::Present(IGraphicsHost* graphics) {
  if (picture_.GetBits() == nullptr) return false;
  const IImage image{&picture_, Width(), rect_.H(), 1};
  const IBlend copy{IBLEND_OPAQUE, 1.0f};
  return graphics->PaintImage(image, rect_, 0, 0, &copy);
}
