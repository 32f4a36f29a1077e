// Debian package fields through libarchive (the outer ar archive, then the control.tar member
// from memory) and Debian's version order through libapt-pkg.
#include "client/update/deb_package.h"

#include <apt-pkg/debversion.h>
#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <memory>

namespace corvane {
namespace {

// Bounds on what a package may make us read: "debian-binary" is "2.0\n"; control.tar of a real
// package is a few KiB (md5sums grows with the file count, not near this).
constexpr la_int64_t kMaxDebianBinaryBytes = 64;
constexpr la_int64_t kMaxControlMemberBytes = 4 * 1024 * 1024;
constexpr la_int64_t kMaxControlEntryBytes = 1024 * 1024;
constexpr int kMaxSkippedMembers = 8;       // members named "_..." dpkg itself skips
constexpr int kMaxControlTarEntries = 64;

struct ArchiveDeleter {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveDeleter>;

// The current entry's data, when its declared size is known and at most `limit`.
bool ReadEntry(archive* a, archive_entry* entry, la_int64_t limit, std::string& out) {
  if (!archive_entry_size_is_set(entry) || archive_entry_size(entry) < 0 || archive_entry_size(entry) > limit) {
    return false;
  }
  out.assign(static_cast<size_t>(archive_entry_size(entry)), '\0');
  size_t done = 0;
  while (done < out.size()) {
    const la_ssize_t got = archive_read_data(a, &out[done], out.size() - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

// The filter a control member's name promises, which the member must then really use.
bool ControlFilter(const char* name, archive* a, int& filterCode) {
  struct Kind {
    const char* name;
    int (*enable)(archive*);
    int code;
  };
  static const Kind kKinds[] = {
      {"control.tar.gz", archive_read_support_filter_gzip, ARCHIVE_FILTER_GZIP},
      {"control.tar.xz", archive_read_support_filter_xz, ARCHIVE_FILTER_XZ},
      {"control.tar.zst", archive_read_support_filter_zstd, ARCHIVE_FILTER_ZSTD},
      {"control.tar", nullptr, ARCHIVE_FILTER_NONE},
  };
  for (const Kind& kind : kKinds) {
    if (std::strcmp(name, kind.name) != 0) continue;
    // ARCHIVE_WARN would mean an outside program decompresses: never for hostile input.
    if (kind.enable && kind.enable(a) != ARCHIVE_OK) return false;
    filterCode = kind.code;
    return true;
  }
  return false;
}

bool IsPackageName(const std::string& name) {
  if (name.size() < 2 || name.size() > 128 || !(std::islower(static_cast<unsigned char>(name[0])) ||
                                               std::isdigit(static_cast<unsigned char>(name[0])))) {
    return false;
  }
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

bool SameField(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Package and Version from the control file's paragraph (field names case-insensitive, each
// field at most once, continuation lines belonging to the field above).
bool ParseControl(const std::string& text, DebianPackageFields& out) {
  bool havePackage = false, haveVersion = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    if (Trim(line).empty()) break;  // the paragraph ends
    if (line[0] == ' ' || line[0] == '\t') continue;
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string name = line.substr(0, colon);
    const std::string value = Trim(line.substr(colon + 1));
    if (SameField(name, "Package")) {
      if (havePackage) return false;
      havePackage = true;
      out.package = value;
    } else if (SameField(name, "Version")) {
      if (haveVersion) return false;
      haveVersion = true;
      out.version = value;
    }
  }
  return havePackage && haveVersion && IsPackageName(out.package) && IsDebianVersion(out.version);
}

// The ./control file of a control.tar member held in memory.
bool ReadControlMember(const std::string& member, const char* name, DebianPackageFields& out) {
  ArchivePtr a(archive_read_new());
  int filterCode = 0;
  if (!a || !ControlFilter(name, a.get(), filterCode) || archive_read_support_format_tar(a.get()) != ARCHIVE_OK ||
      archive_read_open_memory(a.get(), member.data(), member.size()) != ARCHIVE_OK) {
    return false;
  }
  archive_entry* entry = nullptr;
  for (int i = 0; i < kMaxControlTarEntries; ++i) {
    if (archive_read_next_header(a.get(), &entry) != ARCHIVE_OK) return false;
    if (archive_filter_code(a.get(), 0) != filterCode) return false;
    // Every entry's size is bounded, so skipping one never decompresses more than that.
    if (!archive_entry_size_is_set(entry) || archive_entry_size(entry) > kMaxControlEntryBytes) return false;
    const char* path = archive_entry_pathname(entry);
    if (!path || (std::strcmp(path, "./control") != 0 && std::strcmp(path, "control") != 0)) continue;
    std::string text;
    return archive_entry_filetype(entry) == AE_IFREG && ReadEntry(a.get(), entry, kMaxControlEntryBytes, text) &&
           ParseControl(text, out);
  }
  return false;
}

}  // namespace

DebianPackageRead ReadDebianPackageFields(int fd, DebianPackageFields& out) {
  if (lseek(fd, 0, SEEK_SET) != 0) return DebianPackageRead::Unreadable;
  ArchivePtr a(archive_read_new());
  if (!a || archive_read_support_format_ar(a.get()) != ARCHIVE_OK ||
      archive_read_open_fd(a.get(), fd, 64 * 1024) != ARCHIVE_OK) {
    return DebianPackageRead::NotDebianPackage;
  }
  archive_entry* entry = nullptr;
  if (archive_read_next_header(a.get(), &entry) != ARCHIVE_OK ||
      (archive_format(a.get()) & ARCHIVE_FORMAT_BASE_MASK) != ARCHIVE_FORMAT_AR) {
    return DebianPackageRead::NotDebianPackage;
  }
  std::string format;
  const char* name = archive_entry_pathname(entry);
  if (!name || std::strcmp(name, "debian-binary") != 0 || !ReadEntry(a.get(), entry, kMaxDebianBinaryBytes, format) ||
      format.compare(0, 2, "2.") != 0) {
    return DebianPackageRead::NotDebianPackage;
  }
  for (int skipped = 0; skipped <= kMaxSkippedMembers; ++skipped) {
    if (archive_read_next_header(a.get(), &entry) != ARCHIVE_OK) return DebianPackageRead::NotDebianPackage;
    name = archive_entry_pathname(entry);
    if (name && name[0] == '_') continue;
    std::string member;
    if (!name || std::strncmp(name, "control.tar", 11) != 0 ||
        !ReadEntry(a.get(), entry, kMaxControlMemberBytes, member) || !ReadControlMember(member, name, out)) {
      return DebianPackageRead::NotDebianPackage;
    }
    return DebianPackageRead::Ok;
  }
  return DebianPackageRead::NotDebianPackage;
}

bool IsDebianVersion(const std::string& version) {
  if (version.empty() || version.size() > 256) return false;
  std::string rest = version;
  const size_t colon = rest.find(':');
  const bool hasEpoch = colon != std::string::npos;
  if (hasEpoch) {
    if (colon == 0) return false;
    for (size_t i = 0; i < colon; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
    }
    rest = rest.substr(colon + 1);
  }
  const size_t dash = rest.rfind('-');
  const bool hasRevision = dash != std::string::npos;
  const std::string upstream = hasRevision ? rest.substr(0, dash) : rest;
  if (hasRevision) {
    const std::string revision = rest.substr(dash + 1);
    if (revision.empty()) return false;
    for (char c : revision) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '.' && c != '~') return false;
    }
  }
  if (upstream.empty() || !std::isdigit(static_cast<unsigned char>(upstream[0]))) return false;
  for (char c : upstream) {
    const bool ok = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '~' ||
                    (c == '-' && hasRevision) || (c == ':' && hasEpoch);
    if (!ok) return false;
  }
  return true;
}

int CompareDebianVersions(const std::string& a, const std::string& b) { return debVS.CmpVersion(a, b); }

}  // namespace corvane
