/* Stands for update.exe and Setup.exe: appends how it was started (command line, show
   command) to "<its own path>.log", one line per start. */
#include <windows.h>
#include <stdio.h>

int WINAPI wWinMain(HINSTANCE i, HINSTANCE p, PWSTR c, int show) {
  (void)i; (void)p; (void)c;
  wchar_t path[MAX_PATH + 8] = {0};
  GetModuleFileNameW(NULL, path, MAX_PATH);
  lstrcatW(path, L".log");
  STARTUPINFOW si;
  si.cb = sizeof(si);
  GetStartupInfoW(&si);
  int shown = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  FILE* f = _wfopen(path, L"a");
  if (f) {
    fwprintf(f, L"show=%d wmain_show=%d cmd=%ls\n", shown, show, GetCommandLineW());
    fclose(f);
  }
  return 0;
}
