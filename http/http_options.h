// What a caller asks of one request and what the engine learns of its answer, plus the small
// rules that turn those into wire text (verb, header lines, port, header numbers).
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// WinINet's values; the native transport understands the same ones.
constexpr uint32_t kFlagReload = 0x80000000u;
constexpr uint32_t kFlagNoCacheWrite = 0x04000000u;
constexpr uint32_t kFlagSecure = 0x00800000u;
constexpr uint32_t kDefaultOpenFlags = kFlagReload | kFlagNoCacheWrite;

constexpr int32_t kSchemeHttp = 3;   // INTERNET_SCHEME_HTTP
constexpr int32_t kSchemeHttps = 4;  // INTERNET_SCHEME_HTTPS

// A 32-bit process cannot hold much more; past this a body is dropped, not grown.
constexpr int32_t kDefaultMaxBodyBytes = 256 * 1024 * 1024;

struct HttpRequestOptions {
  std::string body;              // sent only when non-empty
  int32_t verb = 0;              // 0 GET, 1 and 2 POST, 3 DELETE, anything else GET
  std::wstring url;              // absolute http or https URL
  int32_t rangeStart = 0;        // non-zero adds "Range: bytes=<n>-"
  std::wstring userAgent;        // the system's browser user agent unless set
  std::wstring extraHeaders;     // complete lines, each ending "\r\n"
  uint32_t openFlags = kDefaultOpenFlags;
  int32_t timeLimitMs = 0;       // 0 = none
  std::wstring proxyHost;        // empty = the system's proxy configuration
  int32_t proxyPort = 80;
  std::wstring proxyUserName;
  std::wstring proxyPassword;
  int32_t maxBodyBytes = kDefaultMaxBodyBytes;  // the reader stops past this many bytes
};

struct HttpResponseInfo {
  int32_t statusCode = 0;        // 0 when no response was obtained
  int32_t contentLength = 0;     // 0 when absent
  std::wstring lastModified;
  std::wstring server;
  int32_t readCompleted = 0;     // 1 when the body ended cleanly, 0 when reading failed or stopped
  void* requestHandle = nullptr;
};

// "GET", "POST" or "DELETE" for a verb value.
const wchar_t* VerbText(int32_t verb);

// The header text sent with the request: the extra headers, then the Range line if any.
std::wstring BuildRequestHeaderText(const HttpRequestOptions& options);

// The port to connect to: the one written in the URL, else the scheme's default.
int32_t ConnectPort(int32_t scheme, int32_t portInUrl);

// A numeric header (status code, Content-Length) read as a decimal long; 0 when not a number.
int32_t HeaderNumber(const std::wstring& text);

}  // namespace corvane
