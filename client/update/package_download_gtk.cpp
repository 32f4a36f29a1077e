// StartPackageDownload, the files it writes, and the verification of what it wrote.
#include "client/update/package_download_gtk.h"

#include <glib.h>
#include <glib/gstdio.h>

#include "base/ansi.h"
#include "client/main_window_channel.h"
#include "client/update/linux_update_verify.h"
#include "client/update/update_check_gtk.h"
#include "client/update/update_rules.h"
#include "client/update/update_signature.h"
#include "http/http_manager.h"

namespace corvane {
namespace {

std::string g_readyPackage;  // verified, waiting for the install button
std::string g_lastRefusal;

std::string SignaturePathOf(const std::string& package) { return package + ".sig"; }

void Discard(const std::string& package) {
  g_unlink(package.c_str());
  g_unlink(SignaturePathOf(package).c_str());
}

// Replaces `path` with `bytes` as a whole: g_file_set_contents writes a temporary file beside it,
// flushes it and renames it over the final name only when every byte is written.
bool WriteWhole(const std::string& path, const std::string& bytes) {
  return g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), nullptr) != FALSE;
}

// The verification: true when `package` may be offered for installing; otherwise both files
// are gone and the reason is kept.
bool Verify(const std::string& package) {
  const PackageRefusal refusal = VerifyUpdatePackage(package, SignaturePathOf(package), OwnVersion());
  if (refusal == PackageRefusal::None) return true;
  Discard(package);
  g_lastRefusal = DescribeRefusal(refusal);
  return false;
}

void OnSignatureDownloaded(const std::string& package, FCHttpRequest& task) {
  // No signature (none served, or cut short) leaves no file: the verification refuses that with
  // its own reason, and the package goes.
  if (IsResponseComplete(task) && !WriteWhole(SignaturePathOf(package), task.PopReceivedData())) {
    Discard(package);
    return;
  }
  if (!Verify(package)) {
    PostToMainWindow(MainCommand::UpdateUnverified);
    return;
  }
  g_readyPackage = package;
  g_lastRefusal.clear();
  PostToMainWindow(MainCommand::InstallerReady);
}

}  // namespace

std::string UpdatesFolder() { return std::string(g_get_user_cache_dir()) + "/corvane/updates"; }

void StartPackageDownload() {
  const std::string url = g_updateInfo.url;
  if (url.empty()) return;
  const std::string package = UpdatesFolder() + "/" + UpdateFileNameFromUrl(url);
  g_httpManager.Get(AnsiToWide(url), [url, package](FCHttpRequest& task) {
    if (!IsResponseComplete(task)) return;
    if (g_mkdir_with_parents(UpdatesFolder().c_str(), 0700) != 0) return;
    g_unlink(SignaturePathOf(package).c_str());  // never beside a package it was not made for
    if (!WriteWhole(package, task.PopReceivedData())) return;
    // A signature is a few dozen bytes: a larger answer is cut off and so refused.
    g_httpManager.Get(
        AnsiToWide(SignatureUrl(url)), [package](FCHttpRequest& sig) { OnSignatureDownloaded(package, sig); },
        static_cast<int32_t>(kMaxSignatureBytes));
  });
}

std::string ReadyPackagePath() {
  if (g_readyPackage.empty()) return std::string();
  if (!Verify(g_readyPackage)) g_readyPackage.clear();
  return g_readyPackage;
}

void ForgetReadyPackage() {
  if (!g_readyPackage.empty()) Discard(g_readyPackage);
  g_readyPackage.clear();
}

const std::string& LastPackageRefusal() { return g_lastRefusal; }

}  // namespace corvane
