// The engine's HTTP library, one blocking call per step: WinINet on Windows (transport_win.cpp),
// libcurl elsewhere (transport_curl.cpp). Handles behave like WinINet's: closing a handle from
// another thread makes the call blocked on it fail, and a closed handle fails every later call.
#pragma once

#include <cstdint>
#include <string>

#include "http/scoped_handle.h"

namespace corvane {
namespace transport {

using Handle = void*;

struct CrackedUrl {
  bool ok = false;
  int32_t scheme = 0;      // kSchemeHttp, kSchemeHttps, or another scheme's code
  std::wstring host;
  std::wstring path;       // path with query
  int32_t port = 0;        // as written in the URL, or the scheme's default; 0 when rejected
};

enum class ResponseHeader { kStatusCode, kContentLength, kLastModified, kServer };

CrackedUrl CrackUrl(const std::wstring& url);
// proxyHost empty: the system's proxy configuration.
Handle OpenRoot(const std::wstring& userAgent, const std::wstring& proxyHost, int32_t proxyPort);
void SetProxyCredentials(Handle root, const std::wstring& userName, const std::wstring& password);
Handle Connect(Handle root, const std::wstring& host, int32_t port);
Handle OpenRequest(Handle connection, const wchar_t* verb, const std::wstring& path, uint32_t flags);
// Sends the request and waits for the response headers.
bool SendRequest(Handle request, const std::wstring& headers, const std::string& body);
// The raw header text; empty when absent. Safe while another thread reads the body.
std::wstring QueryHeader(Handle request, ResponseHeader which);
// True with *read 0 at the end of the body.
bool ReadData(Handle request, void* buffer, uint32_t size, uint32_t* read);
// How much the reader asks ReadData for at a time: 8192 bytes from WinINet; from curl what one
// socket read brings, so that nothing waits in between. At most kMaxReadChunkBytes.
uint32_t ReadChunkBytes();
constexpr uint32_t kMaxReadChunkBytes = 64 * 1024;
void Close(Handle handle);
std::wstring SystemUserAgent();

struct InternetHandleTraits {
  using Handle = transport::Handle;
  static void Close(Handle handle) { transport::Close(handle); }
};
using CInternetHandle = ScopedHandle<InternetHandleTraits>;

}  // namespace transport
}  // namespace corvane
