// Formatting of the uninstall report's values and its JSON text.
#include "uninstall/report.h"

#include <json/value.h>

#include <sstream>

#include "base/json_text.h"

namespace corvane {

std::string WriteUninstallReport(const UninstallReportFields& fields) {
  Json::Value report(Json::objectValue);
  report["uninstall_version"] = fields.uninstallVersion;
  report["uninstall_time"] = fields.uninstallTime;
  report["system_version"] = fields.systemVersion;
  report["cpu"] = fields.cpu;
  report["memory"] = fields.memory;
  return WriteCompactJson(report);
}

std::string FormatTimeText(int year, int month, int day, int hour, int minute, int second) {
  std::ostringstream out;
  out << year << '-' << month << '-' << day << ' ' << hour << ':' << minute << ':' << second;
  return out.str();
}

std::string FormatMemoryText(uint64_t totalBytes, uint64_t availableBytes) {
  constexpr double kBytesPerGiB = 1024.0 * 1024.0 * 1024.0;
  std::ostringstream out;
  out.precision(3);
  out << "TotalPhys=" << static_cast<double>(totalBytes) / kBytesPerGiB
      << " GB,AvailPhys=" << static_cast<double>(availableBytes) / kBytesPerGiB << " GB";
  return out.str();
}

std::wstring SelectOsName(const std::function<bool(int major, int minor)>& atLeast) {
  struct Row {
    int major;
    int minor;
    const wchar_t* name;
  };
  static const Row kRows[] = {
      {6, 4, L"Windows 10"}, {6, 3, L"Windows 8.1"}, {6, 2, L"Windows 8"},
      {6, 1, L"Windows 7"},  {6, 0, L"Windows Vista"}, {5, 1, L"Windows XP"},
  };
  for (const Row& row : kRows) {
    if (atLeast(row.major, row.minor)) return row.name;
  }
  return L"\x672A\x77E5\x7248\x672C";  // 未知版本
}

}  // namespace corvane
