// What the plug-in base needs of an attached editor. The graphics host of the GUI
// framework implements it; the plug-in side knows nothing else about drawing.
#pragma once

class IGraphicsInterface {
 public:
  virtual ~IGraphicsInterface() = default;

  // Shows a parameter's value in every control bound to it. `value` is normalised
  // when `normalized` is true, else a real value the host converts itself.
  virtual void SetControlsFromPlugin(int paramIdx, double value, bool normalized) = 0;
  // Creates the drawing surfaces; called once when the editor is attached.
  virtual void PrepareSurfaces() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Opens the editor as a child of the host's window; returns the window or null.
  virtual void* OpenEditorWindow(void* parent) = 0;
  virtual void CloseEditorWindow() = 0;
  // Closes the window if it is open and returns once no thread of the editor's own
  // (a window layer's event and redraw thread) is inside the editor any more.
  // Called without the instance lock, right before the instance is destroyed,
  // since such a thread may be waiting for that lock inside a redraw.
  virtual void ShutDownEditor() {}
};
