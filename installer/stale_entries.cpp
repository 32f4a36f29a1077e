// StaleEntries: the previous list minus what is shipped now, never an entry that holds a
// shipped one (a folder of the old list may still carry new files).
#include "installer/stale_entries.h"

#include <algorithm>

#include "uninstall/delete_list.h"

namespace corvane {

std::vector<std::wstring> StaleEntries(const std::vector<std::wstring>& previous,
                                       const std::vector<std::wstring>& shipped) {
  // Compared as Windows reads them: "SKIN.ZIP." or ".\\skin.zip" is the shipped skin.zip.
  std::vector<std::vector<std::wstring>> kept;
  for (const std::wstring& entry : shipped) kept.push_back(ComparableEntry(entry));
  std::vector<std::wstring> stale;
  for (const std::wstring& entry : previous) {
    if (!IsSafeDeleteEntry(entry)) continue;
    const std::vector<std::wstring> names = ComparableEntry(entry);
    const bool holdsShipped = std::any_of(kept.begin(), kept.end(), [&](const std::vector<std::wstring>& k) {
      return names.size() <= k.size() && std::equal(names.begin(), names.end(), k.begin());
    });
    if (!holdsShipped) stale.push_back(entry);
  }
  return stale;
}

}  // namespace corvane
