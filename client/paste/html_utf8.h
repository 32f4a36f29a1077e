// The "text/html" bytes other programs offer, as the UTF-8 the conversion works on.
#pragma once

#include <string>

namespace corvane {

// Browsers offer "text/html" as UTF-8, some as UTF-16LE with a byte order mark: that becomes
// UTF-8 (empty when it is not valid UTF-16: a lone surrogate, an odd byte at the end). Trailing
// NULs, the padding some programs add, are dropped either way.
std::string HtmlAsUtf8(std::string bytes);

}  // namespace corvane
