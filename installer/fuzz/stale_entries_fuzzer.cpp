// Fuzzes which entries of the previous delete list an update deletes: that list lies in the
// installation folder, where an ordinary user may write. Checks, besides the sanitizers: every
// stale entry is one of the previous list's, passes the uninstaller's entry rule, and however
// Windows reads it names neither a file this version ships nor a folder holding one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "installer/stale_entries.h"
#include "uninstall/delete_list.h"
#include "uninstall/fuzz/windows_path_model.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The installer's PAYLOAD list.
const std::vector<std::wstring> kShipped = {L"CorvaneClient.exe", L"uninstall.exe", L"skin.zip", L"error_page",
                                            L"error_page\\Error.html"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::wstring> previous;
  for (const std::string& line : corvane::SplitDeleteList(std::string(reinterpret_cast<const char*>(data), size))) {
    previous.push_back(corvane::AnsiToWide(line));
  }
  for (const std::wstring& entry : corvane::StaleEntries(previous, kShipped)) {
    Check(std::find(previous.begin(), previous.end(), entry) != previous.end());
    Check(corvane::IsSafeDeleteEntry(entry));
    const auto stale = corvane::fuzz::ResolveBelowFolder(entry);
    Check(stale.has_value());
    for (const std::wstring& shipped : kShipped) {
      const auto kept = corvane::fuzz::ResolveBelowFolder(shipped);
      Check(stale->size() > kept->size() || !std::equal(stale->begin(), stale->end(), kept->begin()));
    }
  }
  return 0;
}
