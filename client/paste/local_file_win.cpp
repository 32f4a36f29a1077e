// Windows: a UTF-8 name is opened through the wide-character API, so letters outside the
// active code page (a teacher's Chinese account name on a Western system) still name the file;
// an active code page name is handed over as it stands.
#include "client/paste/local_file.h"

#include "base/utf8.h"

namespace corvane {

std::FILE* OpenLocalFileForReading(const LocalFileName& name) {
  if (name.encoding == LocalFileName::Encoding::kUtf8) return _wfopen(Utf8ToWide(name.text).c_str(), L"rb");
  return std::fopen(name.text.c_str(), "rb");
}

}  // namespace corvane
