// Test helpers: the archives the build packs, files of the source tree, layouts held in memory.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "skin/resource_source.h"
#include "skin/ui_manager.h"

namespace corvane::test {

std::string ReadBytes(const std::string& path);           // fails the test when unreadable
std::string SourceFile(const std::string& relativePath);  // a file of the source tree
std::wstring SkinZipPath();
std::wstring StoredSkinZipPath();
std::shared_ptr<CZipResourceSource> OpenSkin();

// Layouts and images of a test, by name.
class CMemorySkin : public IResourceSource {
 public:
  CMemorySkin& Add(const std::wstring& name, std::string bytes) {
    m_files[name] = std::move(bytes);
    return *this;
  }
  bool Exists(const std::wstring& name) const override { return m_files.count(name) != 0; }
  std::optional<std::string> Read(const std::wstring& name) const override {
    auto it = m_files.find(name);
    if (it == m_files.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::map<std::wstring, std::string> m_files;
};

// A manager built from one layout text, laid out at `size`.
std::unique_ptr<CUiManager> BuildFromXml(const std::string& xml, UiSize size = {400, 300});

}  // namespace corvane::test
