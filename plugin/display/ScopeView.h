// The large display of the editor: on every redraw it pulls the newest samples of
// the four inputs from the plug-in and draws them as waveforms against time,
// spectra on a compressed frequency axis, or phase plots of the pairs 1/2 and 3/4.
// The mouse freezes it, places a measuring cursor, pans and zooms (the zooms go
// out as parameter values, so controls, host automation and the view all follow).
//
// Threads and locks: Draw and the mouse run on the GUI thread; ApplyParam and
// SetSampleRate come from the plug-in's parameter handler and reset, on any thread
// (a host's audio thread among them), with the plug-in's instance lock held. They
// only record the new settings, under the view's own lock (always taken after the
// instance lock, and held for short copies only). Everything heavy that follows
// from a setting (analysers sized, windows cleared, columns laid out) is done by
// Draw on the GUI thread, which takes a copy of the settings under the view's lock
// first, releases it, pulls the samples (which takes the instance lock) and then
// analyses and draws with no lock held: a host's call never waits for a redraw.
// The audio thread only sets the redraw flag.
#pragma once

#include <vector>

#include "graphics/IRgba.h"
#include "graphics/IWidget.h"
#include "iplug/ILock.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/ScopeViewMath.h"
#include "plugin/display/TracePicture.h"
#include "plugin/engine/ChannelWindow.h"
#include "plugin/engine/FreqRange.h"
#include "plugin/engine/SpectrumAnalyser.h"
#include "plugin/engine/SpectrumMapper.h"

class FrequencyReadout;
class IPlugParam;
class ITextWidget;
class ScopePlugin;

class ScopeView : public IWidget {
 public:
  static constexpr int kChannels = 4;

  // One input as the display keeps it.
  struct Channel {
    ChannelWindow window;
    IRgba colour;
    std::vector<float> columnTop;     // time domain: row of each column's maximum
    std::vector<float> columnBottom;  // ... and of its minimum
    SpectrumAnalyser analyser;
  };

  ScopeView(ScopePlugin* plugin, IBox rect);
  ~ScopeView() override;

  bool Draw(IGraphicsHost* graphics) override;

  // Mouse: click freezes (and in the time domain drops or picks up the cursor),
  // drag pans and zooms, the wheel zooms, a double click restores the domain's zoom.
  void MouseDown(int x, int y, IMouseFlags mod) override;
  void MouseUp(int x, int y) override;
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) override;
  void MouseDoubleClick(int x, int y, IMouseFlags mod) override;
  void MouseWheel(int x, int y, IMouseFlags mod, int notches) override;
  void MouseHover(int x, int y, IMouseFlags mod) override;
  void MouseLeave() override;

  // Audio thread: asks for a redraw, nothing else (one atomic operation). Also for
  // the redraw after the next, so a block processed while the view draws the one
  // before it is drawn too.
  void MarkDirtyFromAudio() { SetDirtyTwice(); }

  // A parameter change (instance lock held by the caller).
  void ApplyParam(int index, const IPlugParam& param);
  // Clears windows, levels, spectra and columns for a new sample rate.
  void SetSampleRate(double sampleRate);

  // The freeze button's side: frozen stops pulling samples; unfreezing also removes
  // the cursor (and, in the time domain, empties the cursor labels).
  void SetFrozen(bool frozen);
  bool Frozen() const { return frozen_; }

  // Wiring done once by the editor's construction.
  void SetReadout(FrequencyReadout* readout) { readout_ = readout; }
  void SetTimeLabels(ITextWidget* left, ITextWidget* right);
  void SetFreezeButton(IWidget* button) { freezeButton_ = button; }

  // The settings as the parameters left them (any thread), for the panel and tests.
  int Mode() const;
  double CursorPos() const;
  double XLow() const;
  double XHigh() const;
  double YZoom() const;
  float YScale() const;
  double TriggerLevel() const;
  int FftSize() const;
  FreqRange Range() const;
  // The GUI thread's records of the inputs, as the last redraw left them.
  const Channel& ChannelAt(int i) const { return channels_[static_cast<std::size_t>(i)]; }
  Channel& ChannelAt(int i) { return channels_[static_cast<std::size_t>(i)]; }

 private:
  // What the parameters and the reset set: written under the view's lock by
  // ApplyParam and SetSampleRate, copied by Draw.
  struct Settings {
    int mode = 0;
    double triggerLevel = -1.0;
    double blendSpeed = 0.5;
    int fftSize = -1;
    double sampleRate = 44100.0;
    double xLow = kDefaultZoom[kDomainTime].low;
    double xHigh = kDefaultZoom[kDomainTime].high;
    double yZoom = kDefaultZoom[kDomainTime].y;
    float yScale = 1.0f;
    float weight = 1.0f;  // the opacity, as the blend weight of bars and fills
    bool enabled[kChannels] = {};
    double delayMs[kChannels] = {};
    // Set by a change, cleared by the draw that takes it in.
    bool relayout = false;
    bool repaint = true;
    // Counts the resets; a draw that sees a new count clears what it keeps.
    unsigned resets = 0;
  };

  void ApplyDomain(int domain);
  // Sends zoom values out as parameters 13 to 15 (through the controls bound to
  // them); currentHigh decides which end goes first.
  void SendZoom(double low, double high, double currentHigh);
  void SendYZoom(double zoom);
  // Tells the host a zoom gesture begins: X zoom low and high, with Y zoom too when
  // asked; nothing when one is open already. EndZoomEdit ends the open one.
  void BeginZoomEdit(bool withYZoom);
  void EndZoomEdit();
  // GUI thread: copies the settings and does what follows from their changes.
  void TakeSettings();
  void ClearForReset();
  void ResetColumns();
  TraceRows Rows() const;
  // The time domain: columns brought up to date, the kept picture scrolled and
  // painted where it changed, then copied onto the editor.
  void DrawTimeDomain(IGraphicsHost* g);
  bool Triggered(int* runStarts);
  void RecomputeColumns(const ColumnGrid& grid, std::int64_t lastColumn, const int* runStarts);
  void AdvanceColumns(const ColumnGrid& grid, std::int64_t lastColumn, int shift);
  void PaintChangedColumns();
  void PaintDense(const TracePicture::Canvas& canvas, int from, int to) const;
  void PaintSparse(const TracePicture::Canvas& canvas, const int* runStarts) const;
  // Window index of display position 0 for a channel: its samples are shown
  // delay later than they arrived.
  std::int64_t WindowOrigin(const Channel& channel) const;
  void DrawSpectrum(IGraphicsHost* g, Channel& channel);
  void DrawPhasePairs(IGraphicsHost* g);
  void DrawPhase(IGraphicsHost* g, Channel& a, Channel& b);
  void DrawCursor(IGraphicsHost* g);
  void UpdateReadout();
  int CursorPixel(double cursor, double low, double high) const;
  bool NearCursor() const;  // view lock held
  double Fraction(int x) const;
  void UpdateCursorLabels();
  void Freeze();

  ScopePlugin* scope_;
  // Guarded by lock_: the settings, each domain's saved zooms and the cursor
  // (which a domain change removes); the mouse state is the GUI thread's but is
  // read and written under lock_ too.
  Settings settings_;
  // Each domain's zoom, kept while another domain is shown.
  DomainZoom saved_[3] = {kDefaultZoom[0], kDefaultZoom[1], kDefaultZoom[2]};
  double cursorPos_ = -1.0;
  int hoverCursorX_ = -1;
  int hoverX_ = -1;
  int hoverY_ = -1;
  bool dragCursor_ = false;
  mutable ILock lock_;
  // The zoom parameters of the gesture in progress whose edit the host was told
  // of: the first zoomEdits_ of kZoomParams (GUI thread only).
  static constexpr int kZoomParams[3] = {kParamXZoomLow, kParamXZoomHigh, kParamYZoom};
  int zoomEdits_ = 0;

  // The GUI thread's own, used by Draw without a lock.
  std::vector<Channel> channels_;
  Settings drawn_;             // the settings of the redraw in progress
  double drawnCursor_ = -1.0;  // the cursor as that redraw shows it
  int drawnHoverX_ = -1;
  int drawnHoverY_ = -1;
  bool drawnNearCursor_ = false;
  bool drawnDragCursor_ = false;
  int appliedFft_ = -1;  // the size the analysers and the mapper were made for
  double appliedBlend_ = -1.0;
  unsigned appliedResets_ = 0;
  FreqRange range_{};
  bool frozen_ = false;
  bool relayout_ = false;
  // The time picture must be painted whole (a parameter or the domain changed).
  bool repaint_ = true;
  // Samples pulled since the last reset; sample positions on the time axis
  // count from there, so columns stay where their samples are.
  std::int64_t clock_ = 0;
  // The shown columns' grid and its rightmost column, while they are up to date.
  bool columnsValid_ = false;
  std::int64_t gridSamples_ = 0;
  std::int64_t lastColumn_ = 0;
  std::vector<unsigned char> changed_;  // per column: its rows changed this redraw
  TracePicture picture_;
  SpectrumMapper mapper_;
  IBlend traceBlend_{IBLEND_OPAQUE, 1.0f};
  IBlend pointBlend_{IBLEND_ADD, 1.0f};
  FrequencyReadout* readout_ = nullptr;
  ITextWidget* leftLabel_ = nullptr;
  ITextWidget* rightLabel_ = nullptr;
  IWidget* freezeButton_ = nullptr;
};
