// CorvaneClient.exe as a process, with the stand-in runtime and the demo service: one instance
// per session, runtime sub-process roles, and the exit codes of the close action and the tray.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <string>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "base/testing/read_file_win.h"
#include "skin/driver/window_driver_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"

namespace corvane {
namespace {

using testing_files::ReadAll;

class ClientProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(demo::UseDemoService(), 0) << "the demo service fixture did not start";
    bin = GetProgramFolder() + L"\\..\\..\\bin";
    ini = bin + L"\\CorvaneClient.ini";
    DeleteFileW(ini.c_str());
    // No update check during these runs.
    const DWORD now = static_cast<DWORD>(std::time(nullptr));
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &now, sizeof(now));
  }
  void TearDown() override {
    for (PROCESS_INFORMATION& pi : started) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 5000);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
    DeleteFileW(ini.c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  }

  PROCESS_INFORMATION Start(const std::wstring& arguments = L"") {
    const std::wstring exe = bin + L"\\CorvaneClient.exe";
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si, &pi));
    started.push_back(pi);
    return pi;
  }
  static DWORD ExitCode(const PROCESS_INFORMATION& pi, DWORD timeoutMs = 15000) {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return static_cast<DWORD>(-1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
  static HWND MainWindowOf(const PROCESS_INFORMATION& pi, DWORD timeoutMs = 20000) {
    return driver::WaitForWindow(L"#32770", pi.dwProcessId, timeoutMs);
  }

  std::wstring bin, ini;
  std::vector<PROCESS_INFORMATION> started;
};

TEST_F(ClientProgram, ASecondStartEndsWithZeroAndTheTrayExitWithZero) {
  PROCESS_INFORMATION first = Start();
  HWND window = MainWindowOf(first);
  ASSERT_NE(window, nullptr) << "the main window did not appear";
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, kMainWindowCaption);
  EXPECT_TRUE(IsZoomed(window)) << "opens maximised";

  PROCESS_INFORMATION second = Start();
  EXPECT_EQ(ExitCode(second), 0u);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first one runs on";

  PostMessageW(window, WM_COMMAND, 32799, 0);  // the tray menu's exit
  EXPECT_EQ(ExitCode(first), 0u);
}

TEST_F(ClientProgram, AStartWhileTheMutexIsHeldEndsWithZero) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
  ASSERT_NE(mutex, nullptr);
  PROCESS_INFORMATION pi = Start();
  EXPECT_EQ(ExitCode(pi), 0u);
  EXPECT_EQ(driver::WaitForWindow(L"#32770", pi.dwProcessId, 500), nullptr);
  CloseHandle(mutex);
}

TEST_F(ClientProgram, ARuntimeSubProcessReturnsItsRolesCodeWithoutTheMutex) {
  // Held by us: a process that reached the single-instance test would end with 0.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
  EXPECT_EQ(ExitCode(Start(L"--type=renderer")), 0u);
  EXPECT_EQ(ExitCode(Start(L"--type=no-such-role")), 1u) << "the role's own code, not the mutex's 0";
  CloseHandle(mutex);
}

TEST_F(ClientProgram, OnlyTheBrowserProcessWritesTheSettings) {
  // A runtime sub-process and a refused second start load the file at their start; neither may
  // write it at its end, or a choice made meanwhile in the running client would be undone.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kClientMutexName);  // a running client's
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(ExitCode(Start(L"--type=renderer")), 0u);
  EXPECT_EQ(ExitCode(Start()), 0u);
  EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "an absent file stays absent";

  // Written in a form the store itself never writes, so any write back would show.
  const std::string text = "[setting]\r\n; chosen in the running client\r\nclose_prompt=2\r\nmin_close=7\r\n";
  std::ofstream(ini.c_str(), std::ios::binary) << text;
  EXPECT_EQ(ExitCode(Start(L"--type=gpu-process")), 0u);
  EXPECT_EQ(ExitCode(Start()), 0u);
  EXPECT_EQ(ReadAll(ini), text);
  CloseHandle(mutex);
}

TEST_F(ClientProgram, TheCloseBoxEndsWithTwoWhenClosingEnds) {
  std::ofstream(ini.c_str(), std::ios::binary) << "[setting]\r\nclose_prompt=0\r\nmin_close=1\r\n";
  PROCESS_INFORMATION pi = Start();
  HWND window = MainWindowOf(pi);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(ExitCode(pi), 2u);
}

TEST_F(ClientProgram, TheCloseBoxMinimisesByDefault) {
  PROCESS_INFORMATION pi = Start();
  HWND window = MainWindowOf(pi);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Sleep(1000);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  PostMessageW(window, WM_USER + 1001, 1, WM_LBUTTONDOWN);  // a left press on the tray icon
  Sleep(1000);
  EXPECT_FALSE(IsIconic(window));
  PostMessageW(window, WM_USER + 1005, 0, 0);  // WM_EXITAPP
  EXPECT_EQ(ExitCode(pi), 0u);
  // At exit the settings store wrote its file.
  EXPECT_EQ(GetPrivateProfileIntW(L"setting", L"min_close", -1, ini.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileIntW(L"setting", L"close_prompt", -1, ini.c_str()), 0);
}

}  // namespace
}  // namespace corvane
