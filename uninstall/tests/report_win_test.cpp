// The report read from the machine: the installed client's version, OS, bitness, processor,
// memory and time, in the order and form the service receives them.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>
#include <json/reader.h>

#include <regex>

#include "base/ansi.h"
#include "base/product_names.h"
#include "base/program_folder.h"
#include "uninstall/report_win.h"

namespace corvane {
namespace {

class Report : public ::testing::Test {
 protected:
  void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey); }
};

Json::Value Parse(const std::wstring& text) {
  Json::Value v;
  Json::Reader reader;
  EXPECT_TRUE(reader.parse(WideToAnsi(text), v));
  return v;
}

TEST_F(Report, WithoutInstallationTheVersionIsZeros) {
  SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  const std::wstring text = BuildUninstallReport();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), L'\n');
  EXPECT_EQ(text.find(L'\n'), text.size() - 1) << "one line";
  EXPECT_EQ(text.find(L"{\"cpu\":"), 0u);
  const size_t order[] = {text.find(L"\"cpu\""), text.find(L"\"memory\""), text.find(L"\"system_version\""),
                          text.find(L"\"uninstall_time\""), text.find(L"\"uninstall_version\"")};
  for (size_t i = 1; i < 5; ++i) EXPECT_LT(order[i - 1], order[i]);
  EXPECT_EQ(Parse(text)["uninstall_version"].asString(), "0.0.0.0");
}

TEST_F(Report, VersionOfTheInstalledClient) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"corvane_report_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring exe = dir + L"\\CorvaneClient.exe";
  ASSERT_TRUE(CopyFileW((GetProgramFolder() + L"\\..\\base\\version_probe_versioned.exe").c_str(), exe.c_str(), FALSE));
  const std::wstring withSlash = dir + L"\\";
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, withSlash.c_str(),
              static_cast<DWORD>((withSlash.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(Parse(BuildUninstallReport())["uninstall_version"].asString(), "1.2.0.15");
  DeleteFileW(exe.c_str());
  RemoveDirectoryW(dir.c_str());
}

TEST_F(Report, MachineFieldsHaveTheirForms) {
  const Json::Value v = Parse(BuildUninstallReport());
  const std::string system = v["system_version"].asString();
  EXPECT_TRUE(std::regex_match(system, std::regex("(Windows (10|8\\.1|8|7|Vista|XP)|\xCE\xB4\xD6\xAA\xB0\xE6\xB1\xBE) (64|32) bits")))
      << system;
  EXPECT_EQ(system.substr(system.size() - 7), WideToAnsi(GetOsBitness()));
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  EXPECT_EQ(GetOsBitness(), wow64 ? L"64 bits" : L"32 bits");
  EXPECT_TRUE(std::regex_match(v["memory"].asString(),
                               std::regex("TotalPhys=[0-9.e+]+ GB,AvailPhys=[0-9.e+]+ GB")))
      << v["memory"].asString();
  EXPECT_TRUE(std::regex_match(v["uninstall_time"].asString(),
                               std::regex("[1-9][0-9]{3}-[1-9][0-9]?-[1-9][0-9]? [1-9]?[0-9]:[1-9]?[0-9]:[1-9]?[0-9]")))
      << v["uninstall_time"].asString();
  std::wstring cpu;
  const LONG status = SHGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                  L"ProcessorNameString", nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    EXPECT_NE(GetCpuName(), L"Unknow");
  } else {
    EXPECT_EQ(GetCpuName(), L"Unknow");
  }
  EXPECT_EQ(v["cpu"].asString(), WideToAnsi(GetCpuName()));
}

}  // namespace
}  // namespace corvane
