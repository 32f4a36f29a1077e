// Local file reading through the C library: the bytes come back untranslated ("rb"); how a name
// reaches the file system is the platform file's (local_file_win.cpp, local_file_posix.cpp).
#include "client/paste/local_file.h"

#include <cstdio>
#include <memory>

namespace corvane {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// A name with a NUL in it (an escaped %00) would be cut there and name another file: it names none.
UniqueFile Open(const LocalFileName& name) {
  if (name.text.find('\0') != std::string::npos) return nullptr;
  return UniqueFile(OpenLocalFileForReading(name));
}

// Opens `path` and measures it by seeking to its end; leaves the position at the start.
UniqueFile OpenMeasured(const LocalFileName& path, uint64_t& size) {
  UniqueFile file = Open(path);
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
  const long end = std::ftell(file.get());
  if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return nullptr;
  size = static_cast<uint64_t>(end);
  return file;
}

bool ReadExactly(std::FILE* file, size_t count, std::string& out) {
  out.resize(count);
  return count == 0 || std::fread(&out[0], 1, count, file) == count;
}

}  // namespace

bool LocalFileOpens(const LocalFileName& name) { return Open(name) != nullptr; }

bool ReadWholeFile(const LocalFileName& path, uint64_t maxSize, std::string& content) {
  uint64_t size = 0;
  UniqueFile file = OpenMeasured(path, size);
  if (!file || size > maxSize || size > content.max_size()) return false;
  return ReadExactly(file.get(), static_cast<size_t>(size), content);
}

bool ReadFileHead(const LocalFileName& path, size_t count, std::string& head, uint64_t& size) {
  UniqueFile file = OpenMeasured(path, size);
  if (!file) return false;
  return ReadExactly(file.get(), size < count ? static_cast<size_t>(size) : count, head);
}

}  // namespace corvane
