#pragma once
// The platform-neutral graphics host: owns the editor's controls, tracks which
// must be redrawn, draws them in list order, routes the mouse to the right one
// and carries parameter values between the controls and the plug-in.
//
// IGraphicsLice adds the raster surfaces and every drawing operation; a platform
// layer below it adds the window (or, off-screen, an explicit tick).
//
// Threads: everything runs on the editor's GUI thread except SetControlsFromPlugin,
// which the plug-in base calls on whatever thread the host application used.
#include <string>
#include <vector>

#include "graphics/IBlend.h"
#include "graphics/IBox.h"
#include "graphics/IFontSpec.h"
#include "graphics/IImage.h"
#include "graphics/IMouseFlags.h"
#include "graphics/IRgba.h"
#include "iplug/IGraphicsInterface.h"
#include "iplug/ILock.h"

class IPlugBase;
class IPlugParam;
class IWidget;

class IGraphicsHost : public IGraphicsInterface {
 public:
  // fps <= 0 selects the default redraw rate of 24 frames per second.
  IGraphicsHost(IPlugBase* plugin, int width, int height, int fps);
  ~IGraphicsHost() override;
  IGraphicsHost(const IGraphicsHost&) = delete;
  IGraphicsHost& operator=(const IGraphicsHost&) = delete;

  // --- Surfaces, drawing and platform operations -------------------------------
  virtual bool PresentRect(IBox r) = 0;
  virtual bool PaintImage(IImage image, IBox dest, int srcX, int srcY, const IBlend* blend) = 0;
  virtual bool PaintRotatedImage(IImage image, int cx, int cy, double angle, int yOffset,
                                 const IBlend* blend) = 0;
  virtual bool PaintRotatedMask(IImage base, IImage mask, IImage top, int x, int y,
                                double angleDegrees, const IBlend* blend) = 0;
  virtual bool PlotPoint(IRgba colour, float x, float y, const IBlend* blend, bool antialias) = 0;
  virtual bool StorePixel(IRgba colour, int x, int y) = 0;
  virtual bool DrawLine(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                        bool antialias) = 0;
  virtual bool DrawArc(IRgba colour, float cx, float cy, float r, float minAngle, float maxAngle,
                       const IBlend* blend, bool antialias) = 0;
  virtual bool DrawCircle(IRgba colour, float cx, float cy, float r, const IBlend* blend,
                          bool antialias) = 0;
  virtual bool FillBox(IRgba colour, IBox box, const IBlend* blend) = 0;
  virtual bool PaintText(const IFontSpec& font, const char* text, IBox box) = 0;
  // The pixels PaintText would touch for text in box (glyphs may reach past the
  // box); empty for empty text. Platforms that measure their text override it;
  // this estimate reserves a wide character cell per byte.
  virtual IBox TextBounds(const IFontSpec& font, const char* text, IBox box);
  virtual IRgba ReadPixel(int x, int y) = 0;
  virtual RasterPixel* GetSurfaceBits() = 0;
  // Copies what has been drawn so far inside area into `into`, whose top left
  // pixel takes area's top left corner; for controls that keep a picture of their
  // own. False when the host has no surface to read or area is not on it.
  virtual bool ReadSurface(IBox area, RasterBitmap* into) = 0;
  // Stores the new size, drops capture and every control, and has the plug-in
  // report the new editor rectangle; the owner then builds the controls anew.
  virtual void Resize(int width, int height);
  virtual bool IsEditorWindowOpen() { return GetEditorWindow() != nullptr; }
  virtual void PromptParamEdit(IWidget* control, IPlugParam* param) = 0;
  virtual void GetHostFolder(std::string& out) = 0;
  virtual void GetPluginFolder(std::string& out) = 0;
  // action 1 saves, anything else opens; out is empty when nothing was chosen.
  virtual void PromptFile(std::string& out, int action, const char* folder,
                          const char* extensions) = 0;
  virtual bool PromptColor(IRgba& colour, const char* title) = 0;
  virtual bool ShellOpen(const char* url, const char* title, const char* question,
                         const char* errorText) = 0;
  virtual void* GetEditorWindow() = 0;
  virtual IImage ImageFromResource(int id, const char* name, int frameCount) = 0;
  virtual IImage ScaledImage(IImage source, int width, int height) = 0;
  virtual IImage CroppedImage(IImage source, IBox region) = 0;
  // Puts the picture of resource id under every other control, at index 0.
  virtual void SetBackdrop(int id, const char* name);
  // Straight lines with plain copies; the raster host writes the pixels directly.
  virtual bool DrawVLine(IRgba colour, int x, int y1, int y2);
  virtual bool DrawHLine(IRgba colour, int y, int x1, int x2);
  virtual void TrackImage(IImage image) = 0;
  virtual void DropImage(IImage image) = 0;
  virtual RasterBitmap* LoadImageResource(int id, const char* name) = 0;

  // --- Controls -----------------------------------------------------------------
  // Takes ownership; returns the control's index (its drawing order).
  int AddWidget(IWidget* control);
  int WidgetCount() const { return int(controls.size()); }
  IWidget* Widget(int idx) const;

  // Frames are numbered from 1 and stacked vertically.
  bool PaintImageFrame(IImage image, IBox dest, int frame, const IBlend* blend);
  // The right and bottom lines lie on the box's right and bottom coordinates.
  bool DrawRectOutline(IRgba colour, IBox box);

  // Shows a parameter value in every control bound to it.
  void SetControlsFromPlugin(int paramIdx, double value, bool normalized) override;
  // Sets every control bound to paramIdx as if the user had, sending the value on.
  void SetControlsFromUser(int paramIdx, double normalized);
  void MarkAllDirty();
  // Adds the union of the dirty controls' rectangles to r; false when none is dirty.
  bool CollectDirty(IBox& r);
  // Draws every visible control that overlaps r, in index order, and presents r.
  bool DrawDirty(IBox r);
  // The captured control, else the topmost visible enabled control under (x, y).
  int WidgetAtPoint(int x, int y);

  // --- Mouse, from the window layer ----------------------------------------------
  void MouseDown(int x, int y, IMouseFlags mod);
  void MouseUp(int x, int y, IMouseFlags mod);
  void MouseDrag(int x, int y, IMouseFlags mod);
  // True when the control took the click as a press (the window then captures).
  bool MouseDoubleClick(int x, int y, IMouseFlags mod);
  void MouseWheel(int x, int y, IMouseFlags mod, int notches);
  // True asks the window layer to report when the mouse leaves the window.
  bool MouseHover(int x, int y, IMouseFlags mod);
  void MouseLeave();
  void SetHandleMouseOver(bool on) { handleMouseOver = on; }

  int Width() const override { return width; }
  int Height() const override { return height; }
  int Fps() const { return fps; }
  IPlugBase* Plugin() const { return plugin; }
  IBox DrawRect() const { return drawRect; }
  int CaptureIdx() const { return captureIdx; }
  ILock& Lock() { return lock; }

 protected:
  void ClearCapture();
  void DeleteControls();

  std::vector<IWidget*> controls;
  IPlugBase* plugin;
  IBox drawRect;
  // Owned by the host for its users; no operation here takes it, because the
  // plug-in side calls in holding its instance lock while drawing may take that
  // lock after this one.
  ILock lock;
  int width;
  int height;
  int fps;
  int captureIdx = -1;
  int mouseOverIdx = -1;
  int lastX = 0;
  int lastY = 0;
  bool handleMouseOver = false;
  bool captureRight = false;
};
