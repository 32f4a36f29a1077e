// The demo's stand-in for the real installer: downloaded by the client as Setup.exe, it records
// how it was started (one line in "<its own path>.log") and says in a message box that it is
// the sample installer. It installs nothing.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring arguments = commandLine ? commandLine : L"";
  if (FILE* log = _wfopen((std::wstring(self) + L".log").c_str(), L"a")) {
    fwprintf(log, L"sample installer started with: %ls\n", arguments.c_str());
    fclose(log);
  }
  const std::wstring text = L"This is the Drovessa sample installer. It installs nothing.\n\nStarted with: " +
                            (arguments.empty() ? std::wstring(L"(no arguments)") : arguments);
  MessageBoxW(nullptr, text.c_str(), L"Drovessa sample installer", MB_OK | MB_ICONINFORMATION);
  return 0;
}
