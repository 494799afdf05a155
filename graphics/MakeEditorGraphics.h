#pragma once
// The editor's graphics host for the platform this module is built for, so the
// product creates its editor without knowing the platform.
class IGraphicsLice;
class IPlugBase;

// fps <= 0 selects the default redraw rate.
IGraphicsLice* MakeEditorGraphics(IPlugBase* plugin, int width, int height, int fps);
