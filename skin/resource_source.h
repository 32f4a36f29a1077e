// Where a window's layout and images come from: a skin archive ("skin.zip") or a plain folder.
// Names are relative to the skin folder of the window, '/' or '\\' separated.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "skin/zip_archive.h"

namespace corvane {

class IResourceSource {
 public:
  virtual ~IResourceSource() = default;
  virtual bool Exists(const std::wstring& name) const = 0;
  virtual std::optional<std::string> Read(const std::wstring& name) const = 0;
};

// Whole file into memory; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

class CZipResourceSource : public IResourceSource {
 public:
  // `prefix` is the skin folder inside the archive ("" for its root).
  CZipResourceSource(std::shared_ptr<const CZipArchive> archive, std::wstring prefix);
  // Null when the archive is missing or no archive at all.
  static std::unique_ptr<CZipResourceSource> OpenFile(const std::wstring& zipPath, const std::wstring& prefix);

  bool Exists(const std::wstring& name) const override;
  std::optional<std::string> Read(const std::wstring& name) const override;

 private:
  std::string EntryName(const std::wstring& name) const;
  std::shared_ptr<const CZipArchive> m_archive;
  std::wstring m_prefix;
};

class CFolderResourceSource : public IResourceSource {
 public:
  explicit CFolderResourceSource(std::wstring folder) : m_folder(std::move(folder)) {}
  bool Exists(const std::wstring& name) const override;
  std::optional<std::string> Read(const std::wstring& name) const override;

 private:
  std::wstring m_folder;
};

// Where a window's layout comes from.
enum UILIB_RESOURCETYPE {
  UILIB_FILE = 1,         // files in the skin folder beside the program
  UILIB_ZIP = 2,          // an archive beside the program (GetZIPFileName)
  UILIB_RESOURCE = 3,     // not supported: the window stays empty
  UILIB_ZIPRESOURCE = 4,  // not supported: the window stays empty
};

// The skin a window names: the archive `zip` (a bare name lies in `programFolder`, a full path
// is taken as it is) or the folder `skinFolder` beside the program; null when there is none.
std::shared_ptr<const IResourceSource> OpenSkin(UILIB_RESOURCETYPE type, const std::wstring& programFolder,
                                                const std::wstring& zip, const std::wstring& skinFolder);

// "a" + "b" with one separator between them (either given side may be empty).
std::wstring JoinSkinPath(const std::wstring& folder, const std::wstring& name);

}  // namespace corvane
