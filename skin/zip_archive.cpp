// ZIP reading: end-of-central-directory search, central directory index, local headers,
// stored and deflated data through zlib, CRC-32 verification.
#include "skin/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr uint32_t kEndOfCentralDirectory = 0x06054b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEocdSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kEncryptedFlag = 1;

uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}
uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(Le16(b, at)) | (static_cast<uint32_t>(Le16(b, at + 2)) << 16);
}

std::string NormaliseName(std::string_view name) {
  std::string out(name);
  std::replace(out.begin(), out.end(), '\\', '/');
  while (!out.empty() && out.front() == '/') out.erase(out.begin());
  return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool Inflate(const char* data, size_t size, std::string& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const bool complete = result == Z_STREAM_END && stream.total_out == out.size();
  inflateEnd(&stream);
  return complete;
}

}  // namespace

bool CZipArchive::Open(std::string bytes) {
  m_bytes = std::move(bytes);
  m_entries.clear();
  m_open = false;
  if (m_bytes.size() < kEocdSize) return false;
  // The record sits at the end, followed by a comment of at most 65535 bytes.
  const size_t last = m_bytes.size() - kEocdSize;
  const size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
  for (size_t at = last + 1; at-- > first;) {
    if (Le32(m_bytes, at) == kEndOfCentralDirectory && IndexCentralDirectory(at)) {
      m_open = true;
      return true;
    }
  }
  m_entries.clear();
  return false;
}

bool CZipArchive::IndexCentralDirectory(size_t eocd) {
  const uint16_t count = Le16(m_bytes, eocd + 10);
  const uint32_t dirSize = Le32(m_bytes, eocd + 12);
  const uint32_t dirOffset = Le32(m_bytes, eocd + 16);
  if (static_cast<uint64_t>(dirOffset) + dirSize > eocd) return false;
  size_t at = dirOffset;
  for (uint16_t i = 0; i < count; ++i) {
    if (at + kCentralHeaderSize > eocd || Le32(m_bytes, at) != kCentralHeader) return false;
    Entry entry;
    entry.flags = Le16(m_bytes, at + 8);
    entry.method = Le16(m_bytes, at + 10);
    entry.crc = Le32(m_bytes, at + 16);
    entry.compressedSize = Le32(m_bytes, at + 20);
    entry.size = Le32(m_bytes, at + 24);
    const uint16_t nameLength = Le16(m_bytes, at + 28);
    const uint16_t extraLength = Le16(m_bytes, at + 30);
    const uint16_t commentLength = Le16(m_bytes, at + 32);
    entry.localHeaderOffset = Le32(m_bytes, at + 42);
    const size_t next = at + kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (next > eocd) return false;
    std::string name = NormaliseName(std::string_view(m_bytes).substr(at + kCentralHeaderSize, nameLength));
    const bool isFolder = !name.empty() && name.back() == '/';
    if (!name.empty() && !isFolder) m_entries.emplace(std::move(name), entry);
    at = next;
  }
  return true;
}

const CZipArchive::Entry* CZipArchive::Find(std::string_view name) const {
  const std::string wanted = NormaliseName(name);
  if (auto it = m_entries.find(wanted); it != m_entries.end()) return &it->second;
  for (const auto& [entryName, entry] : m_entries) {
    if (EqualsIgnoringAsciiCase(entryName, wanted)) return &entry;
  }
  return nullptr;
}

bool CZipArchive::Contains(std::string_view name) const { return Find(name) != nullptr; }

std::optional<std::string> CZipArchive::Read(std::string_view name) const {
  const Entry* entry = Find(name);
  if (entry == nullptr || (entry->flags & kEncryptedFlag) != 0) return std::nullopt;
  if (entry->size > kMaxEntrySize || entry->compressedSize > m_bytes.size()) return std::nullopt;
  const size_t local = entry->localHeaderOffset;
  if (local + kLocalHeaderSize > m_bytes.size() || Le32(m_bytes, local) != kLocalHeader) return std::nullopt;
  const size_t dataAt = local + kLocalHeaderSize + Le16(m_bytes, local + 26) + Le16(m_bytes, local + 28);
  if (dataAt + entry->compressedSize > m_bytes.size()) return std::nullopt;

  std::string out(entry->size, '\0');
  const char* data = m_bytes.data() + dataAt;
  if (entry->method == kStored) {
    if (entry->compressedSize != entry->size) return std::nullopt;
    std::memcpy(out.data(), data, entry->size);
  } else if (entry->method == kDeflated) {
    if (!Inflate(data, entry->compressedSize, out)) return std::nullopt;
  } else {
    return std::nullopt;
  }
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size()));
  if (crc != entry->crc) return std::nullopt;
  return out;
}

}  // namespace corvane
