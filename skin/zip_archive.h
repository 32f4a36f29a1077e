// Read-only ZIP archives held in memory: the central directory is indexed once, entries are
// inflated (zlib, raw deflate) or copied (stored) on demand and checked against their CRC-32.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class CZipArchive {
 public:
  // An entry larger than this is refused: a skin has no use for it and a forged size must not
  // make us allocate without bound.
  static constexpr uint32_t kMaxEntrySize = 64u << 20;

  // Takes the archive's bytes; false (and an empty archive) when no valid central directory is
  // found. Entries whose records are damaged are left out, the others stay readable.
  bool Open(std::string bytes);
  bool IsOpen() const { return m_open; }

  // Names use '/' as in the archive; lookups also accept '\\' and, failing an exact match,
  // ASCII case differences, as Windows users expect of file names.
  bool Contains(std::string_view name) const;
  // The entry's bytes, or nothing when it is absent, encrypted, of an unknown method,
  // truncated or corrupt.
  std::optional<std::string> Read(std::string_view name) const;
  size_t EntryCount() const { return m_entries.size(); }
  template <typename F>
  void ForEachName(F&& f) const {
    for (const auto& [name, entry] : m_entries) f(name);
  }

 private:
  struct Entry {
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t localHeaderOffset = 0;
  };

  const Entry* Find(std::string_view name) const;
  bool IndexCentralDirectory(size_t eocd);

  std::string m_bytes;
  std::map<std::string, Entry, std::less<>> m_entries;
  bool m_open = false;
};

}  // namespace corvane
