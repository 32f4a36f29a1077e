// The whole uninstaller under Xvfb, driven as a person drives it: mouse clicks at the buttons'
// places. Confirm: report sent first, installation removed, progress to the end page, finish,
// exit code 0. Cancel: nothing removed, nothing sent.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "skin/driver/window_driver_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"
#include "uninstall/tests/run_program_win.h"

namespace corvane {
namespace {

using driver::WaitFor;

const COLORREF kAccent = RGB(0x2F, 0x6F, 0xEB);

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class UninstallProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(demo::UseDemoService(), 0) << "the demo service fixture did not start";
    ASSERT_TRUE(demo::ClearRecords());
    bin = GetProgramFolder() + L"\\..\\bin";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    install = std::wstring(temp) + L"corvane_program_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(install.c_str(), nullptr);
    CreateDirectoryW((install + L"\\data").c_str(), nullptr);
    std::ofstream((install + L"\\data\\a.txt").c_str()) << "a";
    ASSERT_TRUE(CopyFileW((GetProgramFolder() + L"\\..\\base\\version_probe_versioned.exe").c_str(),
                          (install + L"\\CorvaneClient.exe").c_str(), FALSE));
    std::ofstream((install + L"\\delete_file_list.txt").c_str(), std::ios::binary) << "CorvaneClient.exe\r\ndata\r\n";
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, install.c_str(),
                static_cast<DWORD>((install + L"\0").size() * sizeof(wchar_t)));
  }
  void TearDown() override {
    if (process.hProcess != nullptr) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
    DeleteFileW((install + L"\\data\\a.txt").c_str());
    RemoveDirectoryW((install + L"\\data").c_str());
    DeleteFileW((install + L"\\CorvaneClient.exe").c_str());
    DeleteFileW((install + L"\\delete_file_list.txt").c_str());
    RemoveDirectoryW(install.c_str());
  }

  HWND Start() {
    const std::wstring exe = bin + L"\\uninstall.exe";
    STARTUPINFOW si = {sizeof(si)};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si,
                        &process)) {
      return nullptr;
    }
    HWND window = driver::WaitForWindow(L"UnIntallDlg", process.dwProcessId, 20000);
    Sleep(500);  // first paint
    return window;
  }

  POINT Centre(HWND window, const wchar_t* control, bool endPage = false) {
    POINT p = {};
    EXPECT_TRUE(driver::ControlCentre(window, bin + L"\\skin.zip", L"uninstall_dlg.xml", control,
                                      [&](CUiManager& m) {
                                        if (!endPage) return;
                                        m.FindControl(L"begin_view")->SetVisible(false);
                                        m.FindControl(L"end_view")->SetVisible(true);
                                      },
                                      p))
        << "no control " << std::string(control, control + wcslen(control));
    return p;
  }

  DWORD ExitCode(DWORD timeoutMs) {
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) return static_cast<DWORD>(-1);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }

  std::wstring bin, install;
  PROCESS_INFORMATION process = {};
};

TEST_F(UninstallProgram, ConfirmReportsRemovesAnimatesAndFinishes) {
  HWND window = Start();
  ASSERT_NE(window, nullptr) << "the uninstaller's window did not appear";

  RECT before = {}, after = {};
  GetWindowRect(window, &before);
  POINT caption = {};
  ClientToScreen(window, &caption);
  SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x + 80, caption.y + 10));
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "a double click on the caption changes nothing";

  driver::ClickAt(window, Centre(window, L"page1_button_uninstall"));
  ASSERT_TRUE(WaitFor([&] { return !Exists(install + L"\\data"); }, 15000)) << "the listed folder is still there";
  EXPECT_FALSE(Exists(install + L"\\CorvaneClient.exe"));
  EXPECT_TRUE(Exists(install + L"\\delete_file_list.txt"));

  // The report was read before the removal: it names the version of the file now deleted.
  ASSERT_TRUE(WaitFor([] { return demo::Records()["remove"].size() == 1; }, 10000));
  const Json::Value report = demo::Records()["remove"][0];
  EXPECT_EQ(report["verb"].asString(), "GET");
  EXPECT_EQ(report["path"].asString(), "/update/Remove.aspx");
  EXPECT_EQ(report["headers"]["Accept"].asString(), "*/*");
  const std::string body = demo::BodyBytes(report);
  EXPECT_EQ(body.find("{\"cpu\":\""), 0u) << body;
  EXPECT_NE(body.find("\",\"uninstall_version\":\"1.2.0.15\"}\n"), std::string::npos) << body;
  EXPECT_EQ(body.back(), '\n');

  // While it lives, a client started now would find its mutex taken.
  EXPECT_EQ(RunAndWait(GetProgramFolder() + L"\\uninstall_test_mutex_probe.exe"), 183u);

  // The end page: the finish button appears in the accent colour once the animation is done.
  POINT finish = Centre(window, L"page3_button_finish", /*endPage=*/true);
  POINT face = {finish.x - 40, finish.y};
  ASSERT_TRUE(WaitFor([&] { return driver::ColourNear(driver::ScreenPixel(face), kAccent, 24); }, 20000))
      << "the end page did not appear";
  driver::ClickAt(window, finish);
  EXPECT_EQ(ExitCode(15000), 0u);
  EXPECT_EQ(RunAndWait(GetProgramFolder() + L"\\uninstall_test_mutex_probe.exe"), 0u) << "released at exit";
}

TEST_F(UninstallProgram, CancelRemovesNothingAndSendsNothing) {
  HWND window = Start();
  ASSERT_NE(window, nullptr);
  driver::ClickAt(window, Centre(window, L"page1_button_cancel"));
  EXPECT_EQ(ExitCode(15000), 0u);
  EXPECT_TRUE(Exists(install + L"\\data\\a.txt"));
  EXPECT_TRUE(Exists(install + L"\\CorvaneClient.exe"));
  Sleep(300);
  EXPECT_EQ(demo::Records()["remove"].size(), 0u);
  EXPECT_EQ(demo::Records()["requests"].size(), 0u) << "nothing at all reached the service";
}

TEST_F(UninstallProgram, TheCloseBoxEndsTheProgram) {
  HWND window = Start();
  ASSERT_NE(window, nullptr);
  driver::ClickAt(window, Centre(window, L"button_close"));
  EXPECT_EQ(ExitCode(15000), 0u);
  EXPECT_TRUE(Exists(install + L"\\data\\a.txt"));
}

}  // namespace
}  // namespace corvane
