#include "graphics/IGraphicsLice.h"

#include <algorithm>
#include <cmath>

#include "graphics/IImageCache.h"
#include "raster/RasterArc.h"
#include "raster/RasterBlit.h"
#include "raster/RasterLine.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterSurface.h"

namespace {

// Beyond this a coordinate addresses no pixel of any surface (the raster library
// holds at most 2^28 pixels), and still converts to int safely.
constexpr float kFarOutside = 1073741824.0f;  // 2^30

RasterBitmap* LoadThroughHost(void* context, int id, const char* name) {
  return static_cast<IGraphicsHost*>(context)->LoadImageResource(id, name);
}

}  // namespace

IGraphicsLice::IGraphicsLice(IPlugBase* plugin, int width, int height, int fps)
    : IGraphicsHost(plugin, width, height, fps) {}

// The controls go before the surfaces, so nothing they hold outlives what it
// points into.
IGraphicsLice::~IGraphicsLice() { DeleteControls(); }

void IGraphicsLice::PrepareSurfaces() {
  drawSurface = std::make_unique<DibBitmap>(width, height);
  scratch = std::make_unique<MemBitmap>();
}

bool IGraphicsLice::PaintImage(IImage image, IBox dest, int srcX, int srcY, const IBlend* blend) {
  if (drawSurface == nullptr || image.surface == nullptr) return false;
  const IBox clip = IBoxIntersection(dest, drawRect);
  RasterBlitRegion(drawSurface.get(), image.surface, clip.left, clip.top,
                   srcX + clip.left - dest.left, srcY + clip.top - dest.top, clip.W(), clip.H(),
                   IBlendWeight(blend), IBlendRasterMode(blend));
  return true;
}

bool IGraphicsLice::PaintRotatedImage(IImage image, int cx, int cy, double angle, int yOffset,
                                      const IBlend* blend) {
  if (drawSurface == nullptr || image.surface == nullptr) return false;
  const int w = image.width;
  const int h = image.height;
  RasterRotatedBlit(drawSurface.get(), image.surface, cx - w / 2, cy - h / 2, w, h, 0.0f, 0.0f,
                    float(w), float(h), float(angle), false, IBlendWeight(blend),
                    IBlendRasterMode(blend) | BLIT_FILTER_BILINEAR, 0.0f, float(yOffset));
  return true;
}

bool IGraphicsLice::PaintRotatedMask(IImage base, IImage mask, IImage top, int x, int y,
                                     double angleDegrees, const IBlend* blend) {
  if (drawSurface == nullptr || base.surface == nullptr || mask.surface == nullptr ||
      top.surface == nullptr) {
    return false;
  }
  if (scratch == nullptr) scratch = std::make_unique<MemBitmap>();
  const int w = base.width;
  const int h = base.height;
  RasterCopy(scratch.get(), base.surface);
  RasterMaskOr(scratch.get(), 0, 0, w, h, 0x00FFFFFF, 0);
  const float radians = float(angleDegrees * 0.017453292519943295);
  const float xOffset = (w % 2 == 0) ? 0.0f : -0.5f;
  RasterRotatedBlit(scratch.get(), mask.surface, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h),
                    radians, true, 1.0f, BLIT_ADD | BLIT_USE_ALPHA | BLIT_FILTER_BILINEAR, xOffset,
                    0.0f);
  RasterRotatedBlit(scratch.get(), top.surface, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), radians,
                    true, 1.0f, BLIT_COPY | BLIT_USE_ALPHA | BLIT_FILTER_BILINEAR, xOffset, 0.0f);
  const IBox clip = IBoxIntersection(IBox{x, y, x + w, y + h}, drawRect);
  RasterBlitRegion(drawSurface.get(), scratch.get(), clip.left, clip.top, clip.left - x,
                   clip.top - y, clip.W(), clip.H(), IBlendWeight(blend), IBlendRasterMode(blend));
  return true;
}

bool IGraphicsLice::PlotPoint(IRgba colour, float x, float y, const IBlend* blend, bool) {
  if (drawSurface == nullptr) return false;
  // A position that is not a number or lies beyond any surface lands on no pixel;
  // converting it to int would be undefined.
  const float px = x + 0.5f;
  const float py = y + 0.5f;
  if (!(std::fabs(px) < kFarOutside && std::fabs(py) < kFarOutside)) return true;
  RasterPutPixel(drawSurface.get(), int(px), int(py), IRgbaToPixel(colour), IBlendWeight(blend),
                 IBlendRasterMode(blend));
  return true;
}

bool IGraphicsLice::HasPixels() {
  return drawSurface != nullptr && drawSurface->GetBits() != nullptr &&
         drawSurface->GetWidth() > 0 && drawSurface->GetHeight() > 0;
}

RasterPixel* IGraphicsLice::SurfaceRow(int y) {
  RasterBitmap* s = drawSurface.get();
  const int row = s->IsFlipped() ? s->GetHeight() - 1 - y : y;
  return s->GetBits() + size_t(row) * size_t(s->GetRowSpan());
}

bool IGraphicsLice::StorePixel(IRgba colour, int x, int y) {
  if (!HasPixels()) return false;
  if (x < 0 || y < 0 || x >= drawSurface->GetWidth() || y >= drawSurface->GetHeight()) return false;
  SurfaceRow(y)[x] = IRgbaToPixel(colour);
  return true;
}

bool IGraphicsLice::DrawLine(IRgba colour, float x1, float y1, float x2, float y2,
                             const IBlend* blend, bool antialias) {
  if (drawSurface == nullptr) return false;
  RasterLine(drawSurface.get(), x1, y1, x2, y2, IRgbaToPixel(colour), IBlendWeight(blend),
             IBlendRasterMode(blend), antialias);
  return true;
}

bool IGraphicsLice::DrawArc(IRgba colour, float cx, float cy, float r, float minAngle,
                            float maxAngle, const IBlend* blend, bool antialias) {
  if (drawSurface == nullptr) return false;
  RasterArc(drawSurface.get(), cx, cy, r, minAngle, maxAngle, IRgbaToPixel(colour),
            IBlendWeight(blend), IBlendRasterMode(blend), antialias);
  return true;
}

bool IGraphicsLice::DrawCircle(IRgba colour, float cx, float cy, float r, const IBlend* blend,
                               bool antialias) {
  if (drawSurface == nullptr) return false;
  RasterCircle(drawSurface.get(), cx, cy, r, IRgbaToPixel(colour), IBlendWeight(blend),
               IBlendRasterMode(blend), antialias);
  return true;
}

bool IGraphicsLice::FillBox(IRgba colour, IBox box, const IBlend* blend) {
  if (drawSurface == nullptr) return false;
  RasterFillRect(drawSurface.get(), box.left, box.top, box.W(), box.H(), IRgbaToPixel(colour),
                 IBlendWeight(blend), IBlendRasterMode(blend));
  return true;
}

IRgba IGraphicsLice::ReadPixel(int x, int y) {
  return IRgbaFromPixel(RasterGetPixel(drawSurface.get(), x, y));
}

RasterPixel* IGraphicsLice::GetSurfaceBits() {
  return drawSurface ? drawSurface->GetBits() : nullptr;
}

bool IGraphicsLice::ReadSurface(IBox area, RasterBitmap* into) {
  if (drawSurface == nullptr || into == nullptr || area.W() <= 0 || area.H() <= 0) return false;
  if (area.left < 0 || area.top < 0 || area.right > width || area.bottom > height) return false;
  RasterBlitRegion(into, drawSurface.get(), 0, 0, area.left, area.top, area.W(), area.H(), 1.0f,
                   BLIT_COPY);
  return true;
}

void IGraphicsLice::Resize(int w, int h) {
  IGraphicsHost::Resize(w, h);
  if (drawSurface != nullptr) drawSurface->Resize(w, h);
}

// A surface resized to no width or height keeps its old block: clamping to its
// empty range would write in front of it, so such a surface takes no lines.
bool IGraphicsLice::DrawVLine(IRgba colour, int x, int y1, int y2) {
  if (!HasPixels()) return false;
  const int w = drawSurface->GetWidth();
  const int h = drawSurface->GetHeight();
  x = std::clamp(x, 0, w - 1);
  y1 = std::clamp(y1, 0, h - 1);
  y2 = std::clamp(y2, 0, h - 1);
  const RasterPixel p = IRgbaToPixel(colour);
  for (int y = y1; y <= y2; ++y) SurfaceRow(y)[x] = p;
  return true;
}

bool IGraphicsLice::DrawHLine(IRgba colour, int y, int x1, int x2) {
  if (!HasPixels()) return false;
  const int w = drawSurface->GetWidth();
  const int h = drawSurface->GetHeight();
  y = std::clamp(y, 0, h - 1);
  x1 = std::clamp(x1, 0, w - 1);
  x2 = std::clamp(x2, 0, w - 1);
  if (x2 >= x1) std::fill(SurfaceRow(y) + x1, SurfaceRow(y) + x2 + 1, IRgbaToPixel(colour));
  return true;
}

IImage IGraphicsLice::ImageFromResource(int id, const char* name, int frameCount) {
  return IImageCache::FromResource(id, name, frameCount, LoadThroughHost,
                                   static_cast<IGraphicsHost*>(this));
}

IImage IGraphicsLice::ScaledImage(IImage source, int w, int h) {
  return IImageCache::Scaled(source, w, h);
}

IImage IGraphicsLice::CroppedImage(IImage source, IBox region) {
  return IImageCache::Cropped(source, region);
}

void IGraphicsLice::TrackImage(IImage image) { IImageCache::Track(image); }

void IGraphicsLice::DropImage(IImage image) { IImageCache::Drop(image); }
