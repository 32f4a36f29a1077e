// Finds the local file image sources in HTML: the text src="file:/// , then the shortest run
// of bytes other than a line feed up to the next double quote, then that quote. Leftmost match
// first, matches do not overlap; case and spacing must be exactly so.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace corvane {

struct LocalImageSource {
  size_t begin;      // first byte of src=
  size_t pathBegin;  // first byte after file:///
  size_t pathEnd;    // the closing double quote
  size_t end() const { return pathEnd + 1; }
};

// Every match in `html`, in order. One pass over the text: no backtracking, no recursion, so
// fragments of any length are safe.
std::vector<LocalImageSource> FindLocalImageSources(std::string_view html);

}  // namespace corvane
