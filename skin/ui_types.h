// Geometry, colours and the attribute value parsers shared by the control tree, the layout
// builder and the hosts. Coordinates are logical (96-DPI) pixels; the host scales.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

struct UiPoint {
  int x = 0;
  int y = 0;
};

struct UiSize {
  int cx = 0;
  int cy = 0;
};

struct UiRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(UiPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // Shrinks by the four widths of `by` (padding, inset, border).
  UiRect Deflated(const UiRect& by) const {
    return UiRect{left + by.left, top + by.top, right - by.right, bottom - by.bottom};
  }
  bool operator==(const UiRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const UiRect& o) const { return !(*this == o); }
};

// The largest coordinate or length, either sign, that the toolkit takes: far past any screen,
// and small enough that the layout's sums of a few of them cannot overflow an int.
constexpr int kUiCoordinateLimit = 1 << 24;

// 0xAARRGGBB; 0 means "not set" (nothing is drawn).
using UiColor = uint32_t;

enum class UiAlign { Near, Center, Far };

struct UiTextStyle {
  UiAlign horizontal = UiAlign::Near;
  UiAlign vertical = UiAlign::Center;
  bool wordWrap = false;
  bool endEllipsis = true;
};

// The keys the toolkit itself answers, as dialogs do.
enum class UiKey { Tab, ShiftTab, Space, Enter, Escape, Other };

// An image attribute: a plain file name ("a.png", drawn over the whole control) or
// "file='a.png' dest='l,t,r,b'" (drawn into that rectangle relative to the control).
struct UiImageSpec {
  std::wstring file;
  bool hasDest = false;
  UiRect dest;
};
UiImageSpec ParseImageSpec(const std::wstring& text);

// Attribute values. Nothing when the text is not of the kind, or a number lies past
// kUiCoordinateLimit.
std::optional<UiColor> ParseColor(const std::wstring& text);   // "#RRGGBB" or "#AARRGGBB"
std::optional<UiRect> ParseRect(const std::wstring& text);     // "l,t,r,b"
std::optional<UiSize> ParseSize(const std::wstring& text);     // "cx,cy"
std::optional<int> ParseInt(const std::wstring& text);
std::optional<bool> ParseBool(const std::wstring& text);       // "true" / "false"

}  // namespace corvane
