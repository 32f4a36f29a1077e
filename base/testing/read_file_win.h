// For tests: a whole file's bytes by its wide path (empty when it cannot be read).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace corvane {
namespace testing_files {

inline std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace testing_files
}  // namespace corvane
