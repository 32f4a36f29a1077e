// CDownloadNotice: its lines for each step of a download, its buttons, and the desktop calls
// behind them.
#include "client/browser/webkit/webkit_download_notice_gtk.h"

#include <cstdio>

#include "base/utf8.h"
#include "skin/progress.h"

namespace corvane {
namespace {

constexpr char kNoticeKey[] = "corvane-download-notice";
// How long an ended download stays shown: long enough to reach "打开", short enough that the
// strip does not keep the page down.
constexpr guint kShownAfterEndSeconds = 15;

std::string BaseName(const std::string& path) {
  gchar* base = g_path_get_basename(path.c_str());
  std::string name = base;
  g_free(base);
  return name;
}

GtkWindow* TopOf(GtkWidget* widget) {
  GtkWidget* top = widget ? gtk_widget_get_toplevel(widget) : nullptr;
  return top && GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

void ShowUri(GtkWindow* window, const std::string& uri) {
  GError* error = nullptr;
  if (!gtk_show_uri_on_window(window, uri.c_str(), GDK_CURRENT_TIME, &error)) {
    std::fprintf(stderr, "corvane: no program opens %s: %s\n", uri.c_str(), error ? error->message : "");
    g_clear_error(&error);
  }
}

struct FolderRequest {
  std::string folderUri;
};

void OnShowItemsDone(GObject* bus, GAsyncResult* result, gpointer data) {
  auto* request = static_cast<FolderRequest*>(data);
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  if (reply) {
    g_variant_unref(reply);
  } else {
    g_clear_error(&error);
    ShowUri(nullptr, request->folderUri);  // no file manager on the bus: the folder itself
  }
  delete request;
}

}  // namespace

CDownloadNotice::~CDownloadNotice() {
  if (m_hideTimer) g_source_remove(m_hideTimer);
  if (m_download) {
    g_signal_handlers_disconnect_by_data(m_download, this);
    g_object_unref(m_download);
  }
}

void CDownloadNotice::Follow(WebKitDownload* download) {
  if (m_download == download) return;
  if (m_download) {
    g_signal_handlers_disconnect_by_data(m_download, this);
    g_object_unref(m_download);
  }
  m_download = WEBKIT_DOWNLOAD(g_object_ref(download));
  m_name.clear();
  m_saved.clear();
  g_signal_connect(download, "notify::estimated-progress", G_CALLBACK(OnProgress), this);
}

void CDownloadNotice::ShowDownloading() {
  if (m_hideTimer) g_source_remove(m_hideTimer);
  m_hideTimer = 0;
  SetText(L"label_download", m_name.empty() ? "正在下载…" : "正在下载：" + m_name);
  if (auto* bar = dynamic_cast<CProgressUI*>(Find(L"progress_download"))) {
    bar->SetValue(static_cast<int>(webkit_download_get_estimated_progress(m_download) * 100));
    bar->SetVisible(true);
  }
  for (const wchar_t* name : {L"button_open", L"button_show_folder"}) {
    if (CControlUI* button = Find(name)) button->SetVisible(false);
  }
  Show(true);
}

void CDownloadNotice::Started(WebKitDownload* download) {
  Follow(download);
  ShowDownloading();
}

void CDownloadNotice::Named(WebKitDownload* download, const std::string& path) {
  if (download != m_download) return;
  m_name = BaseName(path);
  ShowDownloading();
}

void CDownloadNotice::OnProgress(WebKitDownload* download, GParamSpec*, CDownloadNotice* self) {
  if (download != self->m_download || !self->m_saved.empty()) return;
  if (auto* bar = dynamic_cast<CProgressUI*>(self->Find(L"progress_download"))) {
    bar->SetValue(static_cast<int>(webkit_download_get_estimated_progress(download) * 100));
  }
}

void CDownloadNotice::Finished(WebKitDownload* download, const std::string& path) {
  if (download != m_download) return;
  m_name = BaseName(path);
  m_saved = path;
  Ended("已下载：" + m_name, true);
}

void CDownloadNotice::Failed(WebKitDownload* download, bool cancelled) {
  if (download != m_download) return;
  const std::string name = m_name.empty() ? "" : "：" + m_name;
  Ended(cancelled ? "下载已取消" + name : "下载失败" + name + "，请稍后重试", false);
}

void CDownloadNotice::Ended(const std::string& line, bool whole) {
  SetText(L"label_download", line);
  if (CControlUI* bar = Find(L"progress_download")) bar->SetVisible(false);
  if (CControlUI* open = Find(L"button_open")) open->SetVisible(whole && MayOpenDownload(m_saved));
  if (CControlUI* folder = Find(L"button_show_folder")) folder->SetVisible(whole);
  Show(true);
  if (m_hideTimer) g_source_remove(m_hideTimer);
  m_hideTimer = g_timeout_add_seconds(kShownAfterEndSeconds, [](gpointer data) -> gboolean {
    auto* self = static_cast<CDownloadNotice*>(data);
    self->m_hideTimer = 0;
    self->Show(false);
    return G_SOURCE_REMOVE;
  }, this);
}

std::string CDownloadNotice::Line() {
  CControlUI* label = Find(L"label_download");
  return label ? WideToUtf8(label->GetText().str()) : "";
}

void CDownloadNotice::OnClick(TNotifyUI& msg) {
  const std::wstring& name = msg.pSender->GetName().str();
  if (name == L"button_close") {
    Show(false);
  } else if (name == L"button_open" && !m_saved.empty() && MayOpenDownload(m_saved)) {
    gchar* uri = g_filename_to_uri(m_saved.c_str(), nullptr, nullptr);
    if (uri) ShowUri(TopOf(m_hWnd), uri);
    g_free(uri);
  } else if (name == L"button_show_folder" && !m_saved.empty()) {
    ShowInFolder(m_hWnd, m_saved);
  }
}

void SetDownloadNotice(WebKitWebView* view, CDownloadNotice* notice) {
  if (view) g_object_set_data(G_OBJECT(view), kNoticeKey, notice);
}

CDownloadNotice* DownloadNoticeOf(WebKitWebView* view) {
  return view ? static_cast<CDownloadNotice*>(g_object_get_data(G_OBJECT(view), kNoticeKey)) : nullptr;
}

bool MayOpenDownload(const std::string& path) {
  if (path.empty()) return false;
  GFile* file = g_file_new_for_path(path.c_str());
  GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE "," G_FILE_ATTRIBUTE_UNIX_MODE,
                                      G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr, nullptr);
  g_object_unref(file);
  if (!info) return false;
  const char* type = g_file_info_get_content_type(info);
  const guint32 mode = g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_UNIX_MODE);
  bool runs = (mode & 0111) != 0 || !type;
  for (const char* program : {"application/x-executable", "application/x-sharedlib", "application/x-desktop",
                              "application/x-shellscript", "application/x-msdownload", "application/x-ms-dos-executable",
                              "application/x-msi", "application/x-sh", "application/x-perl", "application/x-python",
                              "application/x-java-archive", "application/x-appimage", "application/vnd.flatpak.ref"}) {
    if (type && g_content_type_is_a(type, program)) runs = true;
  }
  g_object_unref(info);
  return !runs;
}

void ShowInFolder(GtkWidget* near, const std::string& path) {
  gchar* fileUri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  gchar* folder = g_path_get_dirname(path.c_str());
  gchar* folderUri = g_filename_to_uri(folder, nullptr, nullptr);
  g_free(folder);
  GDBusConnection* bus = fileUri ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr) : nullptr;
  if (bus) {
    const gchar* items[] = {fileUri, nullptr};
    g_dbus_connection_call(bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                           "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", items, ""), nullptr,
                           G_DBUS_CALL_FLAGS_NONE, -1, nullptr, OnShowItemsDone,
                           new FolderRequest{folderUri ? folderUri : ""});
    g_object_unref(bus);
  } else if (folderUri) {
    ShowUri(TopOf(near), folderUri);
  }
  g_free(fileUri);
  g_free(folderUri);
}

}  // namespace corvane
