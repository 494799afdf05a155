#pragma once
// The graphics host on the raster library: owns the draw surface the controls
// draw into (and a scratch surface for masked rotations), implements every
// drawing operation with the raster routines, and serves images from the
// process-wide caches. Platform layers derive from it and add the window,
// presentation, text and dialogs.
#include <memory>

#include "graphics/IGraphicsHost.h"
#include "raster/DibBitmap.h"
#include "raster/MemBitmap.h"

class IGraphicsLice : public IGraphicsHost {
 public:
  IGraphicsLice(IPlugBase* plugin, int width, int height, int fps);
  ~IGraphicsLice() override;

  void PrepareSurfaces() override;
  // Clipped to the rectangle being redrawn.
  bool PaintImage(IImage image, IBox dest, int srcX, int srcY, const IBlend* blend) override;
  // Centred on (cx, cy), bilinear, not clipped to the redraw rectangle.
  bool PaintRotatedImage(IImage image, int cx, int cy, double angle, int yOffset,
                         const IBlend* blend) override;
  // base with its alpha replaced by mask rotated, then top rotated over it, all
  // by angleDegrees, blended at (x, y).
  bool PaintRotatedMask(IImage base, IImage mask, IImage top, int x, int y, double angleDegrees,
                        const IBlend* blend) override;
  bool PlotPoint(IRgba colour, float x, float y, const IBlend* blend, bool antialias) override;
  // Replaces the pixel without blending; positions outside the surface are ignored.
  bool StorePixel(IRgba colour, int x, int y) override;
  bool DrawLine(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                bool antialias) override;
  bool DrawArc(IRgba colour, float cx, float cy, float r, float minAngle, float maxAngle,
               const IBlend* blend, bool antialias) override;
  bool DrawCircle(IRgba colour, float cx, float cy, float r, const IBlend* blend,
                  bool antialias) override;
  bool FillBox(IRgba colour, IBox box, const IBlend* blend) override;
  IRgba ReadPixel(int x, int y) override;
  RasterPixel* GetSurfaceBits() override;
  bool ReadSurface(IBox area, RasterBitmap* into) override;
  void Resize(int width, int height) override;
  // Clamped to the surface; the pixels are replaced, ends inclusive.
  bool DrawVLine(IRgba colour, int x, int y1, int y2) override;
  bool DrawHLine(IRgba colour, int y, int x1, int x2) override;

  IImage ImageFromResource(int id, const char* name, int frameCount) override;
  IImage ScaledImage(IImage source, int width, int height) override;
  IImage CroppedImage(IImage source, IBox region) override;
  void TrackImage(IImage image) override;
  void DropImage(IImage image) override;

  RasterBitmap* DrawSurface() { return drawSurface.get(); }

 protected:
  // True when the draw surface has storage and a non-empty size.
  bool HasPixels();
  RasterPixel* SurfaceRow(int y);

  std::unique_ptr<DibBitmap> drawSurface;
  std::unique_ptr<MemBitmap> scratch;
};
