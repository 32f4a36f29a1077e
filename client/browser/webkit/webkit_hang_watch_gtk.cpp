// CHangWatch: the 10 s bound on an unanswering web process, the prompt and its two answers.
#include "client/browser/webkit/webkit_hang_watch_gtk.h"

namespace corvane {
namespace {
constexpr guint kHangSeconds = 10;
}  // namespace

CHangWatch::~CHangWatch() {
  StopTimer();
  if (m_view) g_signal_handlers_disconnect_by_data(m_view, this);
}

void CHangWatch::Watch(WebKitWebView* view, GtkWidget* box) {
  m_view = view;
  Place(box, L"hang_prompt");
  g_signal_connect(view, "notify::is-web-process-responsive", G_CALLBACK(OnResponsiveChanged), this);
}

void CHangWatch::StopTimer() {
  if (m_timer) g_source_remove(m_timer);
  m_timer = 0;
}

void CHangWatch::OnResponsiveChanged(WebKitWebView* view, GParamSpec*, CHangWatch* self) {
  if (webkit_web_view_get_is_web_process_responsive(view)) {
    self->StopTimer();
    self->m_asked = false;
    self->Show(false);
    return;
  }
  if (self->m_timer || self->m_asked) return;
  self->m_timer = g_timeout_add_seconds(kHangSeconds, [](gpointer data) -> gboolean {
    auto* watch = static_cast<CHangWatch*>(data);
    watch->m_timer = 0;
    if (watch->m_view && !webkit_web_view_get_is_web_process_responsive(watch->m_view)) {
      watch->m_asked = true;
      watch->Show(true);
    }
    return G_SOURCE_REMOVE;
  }, self);
}

void CHangWatch::OnClick(TNotifyUI& msg) {
  const std::wstring& name = msg.pSender->GetName().str();
  if (name == L"button_wait") {
    Show(false);
  } else if (name == L"button_reload" && m_view) {
    Show(false);
    // A hung process would not carry out a reload: it goes first (by the program, so the
    // browser does not count it as a crash), and the page loads in a new one.
    webkit_web_view_terminate_web_process(m_view);
    webkit_web_view_reload(m_view);
  }
}

}  // namespace corvane
