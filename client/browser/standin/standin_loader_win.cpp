// Loads for the stand-in. WinINet reports its own error numbers; they are mapped to the
// runtime's codes so the load handler sees what a real browser would report.
#include "client/browser/standin/standin_loader_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "base/unique_handle_win.h"
#include "client/browser/error_page_url.h"

namespace corvane {
namespace {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  return text.size() >= n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

LoadResult LoadHttp(const std::wstring& url, const std::wstring& acceptLanguage) {
  LoadResult result;
  UniqueInternetHandle session(InternetOpenW(L"Mozilla/5.0 (Windows NT 6.1) CorvaneStandIn/1.0",
                                             INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) {
    result.error = ErrorFromWinInet(GetLastError());
    return result;
  }
  DWORD timeout = 15000;
  InternetSetOptionW(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
  InternetSetOptionW(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
  const std::wstring headers = acceptLanguage.empty() ? std::wstring() : L"Accept-Language: " + acceptLanguage + L"\r\n";
  UniqueInternetHandle request(InternetOpenUrlW(session.Get(), url.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                                static_cast<DWORD>(headers.size()),
                                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI,
                                                0));
  if (!request) {
    result.error = ErrorFromWinInet(GetLastError());
    return result;
  }
  DWORD status = 0, size = sizeof(status);
  HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
  result.httpStatus = static_cast<int>(status);
  char buffer[16384];
  DWORD read = 0;
  while (true) {
    if (!InternetReadFile(request.Get(), buffer, sizeof(buffer), &read)) {
      result.error = ErrorFromWinInet(GetLastError());
      return result;
    }
    if (read == 0) break;
    result.body.append(buffer, read);
  }
  return result;
}

LoadResult LoadFile(const std::wstring& path) {
  LoadResult result;
  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    result.error = ErrorFromFile(GetLastError());
    return result;
  }
  char buffer[16384];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) result.body.append(buffer, read);
  result.httpStatus = 200;
  return result;
}

}  // namespace

cef_errorcode_t ErrorFromWinInet(unsigned long error) {
  switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return ERR_NAME_NOT_RESOLVED;
    case ERROR_INTERNET_CANNOT_CONNECT: return ERR_CONNECTION_REFUSED;
    case ERROR_INTERNET_TIMEOUT: return ERR_TIMED_OUT;
    case ERROR_INTERNET_CONNECTION_RESET: return ERR_CONNECTION_RESET;
    case ERROR_INTERNET_CONNECTION_ABORTED: return ERR_CONNECTION_CLOSED;
    case ERROR_INTERNET_INVALID_URL: return ERR_INVALID_URL;
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return ERR_UNKNOWN_URL_SCHEME;
    case ERROR_INTERNET_DISCONNECTED: return ERR_INTERNET_DISCONNECTED;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: return ERR_EMPTY_RESPONSE;
    default: return ERR_FAILED;
  }
}

cef_errorcode_t ErrorFromFile(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return ERR_FILE_NOT_FOUND;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return ERR_ACCESS_DENIED;
    default:
      return ERR_FAILED;
  }
}

std::wstring FileUrlToPath(const std::wstring& url) {
  if (!StartsWith(url, L"file:")) return std::wstring();
  std::wstring rest = url.substr(5);
  rest = rest.substr(0, rest.find_first_of(L"?#"));
  // "file:///C:/x" names a drive; "file://server/share/x" a network share.
  if (rest.rfind(L"///", 0) == 0) {
    rest.erase(0, 3);
  } else if (rest.rfind(L"//", 0) == 0) {
    rest = L"\\\\" + rest.substr(2);
  }
  std::wstring path = PercentDecodeUtf8(rest);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

LoadResult LoadUrl(const std::wstring& url, const std::wstring& acceptLanguage) {
  if (StartsWith(url, L"http://") || StartsWith(url, L"https://")) return LoadHttp(url, acceptLanguage);
  if (StartsWith(url, L"file:")) return LoadFile(FileUrlToPath(url));
  LoadResult result;
  if (_wcsicmp(url.c_str(), L"about:blank") == 0) {
    result.httpStatus = 200;
  } else {
    result.error = url.find(L':') == std::wstring::npos ? ERR_INVALID_URL : ERR_UNKNOWN_URL_SCHEME;
  }
  return result;
}

}  // namespace corvane
