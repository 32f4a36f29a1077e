// GetModuleFileNameW (260-character buffer) cut by PathRemoveFileSpecW.
#include <windows.h>
#include <shlwapi.h>

#include "base/program_folder.h"

namespace corvane {

std::wstring GetProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  PathRemoveFileSpecW(path);
  return path;
}

}  // namespace corvane
