// Which entries of the previous delete list an update removes: what the new version no longer
// ships, by the same entry rule the uninstaller applies to the list.
#pragma once

#include <string>
#include <vector>

namespace corvane {

// Entries of `previous` that pass IsSafeDeleteEntry and that, compared as Windows reads them
// (ComparableEntry), are neither one of `shipped` nor a folder holding one; in `previous`'s order.
std::vector<std::wstring> StaleEntries(const std::vector<std::wstring>& previous,
                                       const std::vector<std::wstring>& shipped);

}  // namespace corvane
