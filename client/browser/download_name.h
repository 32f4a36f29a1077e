// The name a download is saved under: the server's name made safe for any desktop's file
// system, and never the name of a file already there.
#pragma once

#include <functional>
#include <string>

namespace corvane {

// `suggested` (UTF-8, as the server or the address gave it) without folders, control
// characters, characters Windows refuses in names (<>:"/\|?*), leading dots or trailing dots and
// spaces, and names Windows keeps for devices (CON, NUL, COM1...); cut to 200 bytes on a
// character boundary, keeping the extension. "download" when nothing is left.
std::string SafeDownloadName(const std::string& suggested);

// `name` itself unless `taken(name)`, else "stem (1).ext", "stem (2).ext"... the first not taken.
std::string UniqueDownloadName(const std::string& name, const std::function<bool(const std::string&)>& taken);

}  // namespace corvane
