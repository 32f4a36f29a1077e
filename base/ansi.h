// Wide <-> byte strings through the system's ANSI code page: request bodies, URLs handed to the
// network as bytes, narrow file names and JSON values all cross here. On Windows that is CP_ACP;
// elsewhere it is the locale's multibyte encoding (UTF-8 on the machines we build on).
#pragma once

#include <string>

namespace corvane {

std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

}  // namespace corvane
