// Entry point of uninstall.exe: one skinned window, the toolkit's message loop, exit code 0.
#include <windows.h>

#include "skin/paint_manager_win.h"
#include "uninstall/uninstall_dlg_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  corvane::CPaintManagerUI::SetInstance(instance);
  if (FAILED(CoInitialize(nullptr))) return 0;  // COM stays initialised until the process ends
  corvane::CUnInstallDlg dlg;
  dlg.Create(nullptr, L"Drovessa\x8001\x5E08\x7AEF\x5378\x8F7D\x7A0B\x5E8F",  // Drovessa老师端卸载程序
             WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW | WS_EX_STATICEDGE, 0, 0, 600, 800);
  dlg.CenterWindow();
  ::ShowWindow(dlg.GetHWND(), SW_SHOW);
  corvane::CPaintManagerUI::MessageLoop();
  return 0;
}
