// The stand-in's loads: http and https through WinINet, file URLs from disk, about:blank.
// Blocking; run on a worker thread.
#pragma once

#include <string>

#include "client/browser/cef_types.h"

namespace corvane {

struct LoadResult {
  cef_errorcode_t error = ERR_NONE;
  int httpStatus = 0;
  std::string body;  // UTF-8 as the stand-in reads every page
};

LoadResult LoadUrl(const std::wstring& url, const std::wstring& acceptLanguage);

// The path of a file URL ("file:///C:/a%20b/x.html" → "C:\\a b\\x.html"); empty for other URLs.
std::wstring FileUrlToPath(const std::wstring& url);

// The runtime's error code for a WinINet or file error.
cef_errorcode_t ErrorFromWinInet(unsigned long error);
cef_errorcode_t ErrorFromFile(unsigned long error);

}  // namespace corvane
