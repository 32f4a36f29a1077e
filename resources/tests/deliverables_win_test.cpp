// Reads the two programs back: PE32 GUI programs for the 80386, their manifests and their
// version resources as installed copies will carry them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/file_version.h"
#include "base/program_folder.h"

namespace corvane {
namespace {

// The shipped 32-bit programs: beside this test in the win32 tree; the 64-bit test tree names
// the win32 tree's folder, since a 64-bit build of them is no deliverable.
std::wstring Deliverable(const wchar_t* name) {
  const wchar_t* elsewhere = _wgetenv(L"CORVANE_DELIVERABLES_DIR");
  const std::wstring folder = elsewhere != nullptr && *elsewhere != L'\0' ? elsewhere : GetProgramFolder();
  return folder + L"\\" + name;
}

std::vector<unsigned char> ReadAll(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<unsigned char>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

void ExpectPe32GuiFor386(const wchar_t* name) {
  const std::vector<unsigned char> pe = ReadAll(Deliverable(name));
  ASSERT_GT(pe.size(), 0x200u) << "missing " << name;
  ASSERT_EQ(pe[0], 'M');
  ASSERT_EQ(pe[1], 'Z');
  const uint32_t header = U32(pe, 0x3C);
  ASSERT_EQ(U32(pe, header), 0x00004550u) << "PE signature";
  EXPECT_EQ(U16(pe, header + 4), IMAGE_FILE_MACHINE_I386);
  const size_t optional = header + 24;
  EXPECT_EQ(U16(pe, optional), IMAGE_NT_OPTIONAL_HDR32_MAGIC) << "PE32, not PE32+";
  EXPECT_EQ(U16(pe, optional + 68), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

std::string Manifest(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(Deliverable(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::string();
  std::string text;
  if (HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {  // RT_MANIFEST
    HGLOBAL data = LoadResource(module, res);
    const char* bytes = static_cast<const char*>(LockResource(data));
    if (bytes != nullptr) text.assign(bytes, SizeofResource(module, res));
  }
  FreeLibrary(module);
  return text;
}

std::wstring VersionString(const wchar_t* name, const wchar_t* key) {
  const std::wstring path = Deliverable(name);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return L"<no version resource>";
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return L"<unreadable>";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring sub = std::wstring(L"\\StringFileInfo\\040904b0\\") + key;
  if (!VerQueryValueW(block.data(), sub.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) {
    return L"<absent>";
  }
  return value;
}

TEST(Deliverables, BothAre32BitGuiProgramsForThe386) {
  ExpectPe32GuiFor386(L"CorvaneClient.exe");
  ExpectPe32GuiFor386(L"uninstall.exe");
}

TEST(Deliverables, ClientRunsAsInvoker) {
  const std::string manifest = Manifest(L"CorvaneClient.exe");
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}

TEST(Deliverables, UninstallerAlwaysRunsElevatedWithCommonControls6) {
  const std::string manifest = Manifest(L"uninstall.exe");
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST(Deliverables, UninstallerVersionResource) {
  const wchar_t* exe = L"uninstall.exe";
  EXPECT_EQ(VersionString(exe, L"FileDescription"), L"UnInstall Module");
  EXPECT_EQ(VersionString(exe, L"ProductName"), L"UnInstall Module");
  EXPECT_EQ(VersionString(exe, L"FileVersion"), L"1.2015.2012.1");
  EXPECT_EQ(VersionString(exe, L"ProductVersion"), L"1.2015.2012.1");
  EXPECT_EQ(VersionString(exe, L"InternalName"), L"UnInstall");
  EXPECT_EQ(VersionString(exe, L"OriginalFilename"), L"UnInstall.exe");
  EXPECT_EQ(FormatFileVersion(ReadFileVersion(Deliverable(exe))), "1.2015.2012.1");
}

TEST(Deliverables, ClientVersionIsTheProjectVersion) {
  const std::wstring expected = L"" CORVANE_PROJECT_VERSION_W;
  EXPECT_EQ(VersionString(L"CorvaneClient.exe", L"FileVersion"), expected);
  EXPECT_EQ(VersionString(L"CorvaneClient.exe", L"OriginalFilename"), L"CorvaneClient.exe");
  const std::string fixed = FormatFileVersion(ReadFileVersion(Deliverable(L"CorvaneClient.exe")));
  EXPECT_EQ(std::wstring(fixed.begin(), fixed.end()), expected);
}

}  // namespace
}  // namespace corvane
