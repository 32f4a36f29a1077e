// Local pictures that a pasted page names by file URL, turned into base64 for a data URI.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Largest file inlined into a paste.
constexpr uint64_t kMaxInlinedPictureBytes = 64ull * 1024 * 1024;

// The file name that the path of a "file:///" URL stands for on this platform.
std::string LocalPathFromFileUrl(const std::string& urlPath);

// Base64 characters that the picture at `path` will become: 0 when it is not a picture
// (by its first bytes), larger than kMaxInlinedPictureBytes, or unreadable.
size_t ProbeLocalPictureBase64Length(const std::string& path);

// Appends the base64 of the picture at `path` to `out`; appends nothing for a file that is not
// an inlinable picture. `buffer` holds the file's bytes meanwhile and may be reused.
void AppendLocalPictureBase64(std::string& out, const std::string& path, std::string& buffer);

// The same as a string of its own.
std::string EncodeLocalPictureBase64(const std::string& path);

}  // namespace corvane
