// Session cookies kept across restarts: on each change of the cookie jar, the cookies without an
// expiry are read back and added again with one, which WebKit's SQLite storage then writes.
#include "client/browser/webkit/webkit_session_cookies_gtk.h"

#include "base/main_loop_gtk.h"

#include <libsoup/soup.h>

namespace corvane {

struct SessionCookieKeeper::State {
  WebKitCookieManager* manager = nullptr;
  int pending = 0;      // reads and re-adds on their way
  bool reading = false;  // a read of the jar is on its way
  bool changedMeanwhile = false;
};

namespace {

using State = SessionCookieKeeper::State;

void ReadJar(const std::shared_ptr<State>& state);

void Added(GObject* source, GAsyncResult* result, gpointer data) {
  auto* state = static_cast<std::shared_ptr<State>*>(data);
  webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, nullptr);
  --(*state)->pending;
  delete state;
}

void JarRead(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<State>> state(static_cast<std::shared_ptr<State>*>(data));
  GList* cookies = webkit_cookie_manager_get_all_cookies_finish(WEBKIT_COOKIE_MANAGER(source), result, nullptr);
  for (GList* item = cookies; item; item = item->next) {
    auto* cookie = static_cast<SoupCookie*>(item->data);
    if (soup_cookie_get_expires(cookie)) continue;  // stored by WebKit already
    SoupCookie* kept = soup_cookie_copy(cookie);
    soup_cookie_set_max_age(kept, SessionCookieKeeper::kKeptSeconds);
    ++(*state)->pending;
    webkit_cookie_manager_add_cookie(WEBKIT_COOKIE_MANAGER(source), kept, nullptr, Added,
                                     new std::shared_ptr<State>(*state));
    soup_cookie_free(kept);
  }
  g_list_free_full(cookies, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
  --(*state)->pending;
  (*state)->reading = false;
  // A change reported while the jar was being read may be a session cookie not in this answer.
  if ((*state)->changedMeanwhile && (*state)->manager) ReadJar(*state);
}

void ReadJar(const std::shared_ptr<State>& state) {
  if (state->reading) {
    state->changedMeanwhile = true;
    return;
  }
  state->reading = true;
  state->changedMeanwhile = false;
  ++state->pending;
  webkit_cookie_manager_get_all_cookies(state->manager, nullptr, JarRead, new std::shared_ptr<State>(state));
}

void Changed(WebKitCookieManager*, gpointer data) { ReadJar(*static_cast<std::shared_ptr<State>*>(data)); }

}  // namespace

SessionCookieKeeper::SessionCookieKeeper(WebKitCookieManager* manager) : m_state(std::make_shared<State>()) {
  m_state->manager = WEBKIT_COOKIE_MANAGER(g_object_ref(manager));
  m_handler = g_signal_connect_data(
      manager, "changed", G_CALLBACK(Changed), new std::shared_ptr<State>(m_state),
      [](gpointer data, GClosure*) { delete static_cast<std::shared_ptr<State>*>(data); }, GConnectFlags(0));
}

SessionCookieKeeper::~SessionCookieKeeper() {
  // The bound only ends a wait on an engine that no longer answers.
  RunMainLoopUntil([this] { return m_state->pending <= 0; }, 3000);
  g_signal_handler_disconnect(m_state->manager, m_handler);
  g_clear_object(&m_state->manager);
}

}  // namespace corvane
