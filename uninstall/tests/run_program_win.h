// Runs a helper program of the tests to its end and gives its exit code.
#pragma once

#include <windows.h>

#include <string>

namespace corvane {

// The exit code of `program` (waited for up to 10 s), or -1 when it cannot be started.
inline DWORD RunAndWait(const std::wstring& program) {
  PROCESS_INFORMATION pi = {};
  STARTUPINFOW si = {sizeof(si)};
  std::wstring command = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

}  // namespace corvane
