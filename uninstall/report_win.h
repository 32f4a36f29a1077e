// The uninstall report's values read from this machine, and its sending.
#pragma once

#include <string>

#include "base/file_version.h"

namespace corvane {

// Builds the report and hands it to g_httpManager for "/update/Remove.aspx"; always true.
bool SendUninstallReport();

// The report's JSON text, read from the machine now.
std::wstring BuildUninstallReport();

FileVersion GetFileVersion(const std::wstring& path);
std::wstring GetOsName();
std::wstring GetOsBitness();
std::wstring GetCpuName();
std::wstring GetMemoryText();
std::wstring GetTimeText();

}  // namespace corvane
