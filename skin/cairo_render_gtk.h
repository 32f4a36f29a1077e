// Painting the control tree with Cairo and Pango: the decoded images and fonts of one window,
// and the IRenderTarget over a Cairo context.
#pragma once

#include <cairo.h>
#include <pango/pango.h>

#include <map>
#include <memory>
#include <string>

#include "skin/render_target.h"
#include "skin/ui_manager.h"

namespace corvane {

struct CairoSurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using UniqueCairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceFree>;

struct PangoFontFree {
  void operator()(PangoFontDescription* f) const { pango_font_description_free(f); }
};
using UniquePangoFont = std::unique_ptr<PangoFontDescription, PangoFontFree>;

// Decodes PNG (or any gdk-pixbuf format) bytes into an ARGB surface; null on failure.
UniqueCairoSurface DecodeImage(const std::string& bytes);

// Images decoded from the skin and the layout's fonts, kept for the window's life. Failures
// are remembered so a missing image is looked up once.
class CPaintResources {
 public:
  explicit CPaintResources(const CUiManager& ui) : m_ui(ui) {}
  cairo_surface_t* Image(const std::wstring& name);
  const PangoFontDescription* Font(int id);
  const UiFont* FontDefinition(int id) const { return m_ui.GetFont(id); }
  void Clear();

 private:
  const CUiManager& m_ui;
  std::map<std::wstring, UniqueCairoSurface> m_images;
  std::map<int, UniquePangoFont> m_fonts;
};

class CCairoRender : public IRenderTarget {
 public:
  // Draws in logical pixels onto `cr`, scaled by `scale` (1 where GDK scales the window).
  CCairoRender(cairo_t* cr, float scale, CPaintResources& resources);
  ~CCairoRender();

  void FillRect(const UiRect& rc, UiColor color, int radius) override;
  void DrawBorder(const UiRect& rc, UiColor color, int width, int radius) override;
  bool DrawImage(const std::wstring& name, const UiRect& rc) override;
  void DrawString(const std::wstring& text, const UiRect& rc, int fontId, UiColor color,
                  const UiTextStyle& style) override;
  void DrawFocusMark(const UiRect& rc, int radius) override;

 private:
  cairo_t* m_cr;
  CPaintResources& m_resources;
};

}  // namespace corvane
