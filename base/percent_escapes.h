// URL percent-escapes, byte by byte: file URLs carry their names as escaped UTF-8, and an address
// carried inside another (a fragment, a form value) is escaped whole.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Every %XX (two hex digits, either case) becomes the byte it stands for; a percent sign not
// followed by two hex digits stays as it is. The bytes are not interpreted.
std::string PercentDecode(std::string_view text);

// Every byte but the unreserved ones (ASCII letters, digits, "-._~") becomes %XX (upper case), so
// '&', '#', '=' and '%' of the text stay its own.
std::string PercentEncode(std::string_view bytes);

}  // namespace corvane
