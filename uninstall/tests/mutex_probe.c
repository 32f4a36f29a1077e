/* Starts the way the client does: exit code 183 when the client's mutex already exists, else 0. */
#include <windows.h>
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) {
  (void)i; (void)p; (void)c; (void)s;
  HANDLE m = CreateMutexW(NULL, FALSE, L"corvane_client_{7E025D74-F00F-4E9B-976B-084ACB853F36}");
  DWORD err = GetLastError();
  if (m) CloseHandle(m);
  return err == ERROR_ALREADY_EXISTS ? 183 : 0;
}
