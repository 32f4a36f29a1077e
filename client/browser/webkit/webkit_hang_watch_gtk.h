// CHangWatch: when the page's web process has not answered for 10 s (is-web-process-responsive),
// a strip under the toolbar offers "等待" or "重新加载". Waiting hides it until the process has
// answered again (it never asks twice about one hang); reloading ends the hung process and loads
// the page anew; the process answering again dismisses it.
#pragma once

#include <webkit2/webkit2.h>

#include "client/browser/webkit/webkit_strip_gtk.h"

namespace corvane {

class CHangWatch final : public CBrowserStrip {
 public:
  CHangWatch() : CBrowserStrip(L"hang_prompt.xml") {}
  ~CHangWatch() override;
  const wchar_t* GetWindowClassName() const override { return L"HangPrompt"; }
  void OnClick(TNotifyUI& msg) override;

  // Watches `view`; the strip goes into `box`, above the view.
  void Watch(WebKitWebView* view, GtkWidget* box);

 private:
  static void OnResponsiveChanged(WebKitWebView* view, GParamSpec*, CHangWatch* self);
  void StopTimer();

  WebKitWebView* m_view = nullptr;
  guint m_timer = 0;
  bool m_asked = false;  // this hang was asked about already
};

}  // namespace corvane
