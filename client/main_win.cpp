// Entry point of CorvaneClient.exe.
#include <windows.h>
#include <commctrl.h>

#include "base/message_loop_win.h"
#include "client/main_dlg_win.h"
#include "resource.h"

namespace {

int RunMainWindow() {
  corvane::CMessageLoop loop;
  corvane::g_appModule.AddMessageLoop(&loop);
  int result = 0;
  {
    corvane::CMainDlg dlg;
    if (dlg.Create(nullptr, corvane::g_appModule.GetInstance(), IDD_MAINDLG) != nullptr) {
      ShowWindow(dlg.m_hWnd, SW_SHOWMAXIMIZED);
      result = loop.Run();
    }
  }
  corvane::g_appModule.RemoveMessageLoop();
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  corvane::g_appModule.Init(instance);
  const int result = RunMainWindow();
  corvane::g_appModule.Term();
  CoUninitialize();
  return result;
}
