// Local pictures that a pasted page names by file URL, turned into base64 for a data URI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/paste/local_file.h"

namespace corvane {

// Largest file inlined into a paste.
constexpr uint64_t kMaxInlinedPictureBytes = 64ull * 1024 * 1024;

// The file name that the path of a "file:///" URL stands for on this platform, its characters
// as they stand (platform files).
std::string LocalPathFromFileUrl(const std::string& urlPath);

// The file that the path of a "file:///" URL names: its percent-escapes undone and the result
// read as UTF-8, as pages and word processors write them; when that names no file, the path as
// it stands in the active code page (a file whose name holds a percent sign itself).
LocalFileName LocalPictureFileFromUrl(const std::string& urlPath);

// Base64 characters that the picture at `path` will become: 0 when it is not a picture
// (by its first bytes), larger than kMaxInlinedPictureBytes, or unreadable.
size_t ProbeLocalPictureBase64Length(const LocalFileName& path);

// Appends the base64 of the picture at `path` to `out`; appends nothing for a file that is not
// an inlinable picture. `buffer` holds the file's bytes meanwhile and may be reused.
void AppendLocalPictureBase64(std::string& out, const LocalFileName& path, std::string& buffer);

// Whether the bytes a clipboard offers as `mediaType` may be inlined as they are: their first
// bytes are those of that very format, and they are within kMaxInlinedPictureBytes.
bool IsInlinablePicture(std::string_view bytes, std::string_view mediaType);

// The same as a string of its own.
std::string EncodeLocalPictureBase64(const LocalFileName& path);

}  // namespace corvane
