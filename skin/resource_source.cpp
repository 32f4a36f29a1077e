// Skin resources from a ZIP archive or a folder on disk.
#include "skin/resource_source.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/utf8.h"

namespace corvane {

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::wstring JoinSkinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  if (name.empty()) return folder;
  const wchar_t last = folder.back();
  if (last == L'/' || last == L'\\') return folder + name;
  return folder + L"/" + name;
}

CZipResourceSource::CZipResourceSource(std::shared_ptr<const CZipArchive> archive, std::wstring prefix)
    : m_archive(std::move(archive)), m_prefix(std::move(prefix)) {}

std::unique_ptr<CZipResourceSource> CZipResourceSource::OpenFile(const std::wstring& zipPath,
                                                                 const std::wstring& prefix) {
  auto bytes = ReadWholeFile(zipPath);
  if (!bytes) return nullptr;
  auto archive = std::make_shared<CZipArchive>();
  if (!archive->Open(std::move(*bytes))) return nullptr;
  return std::make_unique<CZipResourceSource>(std::move(archive), prefix);
}

std::string CZipResourceSource::EntryName(const std::wstring& name) const {
  return WideToUtf8(JoinSkinPath(m_prefix, name));
}

bool CZipResourceSource::Exists(const std::wstring& name) const { return m_archive->Contains(EntryName(name)); }

std::optional<std::string> CZipResourceSource::Read(const std::wstring& name) const {
  return m_archive->Read(EntryName(name));
}

bool CFolderResourceSource::Exists(const std::wstring& name) const {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(JoinSkinPath(m_folder, name)), error);
}

std::optional<std::string> CFolderResourceSource::Read(const std::wstring& name) const {
  return ReadWholeFile(JoinSkinPath(m_folder, name));
}

std::shared_ptr<const IResourceSource> OpenSkin(UILIB_RESOURCETYPE type, const std::wstring& programFolder,
                                                const std::wstring& zip, const std::wstring& skinFolder) {
  switch (type) {
    case UILIB_ZIP: {
      const bool absolute =
          (zip.size() > 1 && zip[1] == L':') || (!zip.empty() && (zip[0] == L'\\' || zip[0] == L'/'));
      return CZipResourceSource::OpenFile(absolute ? zip : programFolder + zip, skinFolder);
    }
    case UILIB_FILE:
      return std::make_shared<CFolderResourceSource>(JoinSkinPath(programFolder, skinFolder));
    default:
      return nullptr;
  }
}

}  // namespace corvane
