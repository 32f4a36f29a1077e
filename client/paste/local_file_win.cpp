// Windows: a UTF-8 name is opened through the wide-character API, so letters outside the
// active code page (a teacher's Chinese account name on a Western system) still name the file;
// an active code page name is handed over as it stands. Pasted HTML comes from any program and
// names any path: only disk files are read, never a pipe (whose server could hold the read
// forever) or a device.
#include <windows.h>

#include <io.h>

#include "base/utf8.h"
#include "client/paste/local_file.h"

namespace corvane {

std::FILE* OpenLocalFileForReading(const LocalFileName& name) {
  std::FILE* file = name.encoding == LocalFileName::Encoding::kUtf8 ? _wfopen(Utf8ToWide(name.text).c_str(), L"rb")
                                                                    : std::fopen(name.text.c_str(), "rb");
  if (file == nullptr) return nullptr;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace corvane
