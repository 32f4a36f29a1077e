// Keeps session cookies across restarts (the runtime settings' persist_session_cookies) on
// WebKitGTK, whose SQLite cookie storage writes only cookies with an expiry: every cookie without
// one is added again with a far expiry whenever the cookie manager reports a change, so the
// storage keeps it. The page sees the same name, value, path and flags.
#pragma once

#include <webkit2/webkit2.h>

#include <memory>

namespace corvane {

class SessionCookieKeeper {
 public:
  explicit SessionCookieKeeper(WebKitCookieManager* manager);
  // Waits (boundedly) for the re-adds already asked for, so a cookie set just before the
  // program ends is stored too; UI thread.
  ~SessionCookieKeeper();
  SessionCookieKeeper(const SessionCookieKeeper&) = delete;
  SessionCookieKeeper& operator=(const SessionCookieKeeper&) = delete;

  // The expiry a kept session cookie gets: the longest lifetime browsers grant a cookie.
  static constexpr int kKeptSeconds = 400 * 24 * 60 * 60;

  struct State;

 private:
  std::shared_ptr<State> m_state;  // shared with the engine's callbacks still on their way
  gulong m_handler = 0;
};

}  // namespace corvane
