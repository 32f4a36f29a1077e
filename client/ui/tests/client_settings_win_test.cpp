// CClientSettings on real INI files: defaults, stored values, writing back on destruction, and
// the one process that may write the program's file.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/program_folder.h"
#include "client/ui/client_settings.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using testing_files::ReadAll;

int StoredValue(const std::wstring& path, const wchar_t* key) {
  return static_cast<int>(GetPrivateProfileIntW(L"setting", key, -1, path.c_str()));
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    path = GetProgramFolder() + L"\\settings_test_" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    DeleteFileW(path.c_str());
  }
  void TearDown() override { DeleteFileW(path.c_str()); }
  void Write(const std::string& text) { std::ofstream(path.c_str(), std::ios::binary) << text; }
  std::wstring path;
};

TEST_F(Settings, NoFileMeansNeitherFlagAndTheFileAppearsWithZeros) {
  {
    CClientSettings settings(path);
    EXPECT_FALSE(settings.m_bClosePrompt);
    EXPECT_FALSE(settings.m_bExitOnClose);
  }
  EXPECT_EQ(StoredValue(path, L"close_prompt"), 0);
  EXPECT_EQ(StoredValue(path, L"min_close"), 0);
  EXPECT_NE(ReadAll(path).find("[setting]"), std::string::npos);
}

TEST_F(Settings, ExitOnCloseWithoutClosePrompt) {
  Write("[setting]\r\nmin_close=1\r\n");
  CClientSettings settings(path);
  EXPECT_TRUE(settings.m_bExitOnClose);
  EXPECT_FALSE(settings.m_bClosePrompt);
}

TEST_F(Settings, AnyNonZeroIsTrueAndIsWrittenBackAsOne) {
  Write("[setting]\r\nclose_prompt=2\r\nmin_close=-5\r\n");
  {
    CClientSettings settings(path);
    EXPECT_TRUE(settings.m_bClosePrompt);
    EXPECT_TRUE(settings.m_bExitOnClose);
  }
  EXPECT_EQ(StoredValue(path, L"close_prompt"), 1);
  EXPECT_EQ(StoredValue(path, L"min_close"), 1);
}

TEST_F(Settings, EveryCopyWritesWhenItGoes) {
  CClientSettings original(path);
  original.m_bClosePrompt = true;
  {
    CClientSettings copy(original);
    copy.m_bExitOnClose = true;
  }
  EXPECT_EQ(StoredValue(path, L"close_prompt"), 1);
  EXPECT_EQ(StoredValue(path, L"min_close"), 1);
  original.m_bExitOnClose = false;
  original.Save();
  EXPECT_EQ(StoredValue(path, L"min_close"), 0);
}

TEST(GlobalSettings, LivesBesideTheProgramAndIsWrittenOnlyOnceAllowed) {
  const std::wstring path = GetProgramFolder() + L"\\CorvaneClient.ini";
  EXPECT_EQ(g_settings.FilePath(), path);
  EXPECT_FALSE(g_settings.MayWrite()) << "until the browser process claims it";
  DeleteFileW(path.c_str());
  {
    CClientSettings subProcess;  // what every process of the executable loads
    subProcess.m_bExitOnClose = true;
    subProcess.Save();
  }
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "neither Save nor the end wrote";
  {
    CClientSettings browserProcess;
    browserProcess.AllowWriting();
    browserProcess.m_bExitOnClose = true;
  }
  EXPECT_EQ(StoredValue(path, L"min_close"), 1);
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace corvane
