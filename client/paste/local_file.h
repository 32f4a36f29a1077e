// Reading local files, whole or just their head. A name comes in the encoding it was handed
// over in: the active code page (narrow names, as the platform gives them) or UTF-8 (names
// decoded from file URLs), and is opened so that every character of it counts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

namespace corvane {

constexpr uint64_t kNoFileSizeLimit = UINT64_MAX;

struct LocalFileName {
  enum class Encoding { kActiveCodePage, kUtf8 };
  // Implicit: a plain narrow name is in the active code page.
  LocalFileName(std::string name, Encoding nameEncoding = Encoding::kActiveCodePage)
      : text(std::move(name)), encoding(nameEncoding) {}
  static LocalFileName Utf8(std::string name) { return LocalFileName(std::move(name), Encoding::kUtf8); }

  std::string text;
  Encoding encoding;
};

// Opens the file for reading raw bytes; null when it cannot be opened. Platform files: on
// Windows a UTF-8 name goes through the wide-character API.
std::FILE* OpenLocalFileForReading(const LocalFileName& name);

// True when `name` names a file that can be opened for reading.
bool LocalFileOpens(const LocalFileName& name);

// The whole content of `path` in `content`; false when the file cannot be opened or read, or
// when it is larger than `maxSize` bytes (nothing of it is read then). `content`'s storage is
// reused, so one buffer can serve many files.
bool ReadWholeFile(const LocalFileName& path, uint64_t maxSize, std::string& content);

// The file's size and its first `count` bytes (fewer when the file is shorter).
bool ReadFileHead(const LocalFileName& path, size_t count, std::string& head, uint64_t& size);

}  // namespace corvane
