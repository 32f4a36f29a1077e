// Fuzzes how the path of a pasted "file:///" URL becomes the name of the local file a paste may
// inline: the page that was copied wrote it. Checks, besides the sanitizers: the name is always
// absolute (never relative to the client's working folder), undoing the escapes never grows
// it, text without a percent sign comes through unchanged, and every byte escaped (either hex
// case) decodes back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/percent_escapes.h"
#include "client/paste/local_picture.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string EscapeEveryByte(const std::string& bytes) {
  static const char kUpper[] = "0123456789ABCDEF";
  static const char kLower[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const char* digits = (i % 2) ? kLower : kUpper;
    out += {'%', digits[b >> 4], digits[b & 15]};
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string urlPath(reinterpret_cast<const char*>(data), size);
  const std::string name = corvane::PercentDecode(corvane::LocalPathFromFileUrl(urlPath));
  Check(!name.empty() && name[0] == '/');
  Check(name.size() <= urlPath.size() + 1);
  if (urlPath.find('%') == std::string::npos) Check(name == "/" + urlPath);
  Check(corvane::PercentDecode(EscapeEveryByte(urlPath)) == urlPath);
  return 0;
}
