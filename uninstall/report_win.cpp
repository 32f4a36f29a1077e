// Machine facts for the uninstall report: version resource, OS version test, WOW64, processor
// name, memory status, local time.
#include "uninstall/report_win.h"

#include <windows.h>

#include <ctime>

#include "base/ansi.h"
#include "base/registry_win.h"
#include "base/service_host.h"
#include "http/http_manager.h"
#include "uninstall/report.h"

namespace corvane {

FileVersion GetFileVersion(const std::wstring& path) { return ReadFileVersion(path); }

std::wstring GetOsName() {
  return SelectOsName([](int major, int minor) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);  // 284 bytes
    info.dwMajorVersion = static_cast<DWORD>(major);
    info.dwMinorVersion = static_cast<DWORD>(minor);
    info.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
  });
}

std::wstring GetOsBitness() {
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) return L"64 bits";
  return L"32 bits";
}

std::wstring GetCpuName() {
  std::wstring name;
  if (ReadRegistryString(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                         L"ProcessorNameString", name) != ERROR_SUCCESS) {
    return L"Unknow";
  }
  return name;
}

std::wstring GetMemoryText() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);  // 64
  if (!GlobalMemoryStatusEx(&status)) {
    status.ullTotalPhys = 0;
    status.ullAvailPhys = 0;
  }
  return AnsiToWide(FormatMemoryText(status.ullTotalPhys, status.ullAvailPhys));
}

std::wstring GetTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
  if (localtime_s(&local, &now) != 0) return AnsiToWide(FormatTimeText(0, 0, 0, -1, -1, -1));
  return AnsiToWide(FormatTimeText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                   local.tm_min, local.tm_sec));
}

std::wstring BuildUninstallReport() {
  UninstallReportFields fields;
  fields.uninstallVersion = FormatFileVersion(GetFileVersion(GetInstallDir() + L"\\CorvaneClient.exe"));
  fields.uninstallTime = WideToAnsi(GetTimeText());
  fields.systemVersion = WideToAnsi(GetOsName() + L" " + GetOsBitness());
  fields.cpu = WideToAnsi(GetCpuName());
  fields.memory = WideToAnsi(GetMemoryText());
  return AnsiToWide(WriteUninstallReport(fields));
}

}  // namespace corvane

namespace corvane {
namespace {
// Fire and forget: a complete answer is taken out of the task and thrown away.
void OnReportAnswered(FCHttpRequest& task) {
  if (IsResponseComplete(task)) task.PopReceivedData();
}
}  // namespace

bool SendUninstallReport() {
  g_httpManager.GetWithBody(ServiceUrl(L"/update/Remove.aspx"), &OnReportAnswered, BuildUninstallReport());
  return true;
}

}  // namespace corvane
