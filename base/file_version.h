// The fixed file version of an executable's version resource, as the update check, the
// installer download and the uninstall report use it.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

struct FileVersion {
  uint16_t major = 0;     // high word of ms
  uint16_t minor = 0;     // low word of ms
  uint16_t build = 0;     // high word of ls
  uint16_t revision = 0;  // low word of ls
  uint32_t ms = 0;        // dwFileVersionMS
  uint32_t ls = 0;        // dwFileVersionLS
};

FileVersion MakeFileVersion(uint32_t ms, uint32_t ls);

// "major.minor.build.revision" in unsigned decimal, e.g. "1.2.0.15".
std::string FormatFileVersion(const FileVersion& version);

// Version resources larger than this are treated as unreadable.
inline constexpr uint32_t kMaxVersionInfoBytes = 16383;

// Reads the fixed file version of the file at `path`; all zeros when the file is missing, has
// no version resource, or its resource is larger than kMaxVersionInfoBytes. Platform layer.
FileVersion ReadFileVersion(const std::wstring& path);

}  // namespace corvane
