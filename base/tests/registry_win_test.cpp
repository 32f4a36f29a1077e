// ReadRegistryString and GetInstallDir against the real registry (a private Wine prefix).
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "base/product_names.h"
#include "base/registry_win.h"

namespace corvane {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\Corvane\\RegistryTest";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
    SHDeleteValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue);
  }
  void TearDown() override {
    SHDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
    SHDeleteValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue);
  }
  static void Put(const wchar_t* key, const wchar_t* value, DWORD type, const std::wstring& data) {
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, key, value, type, data.c_str(),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
};

TEST_F(RegistryTest, AbsentValueLeavesOutUntouchedAndReportsTheStatus) {
  std::wstring out = L"untouched";
  EXPECT_NE(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, L"missing", out), ERROR_SUCCESS);
  EXPECT_EQ(out, L"untouched");
  EXPECT_EQ(GetInstallDir(), L"");
}

TEST_F(RegistryTest, ReadsTextUpToTheFirstNul) {
  Put(kTestKey, L"plain", REG_SZ, L"C:\\Corvane");
  std::wstring out;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, L"plain", out), ERROR_SUCCESS);
  EXPECT_EQ(out, L"C:\\Corvane");

  Put(kTestKey, L"nul", REG_SZ, std::wstring(L"C:\\One\0C:\\Two", 13));
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, L"nul", out), ERROR_SUCCESS);
  EXPECT_EQ(out, L"C:\\One");
}

TEST_F(RegistryTest, BinaryValueWithoutTerminatorStillEndsInsideTheBuffer) {
  const wchar_t raw[] = {L'C', L':', L'\\', L'x'};  // no NUL stored
  ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, kTestKey, L"raw", REG_BINARY, raw, sizeof(raw)), ERROR_SUCCESS);
  std::wstring out;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, L"raw", out), ERROR_SUCCESS);
  EXPECT_EQ(out, L"C:\\x");
}

TEST_F(RegistryTest, ExpandableStringComesBackExpanded) {
  wchar_t windir[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"SystemRoot", windir, MAX_PATH), 0u);
  Put(kTestKey, L"expand", REG_EXPAND_SZ, L"%SystemRoot%\\Corvane");
  std::wstring out;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, L"expand", out), ERROR_SUCCESS);
  EXPECT_EQ(out, std::wstring(windir) + L"\\Corvane");
}

TEST_F(RegistryTest, InstallDirLosesItsTrailingBackslash) {
  Put(kClientRegistryKey, kInstallDirValue, REG_SZ, L"C:\\Program Files\\Corvane\\");
  EXPECT_EQ(GetInstallDir(), L"C:\\Program Files\\Corvane");
  Put(kClientRegistryKey, kInstallDirValue, REG_SZ, L"C:\\Program Files\\Corvane");
  EXPECT_EQ(GetInstallDir(), L"C:\\Program Files\\Corvane");
}

TEST_F(RegistryTest, InstallDirOfMaxPathOrMoreIsRefusedNotTruncated) {
  std::wstring longest(MAX_PATH - 1, L'a');
  longest.replace(0, 3, L"C:\\");
  Put(kClientRegistryKey, kInstallDirValue, REG_SZ, longest);
  EXPECT_EQ(GetInstallDir(), longest);  // 259 characters still fit

  Put(kClientRegistryKey, kInstallDirValue, REG_SZ, longest + L"b");
  EXPECT_EQ(GetInstallDir(), L"");
  Put(kClientRegistryKey, kInstallDirValue, REG_SZ, longest + std::wstring(400, L'c'));
  EXPECT_EQ(GetInstallDir(), L"");
}

}  // namespace
}  // namespace corvane
