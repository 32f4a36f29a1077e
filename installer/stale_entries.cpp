// StaleEntries: the previous list minus what is shipped now, never an entry that holds a
// shipped one (a folder of the old list may still carry new files).
#include "installer/stale_entries.h"

#include <algorithm>

#include "uninstall/delete_list.h"

namespace corvane {
namespace {

std::wstring Folded(std::wstring s) {
  for (wchar_t& c : s) {
    if (c == L'/') c = L'\\';
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  while (!s.empty() && s.back() == L'\\') s.pop_back();
  return s;
}

// True when `inner` is `outer` or lies below it.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer) {
  if (inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0) return false;
  return inner.size() == outer.size() || inner[outer.size()] == L'\\';
}

}  // namespace

std::vector<std::wstring> StaleEntries(const std::vector<std::wstring>& previous,
                                       const std::vector<std::wstring>& shipped) {
  std::vector<std::wstring> kept;
  for (const std::wstring& entry : shipped) kept.push_back(Folded(entry));
  std::vector<std::wstring> stale;
  for (const std::wstring& entry : previous) {
    if (!IsSafeDeleteEntry(entry)) continue;
    const std::wstring folded = Folded(entry);
    if (folded.empty()) continue;
    const bool holdsShipped = std::any_of(kept.begin(), kept.end(), [&](const std::wstring& k) {
      return IsSameOrInside(k, folded);
    });
    if (!holdsShipped) stale.push_back(entry);
  }
  return stale;
}

}  // namespace corvane
