// What a control asks of the painter. The Win32 host implements it with GDI+; a GTK host
// would with Cairo. Rectangles are logical pixels; the painter applies the window's scale.
#pragma once

#include <string>

#include "skin/ui_types.h"

namespace corvane {

class IRenderTarget {
 public:
  virtual void FillRect(const UiRect& rc, UiColor color, int radius) = 0;
  virtual void DrawBorder(const UiRect& rc, UiColor color, int width, int radius) = 0;
  // Draws the named image of the skin stretched over `rc`; false when it cannot (missing,
  // undecodable), so the caller may fall back to colours.
  virtual bool DrawImage(const std::wstring& name, const UiRect& rc) = 0;
  virtual void DrawString(const std::wstring& text, const UiRect& rc, int fontId, UiColor color,
                        const UiTextStyle& style) = 0;
  // The keyboard focus mark around a control.
  virtual void DrawFocusMark(const UiRect& rc, int radius) = 0;

 protected:
  ~IRenderTarget() = default;
};

// A square border as four bands inside `rc`, filled through `render`: crisp on whole pixels.
// Both painters draw square borders so.
inline void FillBorderBands(IRenderTarget& render, const UiRect& rc, UiColor color, int width) {
  render.FillRect(UiRect{rc.left, rc.top, rc.right, rc.top + width}, color, 0);
  render.FillRect(UiRect{rc.left, rc.bottom - width, rc.right, rc.bottom}, color, 0);
  render.FillRect(UiRect{rc.left, rc.top + width, rc.left + width, rc.bottom - width}, color, 0);
  render.FillRect(UiRect{rc.right - width, rc.top + width, rc.right, rc.bottom - width}, color, 0);
}

}  // namespace corvane
