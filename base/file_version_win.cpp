// ReadFileVersion through version.dll: GetFileVersionInfoSizeW, GetFileVersionInfoW, VerQueryValueW.
#include <windows.h>

#include <vector>

#include "base/file_version.h"

namespace corvane {

FileVersion ReadFileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0 || size > kMaxVersionInfoBytes) return FileVersion();
  std::vector<BYTE> block(kMaxVersionInfoBytes, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return FileVersion();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return FileVersion();
  }
  return MakeFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

}  // namespace corvane
