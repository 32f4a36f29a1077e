// Demo service control over WinINet, synchronously: tests use it around the code under test.
#include "tools/demo_service/client/demo_service_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <json/reader.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "base/percent_escapes.h"

namespace corvane {
namespace demo {
namespace {

int g_port = 0;
std::string g_token;  // control requests carry it; the service refuses them without it

std::string Fetch(const std::string& path) {
  std::string body;
  HINTERNET session = InternetOpenA("corvane-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (session == nullptr) return body;
  const std::string url = "http://127.0.0.1:" + std::to_string(g_port) + path;
  const std::string headers = "X-Demo-Token: " + g_token + "\r\n";
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  if (request != nullptr) {
    char buffer[8192];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0) body.append(buffer, read);
    InternetCloseHandle(request);
  }
  InternetCloseHandle(session);
  return body;
}

}  // namespace

int UseDemoService() {
  std::ifstream state("demo_service.state");
  std::string key, value;
  g_port = 0;
  g_token.clear();
  while (state >> key >> value) {
    if (key == "port") g_port = std::atoi(value.c_str());
    if (key == "token") g_token = value;
  }
  if (g_port == 0) return 0;
  const std::string host = "127.0.0.1:" + std::to_string(g_port);
  _putenv_s("CORVANE_SERVICE_HOST", host.c_str());
  SetEnvironmentVariableA("CORVANE_SERVICE_HOST", host.c_str());  // for child processes
  return g_port;
}

bool SetUpdateAnswer(const std::string& document, int status, bool cut) {
  return Fetch("/_demo/set?doc=" + PercentEncode(document) + "&status=" + std::to_string(status) +
               "&cut=" + (cut ? "1" : "0")) == "ok";
}

bool SetSignatureVariant(const std::string& variant) {
  return Fetch("/_demo/signature?variant=" + PercentEncode(variant)) == "ok";
}

bool ClearRecords() { return Fetch("/_demo/clear") == "ok"; }

bool SetInstaller(const std::wstring& windowsPath) {
  // The service runs on the host: it needs the host's path of the file.
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return false;
  char* unixPath = toUnix(windowsPath.c_str());
  if (unixPath == nullptr) return false;
  const std::string path = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return Fetch("/_demo/installer?path=" + PercentEncode(path)) == "ok";
}

Json::Value Records() {
  Json::Value records;
  Json::Reader().parse(Fetch("/_demo/records"), records);
  return records;
}

std::string BodyBytes(const Json::Value& entry) {
  // The service sends the bytes as Latin-1 characters, which JSON carries as UTF-8.
  const std::string utf8 = entry["body"].asString();
  std::string bytes;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (i + 1 < utf8.size()) {
      bytes.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
      ++i;
    }
  }
  return bytes;
}

}  // namespace demo
}  // namespace corvane
