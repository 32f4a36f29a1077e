// The transport on libcurl with WinINet's handle model: handles are ids in a table (never
// reused), each request drives its own multi handle, and closing a request from another thread
// wakes the call blocked on it, which then fails. Redirects are followed here, as WinINet does.
#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/ansi.h"
#include "http/http_options.h"
#include "http/transport.h"

namespace corvane {
namespace transport {

namespace {

// Past this much unread data the transfer pauses until the reader catches up.
constexpr size_t kMaxPendingBytes = 1 << 20;
// One socket read, handed to the reader whole (see ReadChunkBytes).
constexpr long kReceiveBufferBytes = kMaxReadChunkBytes;
// Redirects followed for one request; the next one ends it without a response.
constexpr int kMaxRedirects = 20;
// The only protocols a request, or any redirect of it, may use.
constexpr char kWebProtocols[] = "http,https";

struct Object {
  virtual ~Object() = default;
};

struct Root : Object {
  std::string userAgent;
  std::string proxy;
  std::string proxyUserName;
  std::string proxyPassword;
};

struct Connection : Object {
  std::shared_ptr<Root> root;
  std::string host;
  int32_t port = 0;
};

struct Request : Object {
  ~Request() override {
    if (easy != nullptr) {
      if (added) curl_multi_remove_handle(multi, easy);
      curl_easy_cleanup(easy);
    }
    if (multi != nullptr) curl_multi_cleanup(multi);
    curl_slist_free_all(headerList);
  }

  std::shared_ptr<Connection> connection;
  std::string verb;
  std::string path;
  std::string url;  // of the current transfer: changes with each redirect
  uint32_t flags = 0;
  std::atomic<bool> closed{false};
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  curl_slist* headerList = nullptr;
  bool added = false;
  std::string body;

  // Written by curl's callbacks on the worker thread, read by QueryHeader on the UI thread.
  std::mutex headerLock;
  std::string statusCode;
  std::map<std::string, std::string> headers;  // lower-case name -> raw value
  bool headersDone = false;

  // Worker thread only. While a read waits, data lands straight in its buffer (target);
  // whatever does not fit waits in pending.
  char* target = nullptr;
  size_t targetSize = 0;
  size_t targetFilled = 0;
  std::string pending;
  size_t pendingOffset = 0;
  bool paused = false;
  bool done = false;
  CURLcode result = CURLE_OK;
};

struct HandleTable {
  std::mutex lock;
  uintptr_t nextId = 1;
  std::map<uintptr_t, std::shared_ptr<Object>> objects;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable;  // outlives the static destructors that close
  return *table;
}

void GlobalInit() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

Handle Insert(std::shared_ptr<Object> object) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  const uintptr_t id = table.nextId++;
  table.objects[id] = std::move(object);
  return reinterpret_cast<Handle>(id);
}

template <typename T>
std::shared_ptr<T> Find(Handle handle) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == table.objects.end()) return nullptr;
  return std::dynamic_pointer_cast<T>(it->second);
}

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto* request = static_cast<Request*>(user);
  const std::string line(data, size * count);
  std::lock_guard<std::mutex> hold(request->headerLock);
  if (line.compare(0, 5, "HTTP/") == 0) {
    // A new status line (after a 1xx or a redirect) starts a new header block.
    const size_t space = line.find(' ');
    request->statusCode = space == std::string::npos ? std::string() : Trim(line.substr(space + 1, 4));
    request->headers.clear();
  } else if (Trim(line).empty()) {
    if (!request->statusCode.empty() && request->statusCode[0] != '1') request->headersDone = true;
  } else {
    const size_t colon = line.find(':');
    if (colon != std::string::npos) {
      std::string name = Trim(line.substr(0, colon));
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
      request->headers[name] = Trim(line.substr(colon + 1));
    }
  }
  return size * count;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* user) {
  auto* request = static_cast<Request*>(user);
  if (request->pending.size() - request->pendingOffset >= kMaxPendingBytes) {
    request->paused = true;
    return CURL_WRITEFUNC_PAUSE;  // curl hands the same data again once resumed
  }
  size_t offset = 0;
  if (request->target != nullptr && request->targetFilled == 0) {
    offset = std::min(size * count, request->targetSize);
    std::memcpy(request->target, data, offset);
    request->targetFilled = offset;
  }
  request->pending.append(data + offset, size * count - offset);
  return size * count;
}

// One round of the transfer: let curl work, note its end, then wait for the socket or a wake-up.
void Pump(Request& request) {
  int running = 0;
  curl_multi_perform(request.multi, &running);
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(request.multi, &queued)) {
    if (message->msg == CURLMSG_DONE) {
      request.done = true;
      request.result = message->data.result;
    }
  }
  if (request.done || request.closed.load()) return;
  if (request.pending.size() > request.pendingOffset || request.targetFilled > 0) return;
  curl_multi_poll(request.multi, nullptr, 0, 1000, nullptr);
}

bool HaveResponseHeaders(Request& request) {
  std::lock_guard<std::mutex> hold(request.headerLock);
  return request.headersDone;
}

std::string BuildUrl(const Request& request) {
  std::string url = (request.flags & kFlagSecure) ? "https://" : "http://";
  const std::string& host = request.connection->host;
  url += host.find(':') != std::string::npos ? "[" + host + "]" : host;
  url += ":" + std::to_string(request.connection->port);
  url += request.path.empty() || request.path[0] != '/' ? "/" + request.path : request.path;
  return url;
}

void AddHeaderLines(Request& request, const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) request.headerList = curl_slist_append(request.headerList, text.substr(start, end - start).c_str());
    start = end + 2;
  }
  // WinINet sends a body at once; curl would wait for "100 Continue" first.
  request.headerList = curl_slist_append(request.headerList, "Expect:");
}

// A fresh transfer of r.url with r.verb and r.body on the request's multi handle. Each redirect
// starts one, so nothing of the previous answer (a paused or half-read body) carries over.
bool StartTransfer(Request& r) {
  if (r.added) {
    curl_multi_remove_handle(r.multi, r.easy);
    r.added = false;
  }
  curl_easy_reset(r.easy);
  {
    std::lock_guard<std::mutex> hold(r.headerLock);
    r.statusCode.clear();
    r.headers.clear();
    r.headersDone = false;
  }
  r.pending.clear();
  r.pendingOffset = 0;
  r.paused = false;
  r.done = false;
  r.result = CURLE_OK;

  const Root& root = *r.connection->root;
  CURL* easy = r.easy;
  curl_easy_setopt(easy, CURLOPT_URL, r.url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kWebProtocols);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  // Large socket reads: one round of the transfer per 8 KiB would cost more than the copying.
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, root.userAgent.c_str());
  if (!root.proxy.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXY, root.proxy.c_str());
    if (!root.proxyUserName.empty()) curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, root.proxyUserName.c_str());
    if (!root.proxyPassword.empty()) curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, root.proxyPassword.c_str());
  }
  if (!r.body.empty()) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, r.body.data());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r.body.size()));
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, r.verb.c_str());
  } else if (r.verb == "POST") {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "");
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, 0L);
  } else if (r.verb != "GET") {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, r.verb.c_str());
  }
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, r.headerList);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &r);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyData);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &r);
  if (curl_multi_add_handle(r.multi, easy) != CURLM_OK) return false;
  r.added = true;
  return true;
}

// Where a redirect of the current answer leads, resolved against the current URL; empty when
// the answer is no redirect to follow: not 301, 302, 303, 307 or 308, no usable Location, a
// scheme other than http or https, or a verb other than GET that would have to be sent again
// as it was (307, 308) while its body is never sent twice.
std::string RedirectTarget(Request& r) {
  std::string status, location;
  {
    std::lock_guard<std::mutex> hold(r.headerLock);
    status = r.statusCode;
    auto it = r.headers.find("location");
    if (it != r.headers.end()) location = it->second;
  }
  const bool keepsVerb = status == "307" || status == "308";
  if (!keepsVerb && status != "301" && status != "302" && status != "303") return std::string();
  if (location.empty() || (keepsVerb && r.verb != "GET")) return std::string();
  std::string target;
  CURLU* url = curl_url();
  char* scheme = nullptr;
  char* full = nullptr;
  if (url != nullptr && curl_url_set(url, CURLUPART_URL, r.url.c_str(), 0) == CURLUE_OK &&
      curl_url_set(url, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
      curl_url_get(url, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0) &&
      curl_url_get(url, CURLUPART_URL, &full, 0) == CURLUE_OK) {
    target = full;
  }
  curl_free(scheme);
  curl_free(full);
  curl_url_cleanup(url);
  return target;
}

// Ends the request as one that got no answer: no headers to query, nothing to read.
void ForgetResponse(Request& r) {
  std::lock_guard<std::mutex> hold(r.headerLock);
  r.statusCode.clear();
  r.headers.clear();
  r.headersDone = false;
}

}  // namespace

CrackedUrl CrackUrl(const std::wstring& url) {
  GlobalInit();
  CrackedUrl out;
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return out;
  char* scheme = nullptr;
  char* host = nullptr;
  char* path = nullptr;
  char* query = nullptr;
  char* port = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, WideToAnsi(url).c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
    curl_url_get(parsed, CURLUPART_PATH, &path, 0);
    curl_url_get(parsed, CURLUPART_QUERY, &query, 0);
    curl_url_get(parsed, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT);
    const std::string schemeText = scheme;
    out.ok = true;
    out.scheme = schemeText == "https" ? kSchemeHttps : schemeText == "http" ? kSchemeHttp : -1;
    std::string hostText = host;
    if (hostText.size() > 2 && hostText.front() == '[') hostText = hostText.substr(1, hostText.size() - 2);
    out.host = AnsiToWide(hostText);
    std::string pathText = path != nullptr ? path : "/";
    if (query != nullptr) pathText += std::string("?") + query;
    out.path = AnsiToWide(pathText);
    out.port = port != nullptr ? std::atoi(port) : 0;
  }
  curl_free(scheme);
  curl_free(host);
  curl_free(path);
  curl_free(query);
  curl_free(port);
  curl_url_cleanup(parsed);
  return out;
}

Handle OpenRoot(const std::wstring& userAgent, const std::wstring& proxyHost, int32_t proxyPort) {
  GlobalInit();
  auto root = std::make_shared<Root>();
  root->userAgent = WideToAnsi(userAgent);
  if (!proxyHost.empty()) root->proxy = WideToAnsi(proxyHost) + ":" + std::to_string(proxyPort);
  return Insert(root);
}

void SetProxyCredentials(Handle rootHandle, const std::wstring& userName, const std::wstring& password) {
  auto root = Find<Root>(rootHandle);
  if (!root) return;
  if (!userName.empty()) root->proxyUserName = WideToAnsi(userName);
  if (!password.empty()) root->proxyPassword = WideToAnsi(password);
}

Handle Connect(Handle rootHandle, const std::wstring& host, int32_t port) {
  auto root = Find<Root>(rootHandle);
  if (!root || host.empty()) return nullptr;
  auto connection = std::make_shared<Connection>();
  connection->root = root;
  connection->host = WideToAnsi(host);
  connection->port = port;
  return Insert(connection);
}

Handle OpenRequest(Handle connectionHandle, const wchar_t* verb, const std::wstring& path, uint32_t flags) {
  auto connection = Find<Connection>(connectionHandle);
  if (!connection) return nullptr;
  auto request = std::make_shared<Request>();
  request->connection = connection;
  request->verb = WideToAnsi(verb);
  request->path = WideToAnsi(path);
  request->flags = flags;
  request->multi = curl_multi_init();
  request->easy = curl_easy_init();
  if (request->multi == nullptr || request->easy == nullptr) return nullptr;
  return Insert(request);
}

// Follows redirects as WinINet does: every hop goes out as GET without the body (a verb other
// than GET becomes GET on 301, 302 and 303, and is not followed on 307 and 308), and the last
// answer is the response; past kMaxRedirects hops (a loop) the request gets no response.
bool SendRequest(Handle requestHandle, const std::wstring& headers, const std::string& body) {
  auto request = Find<Request>(requestHandle);
  if (!request || request->added) return false;
  Request& r = *request;
  r.url = BuildUrl(r);
  r.body = body;
  AddHeaderLines(r, WideToAnsi(headers));
  for (int redirects = 0;; ++redirects) {
    if (!StartTransfer(r)) return false;
    while (!HaveResponseHeaders(r) && !r.done && !r.closed.load()) Pump(r);
    if (r.closed.load() || !HaveResponseHeaders(r)) return false;
    std::string target = RedirectTarget(r);
    if (target.empty()) return true;
    if (redirects == kMaxRedirects) {
      ForgetResponse(r);
      return false;
    }
    r.url = std::move(target);
    r.verb = "GET";
    r.body.clear();
  }
}

std::wstring QueryHeader(Handle requestHandle, ResponseHeader which) {
  auto request = Find<Request>(requestHandle);
  if (!request) return std::wstring();
  std::lock_guard<std::mutex> hold(request->headerLock);
  if (!request->headersDone) return std::wstring();
  const char* name = nullptr;
  switch (which) {
    case ResponseHeader::kStatusCode: return AnsiToWide(request->statusCode);
    case ResponseHeader::kContentLength: name = "content-length"; break;
    case ResponseHeader::kLastModified: name = "last-modified"; break;
    case ResponseHeader::kServer: name = "server"; break;
  }
  auto it = request->headers.find(name);
  return it == request->headers.end() ? std::wstring() : AnsiToWide(it->second);
}

bool ReadData(Handle requestHandle, void* buffer, uint32_t size, uint32_t* read) {
  *read = 0;
  auto request = Find<Request>(requestHandle);
  if (!request || !request->added) return false;
  Request& r = *request;
  for (;;) {
    if (r.closed.load()) return false;
    const size_t available = r.pending.size() - r.pendingOffset;
    if (available > 0) {
      const size_t n = std::min<size_t>(available, size);
      std::memcpy(buffer, r.pending.data() + r.pendingOffset, n);
      r.pendingOffset += n;
      if (r.pendingOffset == r.pending.size()) {
        r.pending.clear();
        r.pendingOffset = 0;
      }
      *read = static_cast<uint32_t>(n);
      return true;
    }
    if (r.done) return r.result == CURLE_OK;
    r.target = static_cast<char*>(buffer);
    r.targetSize = size;
    r.targetFilled = 0;
    if (r.paused) {
      r.paused = false;
      curl_easy_pause(r.easy, CURLPAUSE_CONT);
    } else {
      Pump(r);
    }
    r.target = nullptr;
    if (r.targetFilled > 0) {
      *read = static_cast<uint32_t>(r.targetFilled);
      return true;
    }
  }
}

uint32_t ReadChunkBytes() { return static_cast<uint32_t>(kReceiveBufferBytes); }

void Close(Handle handle) {
  std::shared_ptr<Object> object;
  {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end()) return;
    object = std::move(it->second);
    table.objects.erase(it);
  }
  if (auto* request = dynamic_cast<Request*>(object.get())) {
    request->closed.store(true);
    curl_multi_wakeup(request->multi);
  }
}

// Built once: curl_version() lists every library curl was built with and took over a
// millisecond, paid by each request that sets no agent of its own.
std::wstring SystemUserAgent() {
  static const std::wstring agent = AnsiToWide(std::string("Mozilla/5.0 (X11; Linux x86_64) libcurl/") +
                                               curl_version_info(CURLVERSION_NOW)->version);
  return agent;
}

}  // namespace transport
}  // namespace corvane
