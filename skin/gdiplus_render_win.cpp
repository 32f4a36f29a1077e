// GDI+ painting: rounded fills and borders, stretched images, text in the layout's fonts and
// the focus mark.
#include "skin/gdiplus_render_win.h"

#include <shlwapi.h>

#include <sstream>
#include <vector>

#include "base/unique_handle_win.h"

namespace corvane {
namespace {

struct GdiPlusSession {
  GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
  }
  ~GdiPlusSession() { Gdiplus::GdiplusShutdown(token); }
  ULONG_PTR token = 0;
};

Gdiplus::Color ToColor(UiColor c) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(c)); }

Gdiplus::RectF ToRectF(const UiRect& rc) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                        static_cast<Gdiplus::REAL>(rc.Width()), static_cast<Gdiplus::REAL>(rc.Height()));
}

void AddRoundedRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& r, float radius) {
  const float d = radius * 2;
  path.AddArc(r.X, r.Y, d, d, 180, 90);
  path.AddArc(r.X + r.Width - d, r.Y, d, d, 270, 90);
  path.AddArc(r.X + r.Width - d, r.Y + r.Height - d, d, d, 0, 90);
  path.AddArc(r.X, r.Y + r.Height - d, d, d, 90, 90);
  path.CloseFigure();
}

std::vector<std::wstring> SplitFaces(const std::wstring& faces) {
  std::vector<std::wstring> out;
  std::wstringstream in(faces);
  std::wstring face;
  while (std::getline(in, face, L',')) {
    while (!face.empty() && face.front() == L' ') face.erase(face.begin());
    while (!face.empty() && face.back() == L' ') face.pop_back();
    if (!face.empty()) out.push_back(face);
  }
  return out;
}

}  // namespace

void EnsureGdiPlus() { static GdiPlusSession session; }

std::unique_ptr<Gdiplus::Bitmap> DecodeImage(const std::string& bytes) {
  EnsureGdiPlus();
  UniqueComRef<IStream> stream(
      SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.Get()));
  if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok || decoded->GetWidth() == 0) return nullptr;
  // A copy of our own: independent of the stream, and premultiplied for fast drawing.
  auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(decoded->GetWidth()),
                                                static_cast<INT>(decoded->GetHeight()), PixelFormat32bppPARGB);
  if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics g(copy.get());
  g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  g.DrawImage(decoded.get(), 0, 0, static_cast<INT>(decoded->GetWidth()), static_cast<INT>(decoded->GetHeight()));
  return copy;
}

Gdiplus::Bitmap* CPaintResources::Image(const std::wstring& name) {
  auto it = m_images.find(name);
  if (it != m_images.end()) return it->second.get();
  std::unique_ptr<Gdiplus::Bitmap> image;
  if (const IResourceSource* skin = m_ui.GetResources()) {
    if (auto bytes = skin->Read(name)) image = DecodeImage(*bytes);
  }
  return m_images.emplace(name, std::move(image)).first->second.get();
}

Gdiplus::Font* CPaintResources::Font(int id) {
  const UiFont* def = m_ui.GetFont(id);
  const int key = def ? def->id : -1;
  auto it = m_fonts.find(key);
  if (it != m_fonts.end()) return it->second.get();
  EnsureGdiPlus();
  const float size = def ? static_cast<float>(def->size) : 12.0f;
  int style = Gdiplus::FontStyleRegular;
  if (def && def->bold) style |= Gdiplus::FontStyleBold;
  if (def && def->underline) style |= Gdiplus::FontStyleUnderline;
  std::unique_ptr<Gdiplus::Font> font;
  if (def) {
    for (const std::wstring& face : SplitFaces(def->face)) {
      Gdiplus::FontFamily family(face.c_str());
      if (family.GetLastStatus() != Gdiplus::Ok) continue;
      font = std::make_unique<Gdiplus::Font>(&family, size, style, Gdiplus::UnitPixel);
      if (font->GetLastStatus() == Gdiplus::Ok) break;
      font.reset();
    }
  }
  if (!font) {
    if (!m_fallbackFamily) m_fallbackFamily.reset(Gdiplus::FontFamily::GenericSansSerif()->Clone());
    font = std::make_unique<Gdiplus::Font>(m_fallbackFamily.get(), size, style, Gdiplus::UnitPixel);
  }
  return m_fonts.emplace(key, std::move(font)).first->second.get();
}

void CPaintResources::Clear() {
  m_images.clear();
  m_fonts.clear();
}

CGdiPlusRender::CGdiPlusRender(Gdiplus::Graphics& graphics, float scale, CPaintResources& resources)
    : m_g(graphics), m_resources(resources) {
  m_g.ResetTransform();
  m_g.ScaleTransform(scale, scale);
  m_g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  m_g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  m_g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  m_g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
}

void CGdiPlusRender::FillRect(const UiRect& rc, UiColor color, int radius) {
  if (rc.IsEmpty() || color == 0) return;
  Gdiplus::SolidBrush brush(ToColor(color));
  const Gdiplus::RectF r = ToRectF(rc);
  if (radius <= 0) {
    m_g.FillRectangle(&brush, r);
    return;
  }
  Gdiplus::GraphicsPath path;
  AddRoundedRect(path, r, static_cast<float>(std::min(radius, std::min(rc.Width(), rc.Height()) / 2)));
  m_g.FillPath(&brush, &path);
}

void CGdiPlusRender::DrawBorder(const UiRect& rc, UiColor color, int width, int radius) {
  if (rc.IsEmpty() || color == 0 || width <= 0) return;
  if (radius <= 0) {
    FillBorderBands(*this, rc, color, width);
    return;
  }
  Gdiplus::Pen pen(ToColor(color), static_cast<Gdiplus::REAL>(width));
  const float half = width / 2.0f;
  Gdiplus::RectF r = ToRectF(rc);
  r.Inflate(-half, -half);
  Gdiplus::GraphicsPath path;
  AddRoundedRect(path, r, static_cast<float>(radius) - half);
  m_g.DrawPath(&pen, &path);
}

bool CGdiPlusRender::DrawImage(const std::wstring& name, const UiRect& rc) {
  if (rc.IsEmpty()) return false;
  Gdiplus::Bitmap* image = m_resources.Image(name);
  if (!image) return false;
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no dark seams at the edges
  const Gdiplus::RectF r = ToRectF(rc);
  m_g.DrawImage(image, r, 0, 0, static_cast<Gdiplus::REAL>(image->GetWidth()),
                static_cast<Gdiplus::REAL>(image->GetHeight()), Gdiplus::UnitPixel, &attributes);
  return true;
}

void CGdiPlusRender::DrawString(const std::wstring& text, const UiRect& rc, int fontId, UiColor color,
                              const UiTextStyle& style) {
  if (text.empty() || rc.IsEmpty()) return;
  Gdiplus::StringFormat format;
  auto align = [](UiAlign a) {
    return a == UiAlign::Center ? Gdiplus::StringAlignmentCenter
           : a == UiAlign::Far  ? Gdiplus::StringAlignmentFar
                                : Gdiplus::StringAlignmentNear;
  };
  format.SetAlignment(align(style.horizontal));
  format.SetLineAlignment(align(style.vertical));
  format.SetFormatFlags(style.wordWrap ? 0 : Gdiplus::StringFormatFlagsNoWrap);
  format.SetTrimming(style.endEllipsis ? Gdiplus::StringTrimmingEllipsisCharacter : Gdiplus::StringTrimmingWord);
  Gdiplus::SolidBrush brush(ToColor(color));
  m_g.DrawString(text.c_str(), static_cast<INT>(text.size()), m_resources.Font(fontId), ToRectF(rc), &format,
                 &brush);
}

void CGdiPlusRender::DrawFocusMark(const UiRect& rc, int radius) {
  // Just outside the control, so it shows on accent-coloured buttons too.
  const UiRect mark{rc.left - 2, rc.top - 2, rc.right + 2, rc.bottom + 2};
  if (mark.IsEmpty()) return;
  Gdiplus::Pen pen(Gdiplus::Color(0xFF2F6FEB), 1.5f);
  pen.SetDashStyle(Gdiplus::DashStyleDot);
  Gdiplus::RectF r = ToRectF(mark);
  if (radius <= 0) {
    m_g.DrawRectangle(&pen, r);
    return;
  }
  Gdiplus::GraphicsPath path;
  AddRoundedRect(path, r, static_cast<float>(radius + 2));
  m_g.DrawPath(&pen, &path);
}

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
  // {557CF406-1A04-11D3-9A73-0000F81EF32E}: the built-in PNG encoder.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace corvane
