// Test helpers shared by the native and the Windows tests.
#include "skin/tests/test_skin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/utf8.h"

namespace corvane::test {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string SourceFile(const std::string& relativePath) {
  const char* root = std::getenv("CORVANE_TEST_SOURCE_DIR");
  return ReadBytes(std::string(root ? root : ".") + "/" + relativePath);
}

std::wstring SkinZipPath() { return Utf8ToWide(CORVANE_TEST_SKIN_ZIP); }
std::wstring StoredSkinZipPath() { return Utf8ToWide(CORVANE_TEST_SKIN_STORED_ZIP); }

std::shared_ptr<CZipResourceSource> OpenSkin() {
  std::shared_ptr<CZipResourceSource> skin = CZipResourceSource::OpenFile(SkinZipPath(), L"");
  EXPECT_NE(skin, nullptr) << "the build's skin.zip did not open";
  return skin;
}

std::unique_ptr<CUiManager> BuildFromXml(const std::string& xml, UiSize size) {
  auto skin = std::make_shared<CMemorySkin>();
  skin->Add(L"test.xml", xml).Add(L"present.png", "png");
  auto manager = std::make_unique<CUiManager>();
  manager->LoadLayout(skin, L"test.xml");
  manager->SetClientSize(size);
  manager->LayoutIfNeeded();
  return manager;
}

}  // namespace corvane::test
