// The stand-in browser's history: committed entries and the current index. A new navigation
// drops the entries ahead of the current one; back and forward move the index.
#pragma once

#include <string>
#include <vector>

namespace corvane {

class CNavigationHistory {
 public:
  enum class Kind { New, Back, Forward, Reload };

  bool CanGoBack() const { return m_index > 0; }
  bool CanGoForward() const { return m_index + 1 < static_cast<int>(m_entries.size()); }
  // The URL a back or forward step would load; empty when there is none.
  std::wstring BackUrl() const { return CanGoBack() ? m_entries[m_index - 1] : std::wstring(); }
  std::wstring ForwardUrl() const { return CanGoForward() ? m_entries[m_index + 1] : std::wstring(); }
  std::wstring CurrentUrl() const { return m_index >= 0 ? m_entries[m_index] : std::wstring(); }
  // Records a navigation that has committed.
  void Commit(Kind kind, const std::wstring& url);
  size_t Size() const { return m_entries.size(); }

 private:
  std::vector<std::wstring> m_entries;
  int m_index = -1;
};

}  // namespace corvane
