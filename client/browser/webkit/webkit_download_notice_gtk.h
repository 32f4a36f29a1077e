// CDownloadNotice: the strip under the toolbar that follows the latest download of a view — its
// name and progress, then "打开" and "在文件夹中显示" (the desktop's file manager), or a failure
// in one line. It hides by itself a while after the download ended, or at "关闭".
#pragma once

#include <webkit2/webkit2.h>

#include <string>

#include "client/browser/webkit/webkit_strip_gtk.h"

namespace corvane {

class CDownloadNotice final : public CBrowserStrip {
 public:
  CDownloadNotice() : CBrowserStrip(L"download_notice.xml") {}
  ~CDownloadNotice() override;
  const wchar_t* GetWindowClassName() const override { return L"DownloadNotice"; }
  void OnClick(TNotifyUI& msg) override;

  // The steps of `download`, from webkit_download_gtk.h. A newer download takes the notice over;
  // later steps of an older one are left out.
  void Started(WebKitDownload* download);
  void Named(WebKitDownload* download, const std::string& path);
  void Finished(WebKitDownload* download, const std::string& path);
  void Failed(WebKitDownload* download, bool cancelled);

  // The line shown (UTF-8), and the file it names once whole ("" before).
  std::string Line();
  const std::string& SavedPath() const { return m_saved; }

 private:
  static void OnProgress(WebKitDownload* download, GParamSpec*, CDownloadNotice* self);
  void Follow(WebKitDownload* download);
  void Ended(const std::string& line, bool whole);
  void ShowDownloading();

  WebKitDownload* m_download = nullptr;  // the download shown, one reference
  std::string m_name;                    // its file name, once decided
  std::string m_saved;                   // its whole file
  guint m_hideTimer = 0;
};

// The notice of the browser in `view` (the browser sets it; null: no notice).
void SetDownloadNotice(WebKitWebView* view, CDownloadNotice* notice);
CDownloadNotice* DownloadNoticeOf(WebKitWebView* view);

// A file the notice offers to open with the desktop's handler: never a program, a launcher or a
// script (the file came from a server; the teacher may open it by hand in the folder).
bool MayOpenDownload(const std::string& path);

// The desktop's file manager shows `path` selected (org.freedesktop.FileManager1 ShowItems on the
// session bus); without one, the folder opens with the desktop's handler.
void ShowInFolder(GtkWidget* near, const std::string& path);

}  // namespace corvane
