// CPaintManagerUI on GTK 3: the program's folder (skin archives are looked for there), the
// main loop with its quit request, and the translation of a window's GDK events into the
// portable manager's events, painting with Cairo. GDK delivers events in logical pixels and
// scales the window's drawing itself (its scale factor), so the window's own factor is 1; a
// different factor applies to off-screen pictures (RenderToSurface).
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "skin/cairo_render_gtk.h"
#include "skin/ui_manager.h"
#include "skin/ui_scale.h"

namespace corvane {

class CPaintManagerUI : public CUiManager {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI() override;

  // Once at start: the folder that holds "skin.zip" ("" for the executable's own folder).
  static void SetInstance(const std::wstring& folder);
  // The folder with a trailing slash.
  static std::wstring GetInstancePath();
  // Runs the GTK main loop until QuitMessageLoop; returns the code given to it.
  static int MessageLoop();
  // Ends the innermost running loop (a modal run hands it on to the outer one).
  static void QuitMessageLoop(int code);
  // Takes a pending quit request: true (with its code) when there was one.
  static bool TakeQuitRequest(int& code);

  void Init(GtkWidget* window);
  GtkWidget* GetPaintWindow() const { return m_window; }
  // Device pixels per logical pixel: GDK's scale factor of the window's monitor.
  float GetDpiScale() const;
  // The factor of off-screen pictures (GDK's own by default).
  void SetDpiScale(float scale);
  // Events arrive in logical pixels: the conversions of the window are 1:1.
  const UiScale& GetScale() const { return m_windowScale; }

  // The window's events; true when used up.
  bool HandleEvent(GdkEvent* event);
  // Paints the whole client area onto `cr` (logical coordinates).
  void PaintTo(cairo_t* cr, float scale = 1.0f);
  // Paints into a new ARGB surface of the client size at the picture factor.
  UniqueCairoSurface RenderToSurface();

  CPaintResources& GetPaintResources() { return m_resources; }

 private:
  GtkWidget* m_window = nullptr;
  UiScale m_windowScale;
  float m_pictureScale = 0;  // 0: GDK's
  CPaintResources m_resources;
};

// Saves a surface as a PNG file.
bool SavePng(cairo_surface_t* surface, const std::wstring& path);

}  // namespace corvane
