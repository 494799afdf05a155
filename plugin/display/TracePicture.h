// The time traces as a picture the display keeps between redraws: the background
// under the display with the traces drawn over it. While audio plays the picture
// scrolls left by whole columns and only the columns that changed are painted
// again, so a redraw costs what the new samples cost, not what the window holds.
//
// Every drawing of a column touches only that column and the one left of it
// (a trace segment runs from the previous column to its own), and the picture is
// always drawn in the same coordinates on a surface of the same size. So a strip
// painted again on its own - background first, then every drawing that reaches
// into it, in the usual order - gives the same pixels as painting the whole
// picture: scrolled pictures equal fresh ones pixel for pixel.
//
// GUI thread only (the display's redraw).
#pragma once

#include "graphics/IBlend.h"
#include "graphics/IBox.h"
#include "graphics/IRgba.h"
#include "raster/MemBitmap.h"

class IGraphicsHost;

class TracePicture {
 public:
  // Drawing into the picture in editor coordinates.
  class Canvas {
   public:
    Canvas(RasterBitmap* surface, IBox rect) : surface_(surface), rect_(rect) {}
    // As the graphics host's DrawLine.
    void Line(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend,
              bool antialias) const;
    // As the graphics host's DrawHLine and DrawVLine: pixels replaced, ends included.
    void HLine(IRgba colour, int y, int x1, int x2) const;
    void VLine(IRgba colour, int x, int y1, int y2) const;

   private:
    RasterBitmap* surface_;
    IBox rect_;
  };

  // Drawings that reach into a strip from outside it: a column's drawing also
  // touches the column left of it, and a line may round one column long.
  static constexpr int kReach = 2;

  explicit TracePicture(IBox rect);

  IBox Rect() const { return rect_; }
  int Width() const { return rect_.W(); }
  bool HasBackground() const { return hasBackground_; }
  // Takes the background from what the host has drawn so far under the picture's
  // rectangle. Only a redraw that covers the whole rectangle has drawn it all;
  // false otherwise, or when the host cannot be read.
  bool CaptureBackground(IGraphicsHost* graphics);

  // Moves the picture left by cols columns; the rightmost cols columns are then
  // stale until painted again.
  void Scroll(int cols);

  // Paints picture columns [from, to) (0 = the left edge) again: background, then
  // paint(canvas, firstColumn, endColumn), which must draw every drawing of the
  // columns firstColumn .. endColumn - 1 in the usual order. Only the strip's own
  // columns change.
  template <class Paint>
  void Repaint(int from, int to, Paint paint) {
    from = from < 0 ? 0 : from;
    to = to > Width() ? Width() : to;
    if (from >= to) return;
    const bool whole = from == 0 && to == Width();
    MemBitmap* target = whole ? &picture_ : &scratch_;
    FillBackground(target, from, to);
    paint(Canvas(target, rect_), from - kReach < 0 ? 0 : from - kReach,
          to + kReach > Width() ? Width() : to + kReach);
    if (!whole) CopyColumns(from, to);
  }

  // Copies the picture onto the host's surface, within the area being redrawn.
  bool Present(IGraphicsHost* graphics);

 private:
  void FillBackground(MemBitmap* target, int from, int to);
  void CopyColumns(int from, int to);

  IBox rect_;
  MemBitmap picture_;
  MemBitmap scratch_;  // strips are painted here, then copied into the picture
  MemBitmap background_;
  bool hasBackground_ = false;
};
