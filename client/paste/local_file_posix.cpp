// POSIX: names go to the file system as their bytes; the active code page is UTF-8 here.
#include "client/paste/local_file.h"

namespace corvane {

std::FILE* OpenLocalFileForReading(const LocalFileName& name) { return std::fopen(name.text.c_str(), "rb"); }

}  // namespace corvane
