// CErrorPageRetry: which failure the error page stands for, and its timer and network watch.
#include "client/browser/webkit/webkit_error_retry_gtk.h"

#include "base/utf8.h"
#include "client/browser/error_page_return.h"

namespace corvane {
namespace {
constexpr size_t kNavigationsKept = 8;  // sub-frames navigate too; the failed one is among the latest
}  // namespace

CErrorPageRetry::CErrorPageRetry(std::function<void(const std::string&)> load) : m_load(std::move(load)) {
  m_networkHandler =
      g_signal_connect(g_network_monitor_get_default(), "network-changed", G_CALLBACK(OnNetworkChanged), this);
}

CErrorPageRetry::~CErrorPageRetry() {
  Disarm();
  g_signal_handler_disconnect(g_network_monitor_get_default(), m_networkHandler);
}

void CErrorPageRetry::Navigating(const std::string& uri, const std::string& method, bool formSubmission) {
  Disarm();  // another page was asked for: the error page is left
  m_navigations.push_back(Navigation{uri, method, formSubmission});
  if (m_navigations.size() > kNavigationsKept) m_navigations.erase(m_navigations.begin());
}

void CErrorPageRetry::Failed(const std::string& uri, int code) {
  const Navigation* navigation = nullptr;
  for (const Navigation& seen : m_navigations) {
    if (seen.uri == uri) navigation = &seen;
  }
  // Unknown how it was asked for: not again unasked.
  const bool retries = navigation && RetriesByItself(navigation->method, navigation->form, code);
  if (uri != m_failed) m_attempt = 0;
  m_failed = uri;
  m_retries = retries;
}

void CErrorPageRetry::Committed(const std::string& uri) {
  Disarm();
  const std::string failed = WideToUtf8(FailedUrlOf(Utf8ToWide(uri)));
  if (failed.empty() || failed != m_failed) {
    m_attempt = 0;  // a page loaded: the next failure starts afresh
    return;
  }
  if (!m_retries) return;
  if (!g_network_monitor_get_network_available(g_network_monitor_get_default())) m_networkDown = true;
  m_delay = RetryDelaySeconds(m_attempt);
  m_timer = g_timeout_add_seconds(static_cast<guint>(m_delay), [](gpointer data) -> gboolean {
    auto* self = static_cast<CErrorPageRetry*>(data);
    self->m_timer = 0;
    self->Attempt();
    return G_SOURCE_REMOVE;
  }, this);
}

void CErrorPageRetry::OnNetworkChanged(GNetworkMonitor*, gboolean available, CErrorPageRetry* self) {
  // Only the way back up counts: a monitor that reports every change of an up network would
  // otherwise bring an attempt each time.
  if (!available) {
    self->m_networkDown = true;
    return;
  }
  const bool cameBack = self->m_networkDown;
  self->m_networkDown = false;
  if (cameBack && self->m_timer) {
    self->Disarm();
    self->Attempt();
  }
}

void CErrorPageRetry::Disarm() {
  if (m_timer) g_source_remove(m_timer);
  m_timer = 0;
}

void CErrorPageRetry::Attempt() {
  ++m_attempt;
  m_load(m_failed);
}

}  // namespace corvane
