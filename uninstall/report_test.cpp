// The uninstall report's text: member order, line feed, number formats, the OS table.
#include "uninstall/report.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace corvane {
namespace {

TEST(UninstallReport, MembersInKeyOrderAndOneLineFeed) {
  UninstallReportFields f;
  f.uninstallVersion = "1.2.0.15";
  f.uninstallTime = "2024-3-3 9:5:7";
  f.systemVersion = "Windows 7 64 bits";
  f.cpu = "Unknow";
  f.memory = "TotalPhys=16 GB,AvailPhys=7.89 GB";
  EXPECT_EQ(WriteUninstallReport(f),
            "{\"cpu\":\"Unknow\",\"memory\":\"TotalPhys=16 GB,AvailPhys=7.89 GB\","
            "\"system_version\":\"Windows 7 64 bits\",\"uninstall_time\":\"2024-3-3 9:5:7\","
            "\"uninstall_version\":\"1.2.0.15\"}\n");
}

TEST(UninstallReport, TimeHasNoLeadingZeros) {
  EXPECT_EQ(FormatTimeText(2024, 3, 3, 9, 5, 7), "2024-3-3 9:5:7");
  EXPECT_EQ(FormatTimeText(2026, 12, 31, 23, 59, 0), "2026-12-31 23:59:0");
  EXPECT_EQ(FormatTimeText(0, 0, 0, -1, -1, -1), "0-0-0 -1:-1:-1");
}

TEST(UninstallReport, MemoryAtThreeSignificantDigits) {
  constexpr uint64_t GiB = 1ull << 30;
  EXPECT_EQ(FormatMemoryText(16 * GiB, GiB / 2), "TotalPhys=16 GB,AvailPhys=0.5 GB");
  EXPECT_EQ(FormatMemoryText(static_cast<uint64_t>(7.8857 * GiB), static_cast<uint64_t>(3.999 * GiB)),
            "TotalPhys=7.89 GB,AvailPhys=4 GB");
  EXPECT_EQ(FormatMemoryText(0, 0), "TotalPhys=0 GB,AvailPhys=0 GB");
  EXPECT_EQ(FormatMemoryText(128 * GiB + GiB / 3, 1234 * GiB), "TotalPhys=128 GB,AvailPhys=1.23e+03 GB");
}

TEST(UninstallReport, FirstOsRowThatTheSystemReaches) {
  auto reaching = [](int major, int minor) {
    return [=](int m, int n) { return std::make_pair(major, minor) >= std::make_pair(m, n); };
  };
  EXPECT_EQ(SelectOsName(reaching(10, 0)), L"Windows 10");
  EXPECT_EQ(SelectOsName(reaching(6, 4)), L"Windows 10");
  EXPECT_EQ(SelectOsName(reaching(6, 3)), L"Windows 8.1");
  EXPECT_EQ(SelectOsName(reaching(6, 2)), L"Windows 8");
  EXPECT_EQ(SelectOsName(reaching(6, 1)), L"Windows 7");
  EXPECT_EQ(SelectOsName(reaching(6, 0)), L"Windows Vista");
  EXPECT_EQ(SelectOsName(reaching(5, 2)), L"Windows XP");
  EXPECT_EQ(SelectOsName(reaching(5, 0)), L"\x672A\x77E5\x7248\x672C");
  std::vector<std::pair<int, int>> asked;
  SelectOsName([&](int m, int n) {
    asked.emplace_back(m, n);
    return false;
  });
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{6, 4}, {6, 3}, {6, 2}, {6, 1}, {6, 0}, {5, 1}}));
}

}  // namespace
}  // namespace corvane
