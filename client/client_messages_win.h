// The client's window messages, all posted to the main window g_hMainWnd (both parameters 0
// unless noted), and the handle itself.
#pragma once

#include <windows.h>

namespace corvane {

// Commands from the tray menu and the skinned windows.
constexpr UINT WM_TRAYICON = WM_USER + 1001;  // wParam: icon id 1; lParam: the mouse message
constexpr UINT WM_SHOWSETTINGS = WM_USER + 1002;
constexpr UINT WM_SHOWHELP = WM_USER + 1003;
constexpr UINT WM_SHOWABOUT = WM_USER + 1004;
constexpr UINT WM_EXITAPP = WM_USER + 1005;
constexpr UINT WM_GOBACK = WM_USER + 1006;
constexpr UINT WM_GOFORWARD = WM_USER + 1007;
constexpr UINT WM_RELOADPAGE = WM_USER + 1008;
constexpr UINT WM_SHOWTOOLBARMENU = WM_USER + 1009;

// Notices from the browser handlers and the self-update.
constexpr UINT WM_NAVSTATE = WM_USER + 10010;  // wParam: can go back; lParam: can go forward
constexpr UINT WM_UPDATEAVAILABLE = WM_USER + 10011;
constexpr UINT WM_INSTALLERREADY = WM_USER + 10012;
constexpr UINT WM_RELAYOUT = WM_USER + 10013;
// A downloaded update whose signature did not verify was thrown away.
constexpr UINT WM_UPDATEUNVERIFIED = WM_USER + 10014;
// The page let go after CloseBrowser(false) (its beforeunload answered, or it could not answer):
// an exit asked for may end the program now.
constexpr UINT WM_PAGELETGO = WM_USER + 10015;

// Set by the main window's initialisation; never cleared.
extern HWND g_hMainWnd;

}  // namespace corvane
