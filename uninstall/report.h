// The uninstall report's text: the removed version and a description of the machine, as one
// compact JSON object sent to the service before anything is removed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// Values in the ANSI code page, as they go on the wire.
struct UninstallReportFields {
  std::string cpu;
  std::string memory;
  std::string systemVersion;
  std::string uninstallTime;
  std::string uninstallVersion;
};

// {"cpu":…,"memory":…,"system_version":…,"uninstall_time":…,"uninstall_version":…} + "\n".
std::string WriteUninstallReport(const UninstallReportFields& fields);

// "2024-3-3 9:5:7": no leading zeros anywhere.
std::string FormatTimeText(int year, int month, int day, int hour, int minute, int second);

// "TotalPhys=7.89 GB,AvailPhys=3.5 GB": GiB at three significant digits, trailing zeros and a
// trailing point dropped.
std::string FormatMemoryText(uint64_t totalBytes, uint64_t availableBytes);

// The first of Windows 10, 8.1, 8, 7, Vista, XP whose version the system reaches, by asking
// `atLeast(major, minor)`; "未知版本" when it reaches none.
std::wstring SelectOsName(const std::function<bool(int major, int minor)>& atLeast);

}  // namespace corvane
