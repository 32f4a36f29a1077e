// Fuzzes the skin archive reader (central directory, local headers, stored and deflated
// entries, CRC-32) and every layout found in it. Checks, besides the sanitizers: each name the
// index lists is found again and never starts with '/' or holds '\', what is read stays within
// the size limit and reads back the same, and each layout passes layout_checks.h.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/fuzz/layout_checks.h"
#include "skin/resource_source.h"
#include "skin/zip_archive.h"
#include "base/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using corvane::fuzz::Check;
  auto archive = std::make_shared<corvane::CZipArchive>();
  const bool opened = archive->Open(std::string(reinterpret_cast<const char*>(data), size));
  Check(opened == archive->IsOpen() && (opened || archive->EntryCount() == 0));
  std::vector<std::string> layouts;
  archive->ForEachName([&](const std::string& name) {
    Check(archive->Contains(name) && !name.empty() && name[0] != '/' && name.find('\\') == std::string::npos);
    const auto bytes = archive->Read(name);
    if (!bytes) return;
    Check(bytes->size() <= corvane::CZipArchive::kMaxEntrySize && archive->Read(name) == bytes);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0) layouts.push_back(name);
  });
  auto source = std::make_shared<corvane::CZipResourceSource>(archive, L"");
  for (const std::string& name : layouts) {
    corvane::CUiManager manager;
    manager.LoadLayout(source, corvane::Utf8ToWide(name));
    corvane::fuzz::CheckLayout(manager);
  }
  return 0;
}
