// Local pictures: the size limit and the signature check are applied on every read, so a file
// swapped between probing and reading is still judged by the bytes actually inlined.
#include "client/paste/local_picture.h"

#include <string_view>

#include "base/percent_escapes.h"
#include "client/paste/base64.h"
#include "client/paste/local_file.h"
#include "client/paste/picture_signature.h"

namespace corvane {

LocalFileName LocalPictureFileFromUrl(const std::string& urlPath) {
  std::string path = LocalPathFromFileUrl(urlPath);
  LocalFileName decoded = LocalFileName::Utf8(PercentDecode(path));
  if (LocalFileOpens(decoded)) return decoded;
  return LocalFileName(std::move(path));
}

size_t ProbeLocalPictureBase64Length(const LocalFileName& path) {
  std::string head;
  uint64_t size = 0;
  if (!ReadFileHead(path, kPictureSignatureBytes, head, size)) return 0;
  if (size > kMaxInlinedPictureBytes || !HasPictureSignature(head)) return 0;
  return Base64Length(static_cast<size_t>(size));
}

void AppendLocalPictureBase64(std::string& out, const LocalFileName& path, std::string& buffer) {
  if (!ReadWholeFile(path, kMaxInlinedPictureBytes, buffer)) return;
  if (!HasPictureSignature(std::string_view(buffer).substr(0, kPictureSignatureBytes))) return;
  AppendBase64(out, buffer.data(), buffer.size());
}

bool IsInlinablePicture(std::string_view bytes, std::string_view mediaType) {
  return bytes.size() <= kMaxInlinedPictureBytes && !mediaType.empty() &&
         PictureMediaType(bytes.substr(0, kPictureSignatureBytes)) == mediaType;
}

std::string EncodeLocalPictureBase64(const LocalFileName& path) {
  std::string out;
  std::string buffer;
  AppendLocalPictureBase64(out, path, buffer);
  return out;
}

}  // namespace corvane
