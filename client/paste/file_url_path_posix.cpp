// POSIX: the third slash of "file:///" is the root of the path.
#include "client/paste/local_picture.h"

namespace corvane {

std::string LocalPathFromFileUrl(const std::string& urlPath) { return "/" + urlPath; }

}  // namespace corvane
