// A download from its start to its file: the name decided when WebKit asks, the part file
// renamed on success and removed on failure; each step shown on the view's download notice.
#include "client/browser/webkit/webkit_download_gtk.h"

#include <glib/gstdio.h>

#include "client/browser/download_name.h"
#include "client/browser/webkit/webkit_download_notice_gtk.h"

namespace corvane {
namespace {

constexpr char kPartSuffix[] = ".part";

struct Saving {
  std::string part;   // where WebKit writes
  std::string final;  // the name it gets when whole
  bool failed = false;
  bool cancelled = false;
};

CDownloadNotice* NoticeOf(WebKitDownload* download) { return DownloadNoticeOf(webkit_download_get_web_view(download)); }

bool Exists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

// Free both as a final name and as that name's part file, so two downloads never share either.
std::string FreeName(const std::string& folder, const std::string& name) {
  return UniqueDownloadName(name, [&](const std::string& candidate) {
    const std::string path = folder + "/" + candidate;
    return Exists(path) || Exists(path + kPartSuffix);
  });
}

gboolean OnDecideDestination(WebKitDownload* download, const gchar* suggested, Saving* saving) {
  const std::string folder = DownloadFolder();
  g_mkdir_with_parents(folder.c_str(), 0700);
  const std::string name = FreeName(folder, SafeDownloadName(suggested ? suggested : ""));
  saving->final = folder + "/" + name;
  saving->part = saving->final + kPartSuffix;
  webkit_download_set_allow_overwrite(download, FALSE);
  webkit_download_set_destination(download, saving->part.c_str());
  if (CDownloadNotice* notice = NoticeOf(download)) notice->Named(download, saving->final);
  return TRUE;
}

void OnFailed(WebKitDownload*, GError* error, Saving* saving) {
  saving->failed = true;  // "finished" follows, and removes what was written
  saving->cancelled = g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
}

void OnFinished(WebKitDownload* download, Saving* saving) {
  CDownloadNotice* notice = NoticeOf(download);
  if (saving->part.empty() || saving->failed) {
    if (!saving->part.empty()) g_unlink(saving->part.c_str());
    if (notice) notice->Failed(download, saving->cancelled);
    return;
  }
  // The name may have been taken meanwhile: the part file then moves to the next free one.
  GFile* part = g_file_new_for_path(saving->part.c_str());
  bool moved = false;
  for (int attempt = 0; attempt < 100 && !moved; ++attempt) {
    GFile* final = g_file_new_for_path(saving->final.c_str());
    GError* error = nullptr;
    moved = g_file_move(part, final, G_FILE_COPY_NONE, nullptr, nullptr, nullptr, &error);
    g_object_unref(final);
    const bool taken = !moved && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_EXISTS);
    g_clear_error(&error);
    if (!taken) break;
    gchar* folder = g_path_get_dirname(saving->final.c_str());
    gchar* base = g_path_get_basename(saving->final.c_str());
    saving->final = std::string(folder) + "/" + FreeName(folder, base);
    g_free(folder);
    g_free(base);
  }
  g_object_unref(part);
  if (Exists(saving->part)) g_unlink(saving->part.c_str());  // never a half-named file left behind
  if (!notice) return;
  if (moved) {
    notice->Finished(download, saving->final);
  } else {
    notice->Failed(download, false);
  }
}

}  // namespace

std::string DownloadFolder() {
  const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  if (folder && *folder) return folder;
  return std::string(g_get_home_dir()) + "/Downloads";
}

void SaveDownload(WebKitWebContext*, WebKitDownload* download, gpointer) {
  auto* saving = new Saving();
  g_object_set_data_full(G_OBJECT(download), "corvane-saving", saving,
                         [](gpointer data) { delete static_cast<Saving*>(data); });
  g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), saving);
  g_signal_connect(download, "failed", G_CALLBACK(OnFailed), saving);
  g_signal_connect(download, "finished", G_CALLBACK(OnFinished), saving);
  if (CDownloadNotice* notice = NoticeOf(download)) notice->Started(download);
}

}  // namespace corvane
