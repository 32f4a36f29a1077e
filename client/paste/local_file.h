// Reading local files named by narrow paths (the active code page), whole or just their head.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

constexpr uint64_t kNoFileSizeLimit = UINT64_MAX;

// The whole content of `path` in `content`; false when the file cannot be opened or read, or
// when it is larger than `maxSize` bytes (nothing of it is read then). `content`'s storage is
// reused, so one buffer can serve many files.
bool ReadWholeFile(const std::string& path, uint64_t maxSize, std::string& content);

// The file's size and its first `count` bytes (fewer when the file is shorter).
bool ReadFileHead(const std::string& path, size_t count, std::string& head, uint64_t& size);

}  // namespace corvane
