// What GDI+ paints, read back from the bitmaps: regions of the picture are checked against the
// colours and places the layout gives, at 100 % and 150 %, and on the real window's screen.
#include <gtest/gtest.h>

#include "skin/tests/window_test_support_win.h"

namespace corvane {
namespace {

using test::CProbeWindow;

constexpr DWORD kDialogStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(Gdiplus::Bitmap& bitmap, int x, int y) {
  Gdiplus::Color c;
  bitmap.GetPixel(x, y, &c);
  return Rgb{c.GetR(), c.GetG(), c.GetB()};
}

bool Near(Rgb a, UiColor expected, int tolerance = 6) {
  const int r = (expected >> 16) & 0xFF, g = (expected >> 8) & 0xFF, b = expected & 0xFF;
  return std::abs(a.r - r) <= tolerance && std::abs(a.g - g) <= tolerance && std::abs(a.b - b) <= tolerance;
}

// Share of the rectangle's pixels close to `color`.
double Coverage(Gdiplus::Bitmap& bitmap, const RECT& r, UiColor color, int tolerance = 24) {
  int hits = 0, total = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x, ++total) hits += Near(PixelAt(bitmap, x, y), color, tolerance) ? 1 : 0;
  }
  return total ? static_cast<double>(hits) / total : 0;
}

// Pixels much darker than the background: drawn text.
int DarkPixels(Gdiplus::Bitmap& bitmap, const RECT& r) {
  int dark = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const Rgb p = PixelAt(bitmap, x, y);
      dark += (p.r + p.g + p.b) < 3 * 110 ? 1 : 0;
    }
  }
  return dark;
}

RECT Inner(const RECT& r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

class UninstallPicture : public ::testing::TestWithParam<float> {};

TEST_P(UninstallPicture, ShowsTheFirstPageAsTheLayoutSays) {
  CProbeWindow w(L"uninstall_dlg.xml");
  ASSERT_NE(w.Create(nullptr, L"uninstall", kDialogStyle, WS_EX_APPWINDOW | WS_EX_STATICEDGE, 0, 0, 600, 800), nullptr);
  auto& m = w.Manager();
  m.SetDpiScale(GetParam());
  m.SetClientSize({480, 330});
  auto shot = m.RenderToBitmap();
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->GetWidth(), static_cast<UINT>(480 * GetParam() + 0.5f));

  // The primary button is filled with the accent colour, its text white on it.
  const RECT uninstall = m.ToPhysical(m.FindControl(L"page1_button_uninstall")->GetPos());
  EXPECT_GT(Coverage(*shot, Inner(uninstall, 3), 0xFF2F6FEB), 0.6);
  EXPECT_GT(Coverage(*shot, Inner(uninstall, 3), 0xFFFFFFFF, 60), 0.03) << "the button's text";
  // The secondary button is white with a grey border.
  const RECT cancel = m.ToPhysical(m.FindControl(L"page1_button_cancel")->GetPos());
  EXPECT_GT(Coverage(*shot, Inner(cancel, 3), 0xFFFFFFFF), 0.7);
  EXPECT_GT(DarkPixels(*shot, Inner(cancel, 3)), 10) << "its text \"取消\"";
  // The window's one-pixel border, the logo image at its place, the question in dark text.
  EXPECT_TRUE(Near(PixelAt(*shot, 0, shot->GetHeight() / 2), 0xFFD6DAE1, 12));
  const RECT begin = m.ToPhysical(m.FindControl(L"begin_view")->GetPos());
  const RECT logo{begin.left + static_cast<LONG>(40 * GetParam()), begin.top + static_cast<LONG>(30 * GetParam()),
                  begin.left + static_cast<LONG>(104 * GetParam()), begin.top + static_cast<LONG>(94 * GetParam())};
  EXPECT_GT(Coverage(*shot, logo, 0xFF2F6FEB), 0.5) << "the logo";
  const RECT text{logo.right, logo.top, begin.right, logo.bottom};
  EXPECT_GT(DarkPixels(*shot, text), 100);
  // The progress page is hidden: no bar anywhere.
  EXPECT_LT(Coverage(*shot, begin, 0xFFE8ECF2, 2), 0.01);

  // Hover darkens the button.
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM((uninstall.left + uninstall.right) / 2, (uninstall.top + uninstall.bottom) / 2));
  shot = m.RenderToBitmap();
  EXPECT_GT(Coverage(*shot, Inner(uninstall, 3), 0xFF2A63D4, 4), 0.6);

  // Second page at 40 %: the left 40 % of the bar in the accent colour, the rest its track.
  m.FindControl(L"begin_view")->SetVisible(false);
  m.FindControl(L"uninstall_view")->SetVisible(true);
  m.FindControlAs<CProgressUI>(L"uninstall_progress")->SetValue(40);
  shot = m.RenderToBitmap();
  const RECT bar = m.ToPhysical(m.FindControl(L"uninstall_progress")->GetPos());
  const LONG split = bar.left + (bar.right - bar.left) * 40 / 100;
  const LONG mid = (bar.top + bar.bottom) / 2;
  EXPECT_GT(Coverage(*shot, RECT{bar.left + 6, mid - 1, split - 3, mid + 1}, 0xFF2F6FEB, 8), 0.9);
  EXPECT_GT(Coverage(*shot, RECT{split + 3, mid - 1, bar.right - 6, mid + 1}, 0xFFE8ECF2, 8), 0.9);
  DestroyWindow(w);
}

INSTANTIATE_TEST_SUITE_P(Scales, UninstallPicture, ::testing::Values(1.0f, 1.5f));

TEST(MenuPicture, TheUpdateImagesReplaceTheAboutFace) {
  CProbeWindow w(L"tool_bar_menu.xml");
  w.Create(nullptr, L"tool_bar_menu", WS_POPUP | WS_VISIBLE, WS_EX_WINDOWEDGE);
  auto& m = w.Manager();
  auto* about = m.FindControlAs<CButtonUI>(L"button_about");
  ASSERT_NE(about, nullptr);
  const RECT r = m.ToPhysical(about->GetPos());
  const float s = m.GetDpiScale();
  const RECT badge{r.left + static_cast<LONG>(122 * s), r.top + static_cast<LONG>(12 * s),
                   r.left + static_cast<LONG>(154 * s), r.top + static_cast<LONG>(24 * s)};
  auto before = m.RenderToBitmap();
  EXPECT_LT(Coverage(*before, badge, 0xFFE5484D, 30), 0.05);
  about->SetNormalImage(L"tool_bar_menu_about_update_normal.png");
  about->SetHotImage(L"tool_bar_menu_about_update_hover.png");
  about->SetPushedImage(L"tool_bar_menu_about_update_press.png");
  auto after = m.RenderToBitmap();
  EXPECT_GT(Coverage(*after, badge, 0xFFE5484D, 30), 0.4) << "the red \"新版本\" badge";
  EXPECT_GT(DarkPixels(*after, RECT{r.left + static_cast<LONG>(40 * s), r.top, r.left + static_cast<LONG>(118 * s), r.bottom}), 30)
      << "the item's text \"关于Drovessa\" is still drawn";
  DestroyWindow(w);
}

TEST(WindowPicture, TheWindowOnScreenMatchesTheRenderingAndShowsTheFocusMark) {
  CProbeWindow w(L"close_prompt_dlg.xml");
  w.Create(nullptr, L"close_prompt_dlg", WS_VISIBLE, WS_EX_WINDOWEDGE | WS_EX_TOPMOST);
  w.CenterWindow();
  SetForegroundWindow(w);
  SetFocus(w);
  auto& m = w.Manager();
  for (int i = 0; i < 3; ++i) SendMessageW(w, WM_KEYDOWN, VK_TAB, 0);  // button_ok
  ASSERT_EQ(m.GetFocus()->GetName(), L"button_ok");
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  test::Pump();

  RECT client;
  GetClientRect(w, &client);
  HDC screen = GetDC(w);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP captured = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, captured);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  Gdiplus::Bitmap onScreen(captured, nullptr);
  auto rendered = m.RenderToBitmap();

  const RECT ok = m.ToPhysical(m.FindControl(L"button_ok")->GetPos());
  EXPECT_GT(Coverage(onScreen, Inner(ok, 3), 0xFF2F6FEB), 0.6) << "the window on screen shows the primary button";
  // The dotted mark just outside the focused button.
  const RECT ring{ok.left - 3, ok.top - 3, ok.right + 3, ok.top - 1};
  EXPECT_GT(Coverage(*rendered, ring, 0xFF2F6FEB, 80), 0.15);
  // Block averages: the same picture, whatever sub-pixel differences the two paths have.
  constexpr int kBlock = 8;
  int differing = 0, blocks = 0;
  for (int by = 0; by + kBlock <= client.bottom; by += kBlock) {
    for (int bx = 0; bx + kBlock <= client.right; bx += kBlock, ++blocks) {
      long sa = 0, sb = 0;
      for (int y = by; y < by + kBlock; ++y) {
        for (int x = bx; x < bx + kBlock; ++x) {
          const Rgb a = PixelAt(onScreen, x, y), b = PixelAt(*rendered, x, y);
          sa += a.r + a.g + a.b;
          sb += b.r + b.g + b.b;
        }
      }
      // Text is anti-aliased a little differently on a window DC than on a bitmap (Wine).
      const bool differs = std::abs(sa - sb) / (kBlock * kBlock) > 120;
      differing += differs ? 1 : 0;
    }
  }
  EXPECT_LT(differing, blocks / 50) << "screen and rendering agree";
  if (getenv("CORVANE_SKIN_TEST_SHOTS")) {
    SavePng(onScreen, L"screen.png");
    SavePng(*rendered, L"rendered.png");
  }
  DeleteObject(captured);
  DeleteDC(memory);
  ReleaseDC(w, screen);
  DestroyWindow(w);
}

}  // namespace
}  // namespace corvane
