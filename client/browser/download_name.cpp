// Download names: made safe, then made unique.
#include "client/browser/download_name.h"

#include <cctype>
#include <cstring>

namespace corvane {
namespace {

constexpr size_t kMaxNameBytes = 200;  // room for " (n)" and the part-file suffix under 255

bool ReservedOnWindows(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}

// The length of `text`'s first `bytes` bytes, backed off to the start of a UTF-8 character.
size_t CharacterBoundary(const std::string& text, size_t bytes) {
  if (bytes >= text.size()) return text.size();
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  return bytes;
}

}  // namespace

std::string SafeDownloadName(const std::string& suggested) {
  // The last path element only: a server names a file, never a folder to put it in.
  const size_t slash = suggested.find_last_of("/\\");
  std::string name;
  for (char c : suggested.substr(slash == std::string::npos ? 0 : slash + 1)) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::strchr("<>:\"|?*", c)) {
      name += '_';
    } else {
      name += c;
    }
  }
  while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(0, 1);  // hidden, or odd
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();    // Windows drops them
  if (name.find_first_not_of('_') == std::string::npos) name.clear();
  if (name.empty()) return "download";
  if (ReservedOnWindows(name)) name = "_" + name;
  if (name.size() > kMaxNameBytes) {
    const size_t dot = name.rfind('.');
    const std::string extension = dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : "";
    name = name.substr(0, CharacterBoundary(name, kMaxNameBytes - extension.size())) + extension;
  }
  return name;
}

std::string UniqueDownloadName(const std::string& name, const std::function<bool(const std::string&)>& taken) {
  if (!taken(name)) return name;
  const size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  for (int n = 1;; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace corvane
