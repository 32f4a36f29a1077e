// Portable half of FileVersion: word splitting and the dotted text form.
#include "base/file_version.h"

namespace corvane {

FileVersion MakeFileVersion(uint32_t ms, uint32_t ls) {
  FileVersion v;
  v.major = static_cast<uint16_t>(ms >> 16);
  v.minor = static_cast<uint16_t>(ms & 0xFFFF);
  v.build = static_cast<uint16_t>(ls >> 16);
  v.revision = static_cast<uint16_t>(ls & 0xFFFF);
  v.ms = ms;
  v.ls = ls;
  return v;
}

std::string FormatFileVersion(const FileVersion& v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + "." +
         std::to_string(v.revision);
}

}  // namespace corvane
