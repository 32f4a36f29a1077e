// Fuzzes the update service's answer as the client takes it (AcceptUpdateReply): it comes over
// plain http, so anyone on the way can write it. Checks, besides the sanitizers: an update is
// announced exactly when the kept answer offers one, and then its url is an http or https
// address with a host and no white space or control bytes, its signature's address is one too
// on the same host, and the download's file name is a plain name in the updates folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "client/main_window_channel.h"
#include "client/update/update_reply.h"
#include "client/update/update_signature.h"

namespace {

// The fuzz tree has no host channel (GTK or Windows): the target is the main window.
struct CountingChannel : corvane::IMainWindowChannel {
  void Post(const corvane::MainNotice& notice) override {
    updates += notice.command == corvane::MainCommand::UpdateAvailable ? 1 : 0;
  }
  int updates = 0;
} g_mainWindow;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The part between "scheme://" and the path; empty when `url` is not http or https.
std::string HostPart(const std::string& url) {
  std::string lower;
  for (char c : url.substr(0, 8)) lower += static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
  const size_t start = lower.rfind("http://", 0) == 0 ? 7 : lower.rfind("https://", 0) == 0 ? 8 : 0;
  if (start == 0) return std::string();
  return url.substr(start, url.find_first_of("/?#", start) - start);
}

void CheckUrl(const std::string& url) {
  Check(!HostPart(url).empty());
  for (char c : url) Check(static_cast<unsigned char>(c) > 0x20 && c != 0x7F);
}

}  // namespace

namespace corvane {
IMainWindowChannel& MainWindowChannel() { return g_mainWindow; }
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int before = g_mainWindow.updates;
  corvane::AcceptUpdateReply(std::string(reinterpret_cast<const char*>(data), size));
  const corvane::UpdateInfo& kept = corvane::g_updateInfo;
  Check(g_mainWindow.updates - before == (kept.type == 1 ? 1 : 0));
  if (kept.type != 1) return 0;
  CheckUrl(kept.url);
  const std::string signature = corvane::SignatureUrl(kept.url);
  CheckUrl(signature);
  Check(HostPart(signature) == HostPart(kept.url));
  const std::string name = corvane::UpdateFileNameFromUrl(kept.url);
  Check(!name.empty() && name[0] != '.' && name.find('/') == std::string::npos);
  return 0;
}
