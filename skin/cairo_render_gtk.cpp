// Cairo painting: rounded fills and borders, stretched images, text through Pango in the
// layout's fonts (fontconfig falls back per character, so Chinese text finds WenQuanYi Micro
// Hei) and the focus mark.
#include "skin/cairo_render_gtk.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "base/utf8.h"

namespace corvane {
namespace {

void SetColor(cairo_t* cr, UiColor c) {
  cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        ((c >> 24) & 0xFF) / 255.0);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  if (r <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

struct PixbufLoaderFree {
  void operator()(GdkPixbufLoader* l) const {
    gdk_pixbuf_loader_close(l, nullptr);
    g_object_unref(l);
  }
};

}  // namespace

UniqueCairoSurface DecodeImage(const std::string& bytes) {
  std::unique_ptr<GdkPixbufLoader, PixbufLoaderFree> loader(gdk_pixbuf_loader_new());
  if (!gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr) ||
      !gdk_pixbuf_loader_close(loader.get(), nullptr)) {
    return nullptr;
  }
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());  // owned by the loader
  if (!pixbuf) return nullptr;
  UniqueCairoSurface surface(gdk_cairo_surface_create_from_pixbuf(pixbuf, 1, nullptr));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return surface;
}

cairo_surface_t* CPaintResources::Image(const std::wstring& name) {
  auto it = m_images.find(name);
  if (it != m_images.end()) return it->second.get();
  UniqueCairoSurface image;
  if (const IResourceSource* skin = m_ui.GetResources()) {
    if (auto bytes = skin->Read(name)) image = DecodeImage(*bytes);
  }
  return m_images.emplace(name, std::move(image)).first->second.get();
}

const PangoFontDescription* CPaintResources::Font(int id) {
  const UiFont* def = m_ui.GetFont(id);
  const int key = def ? def->id : -1;
  auto it = m_fonts.find(key);
  if (it != m_fonts.end()) return it->second.get();
  UniquePangoFont font(pango_font_description_new());
  // Pango takes the comma-separated list as it is: the first installed face wins, fontconfig
  // fills in what it lacks.
  const std::string faces = def ? WideToUtf8(def->face) : std::string();
  pango_font_description_set_family(font.get(), faces.empty() ? "sans-serif" : faces.c_str());
  pango_font_description_set_absolute_size(font.get(), (def ? def->size : 12) * PANGO_SCALE);
  pango_font_description_set_weight(font.get(), def && def->bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  return m_fonts.emplace(key, std::move(font)).first->second.get();
}

void CPaintResources::Clear() {
  m_images.clear();
  m_fonts.clear();
}

CCairoRender::CCairoRender(cairo_t* cr, float scale, CPaintResources& resources) : m_cr(cr), m_resources(resources) {
  cairo_save(m_cr);
  cairo_scale(m_cr, scale, scale);
}

CCairoRender::~CCairoRender() { cairo_restore(m_cr); }

void CCairoRender::FillRect(const UiRect& rc, UiColor color, int radius) {
  if (rc.IsEmpty() || color == 0) return;
  const int r = std::min(radius, std::min(rc.Width(), rc.Height()) / 2);
  RoundedRect(m_cr, rc.left, rc.top, rc.Width(), rc.Height(), r);
  SetColor(m_cr, color);
  cairo_fill(m_cr);
}

void CCairoRender::DrawBorder(const UiRect& rc, UiColor color, int width, int radius) {
  if (rc.IsEmpty() || color == 0 || width <= 0) return;
  if (radius <= 0) {
    FillBorderBands(*this, rc, color, width);
    return;
  }
  const double half = width / 2.0;
  RoundedRect(m_cr, rc.left + half, rc.top + half, rc.Width() - width, rc.Height() - width, radius - half);
  SetColor(m_cr, color);
  cairo_set_line_width(m_cr, width);
  cairo_stroke(m_cr);
}

bool CCairoRender::DrawImage(const std::wstring& name, const UiRect& rc) {
  if (rc.IsEmpty()) return false;
  cairo_surface_t* image = m_resources.Image(name);
  if (!image) return false;
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  if (w <= 0 || h <= 0) return false;
  cairo_save(m_cr);
  cairo_rectangle(m_cr, rc.left, rc.top, rc.Width(), rc.Height());
  cairo_clip(m_cr);
  cairo_translate(m_cr, rc.left, rc.top);
  cairo_scale(m_cr, static_cast<double>(rc.Width()) / w, static_cast<double>(rc.Height()) / h);
  cairo_set_source_surface(m_cr, image, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(m_cr), CAIRO_EXTEND_PAD);  // no dark seams at the edges
  cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_GOOD);
  cairo_paint(m_cr);
  cairo_restore(m_cr);
  return true;
}

void CCairoRender::DrawString(const std::wstring& text, const UiRect& rc, int fontId, UiColor color,
                              const UiTextStyle& style) {
  if (text.empty() || rc.IsEmpty()) return;
  PangoLayout* layout = pango_cairo_create_layout(m_cr);
  const std::string utf8 = WideToUtf8(text);
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  pango_layout_set_font_description(layout, m_resources.Font(fontId));
  if (const UiFont* def = m_resources.FontDefinition(fontId); def && def->underline) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  pango_layout_set_width(layout, rc.Width() * PANGO_SCALE);
  if (style.wordWrap) {
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_height(layout, rc.Height() * PANGO_SCALE);  // whole lines only
  } else {
    pango_layout_set_height(layout, 0);  // one line
  }
  pango_layout_set_ellipsize(layout, style.endEllipsis || !style.wordWrap ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
  pango_layout_set_alignment(layout, style.horizontal == UiAlign::Center ? PANGO_ALIGN_CENTER
                                     : style.horizontal == UiAlign::Far  ? PANGO_ALIGN_RIGHT
                                                                         : PANGO_ALIGN_LEFT);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  double y = rc.top;
  if (style.vertical == UiAlign::Center) y += (rc.Height() - height) / 2.0;
  if (style.vertical == UiAlign::Far) y += rc.Height() - height;
  cairo_save(m_cr);
  cairo_rectangle(m_cr, rc.left, rc.top, rc.Width(), rc.Height());
  cairo_clip(m_cr);
  SetColor(m_cr, color);
  cairo_move_to(m_cr, rc.left, y);
  pango_cairo_show_layout(m_cr, layout);
  cairo_restore(m_cr);
  g_object_unref(layout);
}

void CCairoRender::DrawFocusMark(const UiRect& rc, int radius) {
  // Just outside the control, so it shows on accent-coloured buttons too.
  const UiRect mark{rc.left - 2, rc.top - 2, rc.right + 2, rc.bottom + 2};
  if (mark.IsEmpty()) return;
  cairo_save(m_cr);
  RoundedRect(m_cr, mark.left, mark.top, mark.Width(), mark.Height(), radius > 0 ? radius + 2 : 0);
  SetColor(m_cr, 0xFF2F6FEB);
  cairo_set_line_width(m_cr, 1.5);
  const double dots[] = {1.5, 1.5};
  cairo_set_dash(m_cr, dots, 2, 0);
  cairo_stroke(m_cr);
  cairo_restore(m_cr);
}

}  // namespace corvane
