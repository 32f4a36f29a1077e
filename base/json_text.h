// Compact JSON text for the service: members in key order, no white space, one line feed at
// the end — the form the service's endpoints read.
#pragma once

#include <json/value.h>

#include <string>

namespace corvane {

// Strings are written as their bytes: quotation mark, backslash and control characters are
// escaped, bytes of 0x80 and above pass unchanged. Our values are in the ANSI code page, not
// UTF-8, so jsoncpp's FastWriter (which decodes them as UTF-8 into \u escapes) would mangle
// every non-ASCII letter; for ASCII text the output is byte for byte FastWriter's.
std::string WriteCompactJson(const Json::Value& value);

}  // namespace corvane
