// Local file reading through the C library: narrow names go to the file system in the active
// code page, unchanged, and the bytes come back untranslated ("rb").
#include "client/paste/local_file.h"

#include <cstdio>
#include <memory>

namespace corvane {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` and measures it by seeking to its end; leaves the position at the start.
UniqueFile OpenMeasured(const std::string& path, uint64_t& size) {
  UniqueFile file(std::fopen(path.c_str(), "rb"));
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

bool ReadWholeFile(const std::string& path, uint64_t maxSize, std::string& content) {
  uint64_t size = 0;
  UniqueFile file = OpenMeasured(path, size);
  if (!file || size > maxSize || size > content.max_size()) return false;
  return ReadExactly(file.get(), static_cast<size_t>(size), content);
}

bool ReadFileHead(const std::string& path, size_t count, std::string& head, uint64_t& size) {
  UniqueFile file = OpenMeasured(path, size);
  if (!file) return false;
  return ReadExactly(file.get(), size < count ? static_cast<size_t>(size) : count, head);
}

}  // namespace corvane
