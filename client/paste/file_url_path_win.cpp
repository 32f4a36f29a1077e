// Windows: the path after "file:///" starts with its drive letter and is used as it stands.
#include "client/paste/local_picture.h"

namespace corvane {

std::string LocalPathFromFileUrl(const std::string& urlPath) { return urlPath; }

}  // namespace corvane
