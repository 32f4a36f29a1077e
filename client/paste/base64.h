// Base64 (RFC 4648 alphabet, "=" padding, no line breaks) of memory blocks and of whole files.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

// Characters that `count` input bytes become: 4 * ceil(count / 3).
size_t Base64Length(size_t count);

std::string Base64Encode(const void* bytes, size_t count);

// Appends the encoding to `out` without zero-filling it first; `out` grows at most once.
void AppendBase64(std::string& out, const void* bytes, size_t count);

// Base64 of the whole content of the file `path` (a narrow name in the active code page);
// empty when the file cannot be read, and for an empty file.
std::string EncodeFileBase64(const std::string& path);

}  // namespace corvane
