// Painting the control tree with GDI+: the process's GDI+ session, the decoded images and
// fonts of one window, and the IRenderTarget over a device context.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>

#include "skin/render_target.h"
#include "skin/ui_manager.h"

namespace corvane {

// Starts GDI+ once per process, on first use; shut down at process exit.
void EnsureGdiPlus();

// Images decoded from the skin (premultiplied, ready to draw) and the fonts of the layout,
// kept for the window's life. Failures are remembered so a missing image is looked up once.
class CPaintResources {
 public:
  explicit CPaintResources(const CUiManager& ui) : m_ui(ui) {}
  Gdiplus::Bitmap* Image(const std::wstring& name);
  Gdiplus::Font* Font(int id);
  void Clear();

 private:
  const CUiManager& m_ui;
  std::map<std::wstring, std::unique_ptr<Gdiplus::Bitmap>> m_images;
  std::map<int, std::unique_ptr<Gdiplus::Font>> m_fonts;
  std::unique_ptr<Gdiplus::FontFamily> m_fallbackFamily;
};

// Decodes PNG (or any GDI+ format) bytes into a 32-bit premultiplied bitmap; null on failure.
std::unique_ptr<Gdiplus::Bitmap> DecodeImage(const std::string& bytes);

class CGdiPlusRender : public IRenderTarget {
 public:
  // Draws in logical pixels onto `graphics`, scaled by `scale`.
  CGdiPlusRender(Gdiplus::Graphics& graphics, float scale, CPaintResources& resources);

  void FillRect(const UiRect& rc, UiColor color, int radius) override;
  void DrawBorder(const UiRect& rc, UiColor color, int width, int radius) override;
  bool DrawImage(const std::wstring& name, const UiRect& rc) override;
  void DrawString(const std::wstring& text, const UiRect& rc, int fontId, UiColor color,
                const UiTextStyle& style) override;
  void DrawFocusMark(const UiRect& rc, int radius) override;

 private:
  Gdiplus::Graphics& m_g;
  CPaintResources& m_resources;
};

// Saves a bitmap as a PNG file.
bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path);

}  // namespace corvane
