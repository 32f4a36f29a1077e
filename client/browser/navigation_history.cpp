// History commits.
#include "client/browser/navigation_history.h"

namespace corvane {

void CNavigationHistory::Commit(Kind kind, const std::wstring& url) {
  switch (kind) {
    case Kind::Back:
      if (CanGoBack()) --m_index;
      break;
    case Kind::Forward:
      if (CanGoForward()) ++m_index;
      break;
    case Kind::Reload:
      if (m_index < 0) Commit(Kind::New, url);
      break;
    case Kind::New:
      if (m_index >= 0 && m_entries[m_index] == url) break;  // the same page again is no new entry
      m_entries.resize(m_index + 1);
      m_entries.push_back(url);
      ++m_index;
      break;
  }
}

}  // namespace corvane
