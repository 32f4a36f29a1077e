// The transport on WinINet, synchronous calls only; the user agent from urlmon.
#include <windows.h>
#include <wininet.h>
#include <urlmon.h>

#include <vector>

#include "base/ansi.h"
#include "http/transport.h"

namespace corvane {
namespace transport {

CrackedUrl CrackUrl(const std::wstring& url) {
  CrackedUrl out;
  std::vector<wchar_t> host(url.size() + 8, L'\0');
  std::vector<wchar_t> path(url.size() + 8, L'\0');
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return out;
  out.ok = true;
  out.scheme = static_cast<int32_t>(parts.nScheme);
  out.host = host.data();
  out.path = path.data();
  out.port = parts.nPort;
  return out;
}

Handle OpenRoot(const std::wstring& userAgent, const std::wstring& proxyHost, int32_t proxyPort) {
  if (!proxyHost.empty()) {
    const std::wstring proxy = proxyHost + L":" + std::to_wstring(proxyPort);
    return InternetOpenW(userAgent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr, 0);
  }
  return InternetOpenW(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

void SetProxyCredentials(Handle root, const std::wstring& userName, const std::wstring& password) {
  if (!userName.empty()) {
    InternetSetOptionW(root, INTERNET_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(userName.c_str()),
                       static_cast<DWORD>(userName.size()));
  }
  if (!password.empty()) {
    InternetSetOptionW(root, INTERNET_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(password.c_str()),
                       static_cast<DWORD>(password.size()));
  }
}

Handle Connect(Handle root, const std::wstring& host, int32_t port) {
  return InternetConnectW(root, host.c_str(), static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                          INTERNET_SERVICE_HTTP, 0, 0);
}

Handle OpenRequest(Handle connection, const wchar_t* verb, const std::wstring& path, uint32_t flags) {
  return HttpOpenRequestW(connection, verb, path.c_str(), nullptr, nullptr, nullptr, flags, 0);
}

bool SendRequest(Handle request, const std::wstring& headers, const std::string& body) {
  void* data = body.empty() ? nullptr : const_cast<char*>(body.data());
  return HttpSendRequestW(request, headers.c_str(), static_cast<DWORD>(headers.size()), data,
                          static_cast<DWORD>(body.size())) != FALSE;
}

std::wstring QueryHeader(Handle request, ResponseHeader which) {
  DWORD info = 0;
  switch (which) {
    case ResponseHeader::kStatusCode: info = HTTP_QUERY_STATUS_CODE; break;
    case ResponseHeader::kContentLength: info = HTTP_QUERY_CONTENT_LENGTH; break;
    case ResponseHeader::kLastModified: info = HTTP_QUERY_LAST_MODIFIED; break;
    case ResponseHeader::kServer: info = HTTP_QUERY_SERVER; break;
  }
  DWORD size = 0;
  if (HttpQueryInfoW(request, info, nullptr, &size, nullptr) || size == 0) return std::wstring();
  std::vector<char> buffer(size + 2, 0);
  if (!HttpQueryInfoW(request, info, buffer.data(), &size, nullptr)) return std::wstring();
  return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()));
}

bool ReadData(Handle request, void* buffer, uint32_t size, uint32_t* read) {
  DWORD got = 0;
  const BOOL ok = InternetReadFile(request, buffer, size, &got);
  *read = got;
  return ok != FALSE;
}

uint32_t ReadChunkBytes() { return 8192; }

void Close(Handle handle) { InternetCloseHandle(handle); }

std::wstring SystemUserAgent() {
  char agent[1024] = {};
  DWORD size = sizeof(agent);
  ObtainUserAgentString(0, agent, &size);
  return AnsiToWide(agent);
}

}  // namespace transport
}  // namespace corvane
