// http_probe: parses its arguments, runs the request on this thread's event loop and prints
// what the engine saw. For diagnosing the connection to the service.
#include "tools/http_probe/http_probe.h"

#include <chrono>
#include <cstdio>

#include "base/ansi.h"
#include "http/event_window.h"
#include "http/http_manager.h"

namespace corvane {

namespace {
constexpr char kUsage[] =
    "usage: http_probe [--body TEXT] [--output FILE] [--timeout SECONDS] URL\n"
    "  Runs one request (GET; with --body the text goes along as request data) and prints the\n"
    "  status code, content length, bytes received, the read-completed flag and whether the\n"
    "  body is complete. --output writes the body to FILE.\n";

struct ProbeArgs {
  std::wstring url;
  bool hasBody = false;
  std::wstring body;
  std::wstring output;
  int timeoutSeconds = 60;
};

bool Parse(const std::vector<std::wstring>& args, ProbeArgs* out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == L"--body" && hasValue) {
      out->hasBody = true;
      out->body = args[++i];
    } else if (arg == L"--output" && hasValue) {
      out->output = args[++i];
    } else if (arg == L"--timeout" && hasValue) {
      out->timeoutSeconds = std::wcstol(args[++i].c_str(), nullptr, 10);
      if (out->timeoutSeconds <= 0) return false;
    } else if (arg.compare(0, 2, L"--") == 0 || !out->url.empty()) {
      return false;
    } else {
      out->url = arg;
    }
  }
  return !out->url.empty();
}

bool WriteFile(const std::wstring& path, const std::string& data) {
  std::FILE* file = std::fopen(WideToAnsi(path).c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  return std::fclose(file) == 0 && written;
}
}  // namespace

int RunHttpProbe(const std::vector<std::wstring>& args) {
  ProbeArgs probe;
  if (!Parse(args, &probe)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  bool called = false;
  int exitCode = 1;
  const auto start = std::chrono::steady_clock::now();
  HttpCallback callback = [&](FCHttpRequest& task) {
    called = true;
    const HttpResponseInfo& response = task.GetResponseInfo();
    const bool complete = IsResponseComplete(task);
    const std::string body = task.PopReceivedData();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("status: %d\ncontent-length: %d\nbytes-received: %d\nread-completed: %d\ncomplete: %s\n",
                response.statusCode, response.contentLength, task.GetBytesReceived(), response.readCompleted,
                complete ? "yes" : "no");
    std::printf("seconds: %.3f\nmib-per-second: %.1f\n", seconds,
                seconds > 0 ? static_cast<double>(body.size()) / (1024.0 * 1024.0) / seconds : 0.0);
    if (!probe.output.empty()) {
      if (WriteFile(probe.output, body)) {
        std::printf("written: %zu bytes\n", body.size());
      } else {
        std::printf("written: failed\n");
        return;
      }
    }
    exitCode = complete ? 0 : 1;
  };
  if (probe.hasBody) {
    g_httpManager.GetWithBody(probe.url, callback, probe.body);
  } else {
    g_httpManager.Get(probe.url, callback);
  }
  const int32_t id = g_httpManager.GetLastTaskId();
  // Without a response the manager drops the request and never calls back.
  const bool ended = PumpEventsUntil([&] { return called || !g_httpManager.HasCallback(id); },
                                     probe.timeoutSeconds * 1000);
  if (!called) {
    std::printf(ended ? "no response (connection failed or host unknown)\n" : "no answer within %d seconds\n",
                probe.timeoutSeconds);
  }
  std::fflush(stdout);
  return exitCode;
}

}  // namespace corvane
