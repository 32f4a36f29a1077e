// Linear scan for local file image sources.
//
// Why a scan is the same language as the lazy pattern: after a literal src="file:/// at p, the
// match ends at the first double quote, unless a line feed comes first. If the line feed comes
// first, no other literal can start before that line feed (each literal holds a double quote,
// which would have ended the run at p), so the search resumes after it. The literal cannot
// overlap itself, so no start position is skipped.
#include "client/paste/local_image_sources.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace corvane {
namespace {

constexpr std::string_view kLiteral = "src=\"file:///";

}  // namespace

std::vector<LocalImageSource> FindLocalImageSources(std::string_view html) {
  std::vector<LocalImageSource> found;
  const std::boyer_moore_horspool_searcher literal(kLiteral.begin(), kLiteral.end());
  const char* const data = html.data();
  const char* const stop = data + html.size();
  const char* at = data;
  while (at < stop) {
    const char* hit = std::search(at, stop, literal);
    if (hit == stop) break;
    const char* path = hit + kLiteral.size();
    const size_t left = static_cast<size_t>(stop - path);
    const auto* quote = static_cast<const char*>(std::memchr(path, '"', left));
    const size_t runLength = quote ? static_cast<size_t>(quote - path) : left;
    const auto* lineFeed = static_cast<const char*>(std::memchr(path, '\n', runLength));
    if (lineFeed != nullptr) {
      at = lineFeed + 1;
      continue;
    }
    if (quote == nullptr) break;  // no closing quote anywhere after: no later match either
    found.push_back({static_cast<size_t>(hit - data), static_cast<size_t>(path - data),
                     static_cast<size_t>(quote - data)});
    at = quote + 1;
  }
  return found;
}

}  // namespace corvane
