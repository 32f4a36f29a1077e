// The local error page coming back to the page the teacher wanted by itself: a GET that failed on
// the network is tried again when the desktop's network comes back (GNetworkMonitor) and, while
// it stays down, after 2, 4, 8 ... at most 60 seconds (error_page_return.h). A form is never sent
// again, and a page that loads ends the attempts.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane {

class CErrorPageRetry {
 public:
  // `load` starts a load of an address as the program's own.
  explicit CErrorPageRetry(std::function<void(const std::string&)> load);
  ~CErrorPageRetry();
  CErrorPageRetry(const CErrorPageRetry&) = delete;
  CErrorPageRetry& operator=(const CErrorPageRetry&) = delete;

  // A navigation the engine is about to make (from decide-policy).
  void Navigating(const std::string& uri, const std::string& method, bool formSubmission);
  // The main frame's load of `uri` failed with the runtime's `code`.
  void Failed(const std::string& uri, int code);
  // The main frame committed `uri`: the error page of the last failure arms the next attempt;
  // any other page ends the attempts.
  void Committed(const std::string& uri);

  // Seconds until the next attempt while one is armed, else -1 (for the walk).
  int ArmedDelay() const { return m_timer ? m_delay : -1; }

 private:
  struct Navigation {
    std::string uri, method;
    bool form = false;
  };
  static void OnNetworkChanged(GNetworkMonitor* monitor, gboolean available, CErrorPageRetry* self);
  void Disarm();
  void Attempt();

  std::function<void(const std::string&)> m_load;
  std::vector<Navigation> m_navigations;  // the latest few, newest last
  std::string m_failed;                   // the address whose failure may be retried
  bool m_retries = false;                 // ... and whether it is
  int m_attempt = 0;                      // attempts made for it so far
  int m_delay = 0;
  guint m_timer = 0;
  gulong m_networkHandler = 0;
  bool m_networkDown = false;  // the desktop said its network went, and has not said it is back
};

}  // namespace corvane
