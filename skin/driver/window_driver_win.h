// Drives a skinned window of another process as a person would: finds it, works out where a
// named control lies from the same skin archive and layout, and clicks there with the mouse.
// For end-to-end tests of the programs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "skin/ui_manager.h"

namespace corvane {
namespace driver {

// The first visible top-level window of that class belonging to `processId` (0: any process),
// waiting up to `timeoutMs`; null when none appeared.
HWND WaitForWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs);

// The centre of `control` in screen coordinates for `window` showing `layout` from `zipPath`.
// `prepare` may change the laid-out tree first (show the page the program shows now).
// False when the layout or the control cannot be found.
bool ControlCentre(HWND window, const std::wstring& zipPath, const std::wstring& layout, const wchar_t* control,
                   const std::function<void(CUiManager&)>& prepare, POINT& centre);

// Moves the mouse to `screen` and presses and releases the left button there.
void ClickAt(HWND window, POINT screen);

// Polls `condition` every 100 ms until it holds (true) or `timeoutMs` have passed (false).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// The colour on the screen at `screen`.
COLORREF ScreenPixel(POINT screen);

// True when `a` and `b` differ by at most `tolerance` in each channel.
bool ColourNear(COLORREF a, COLORREF b, int tolerance);

}  // namespace driver
}  // namespace corvane
