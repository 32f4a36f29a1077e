// The sample installer as the client meets it: newer than the client by the client's own rule,
// and started as Setup.exe with "/S" it records that and shows its message box.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/file_version.h"
#include "base/program_folder.h"
#include "base/unique_handle_win.h"
#include "client/update/update_rules.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using testing_files::ReadAll;

TEST(SampleInstaller, IsNewerThanTheClient) {
  const FileVersion sample = ReadFileVersion(GetProgramFolder() + L"\\sample_installer.exe");
  const FileVersion client = ReadFileVersion(GetProgramFolder() + L"\\CorvaneClient.exe");
  ASSERT_NE(client.ms, 0u) << "the client carries its version";
  EXPECT_TRUE(IsNewerInstaller(sample, client));
}

struct FindBox {
  DWORD processId;
  HWND box;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<FindBox*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == find->processId && IsWindowVisible(window)) {
    find->box = window;
    return FALSE;
  }
  return TRUE;
}

TEST(SampleInstaller, StartedSilentlyAsSetupItRecordsTheSwitchAndShowsItsBox) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"corvane_sample_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring setup = folder + L"\\Setup.exe";
  ASSERT_TRUE(CopyFileW((GetProgramFolder() + L"\\sample_installer.exe").c_str(), setup.c_str(), FALSE));

  std::wstring commandLine = L"\"" + setup + L"\" /S";
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION started = {};
  ASSERT_TRUE(CreateProcessW(setup.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &started));
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);

  FindBox find{started.dwProcessId, nullptr};
  for (int i = 0; i < 100 && !find.box; ++i) {
    Sleep(100);
    EnumWindows(&FindVisibleWindowOf, reinterpret_cast<LPARAM>(&find));
  }
  ASSERT_NE(find.box, nullptr) << "the message box appeared";
  wchar_t title[128] = {};
  GetWindowTextW(find.box, title, 128);
  EXPECT_STREQ(title, L"Drovessa sample installer");
  EXPECT_EQ(ReadAll(setup + L".log"), "sample installer started with: /S\r\n");  // a text-mode line

  PostMessageW(find.box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(process.Get(), 10000), WAIT_OBJECT_0) << "the box's OK ends it";
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
  DeleteFileW((setup + L".log").c_str());
  DeleteFileW(setup.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace corvane
