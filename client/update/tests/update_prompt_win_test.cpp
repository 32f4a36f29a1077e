// The update prompt on Wine's real windows: install-mode images, the download started from the
// demo service with the prompt closing at once, the signature that decides whether it is kept,
// the installer started with "/S" and the exit command, the caption's double click, and the
// about layout.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/program_folder.h"
#include "client/ui/tests/main_window_stand_in_win.h"
#include "client/update/installer_win.h"
#include "client/update/update_check_win.h"
#include "client/update/update_prompt_dlg_win.h"
#include "http/http_manager.h"
#include "tools/demo_service/client/demo_service_client_win.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using test::CMainWindowStandIn;
using test::Exposed;
using test::PostClick;

constexpr DWORD kDialogStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

using testing_files::ReadAll;

class UpdatePrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    installer = GetInstallerFilePath();
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    DeleteFileW((installer + L".log").c_str());
    g_updateInfo = UpdateInfo();
  }
  void TearDown() override {
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    DeleteFileW((installer + L".log").c_str());
  }
  static std::wstring Recorder() { return GetProgramFolder() + L"\\update_test_recorder.exe"; }
  // The demo service offers the recorder as the installer; the url the update answer names.
  static void OfferRecorder() {
    ASSERT_NE(demo::UseDemoService(), 0) << "the demo service fixture did not start";
    ASSERT_TRUE(demo::SetInstaller(Recorder()));
    g_updateInfo.url = "http://" + std::string(std::getenv("CORVANE_SERVICE_HOST")) + "/download/Setup.exe";
  }
  // What the download posts to the main window, within 15 s.
  std::vector<UINT> WaitForPosted() {
    std::vector<UINT> posted;
    for (DWORD start = GetTickCount(); posted.empty() && GetTickCount() - start < 15000;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      posted = main.TakePosted();
    }
    return posted;
  }
  // A prompt created as the main window creates it, not yet run.
  static void Open(Exposed<CUpdatePromptDlg>& dlg, bool installMode, const wchar_t* layout = nullptr) {
    if (layout) dlg.SetLayoutFile(layout);
    dlg.SetInstallMode(installMode);
    dlg.Create(g_hMainWnd, L"update_prompt_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT, CW_USEDEFAULT);
    dlg.CenterWindow();
  }
  static std::vector<std::wstring> DownloadImages(Exposed<CUpdatePromptDlg>& dlg) {
    auto* button = dlg.Manager().FindControlAs<CButtonUI>(L"button_download");
    if (!button) return {};
    return {button->GetNormalImage(), button->GetHotImage(), button->GetPushedImage()};
  }
  CMainWindowStandIn main;
  std::wstring installer;
};

TEST_F(UpdatePrompt, InstallModeShowsTheInstallImagesAndDownloadModeTheLayouts) {
  Exposed<CUpdatePromptDlg> install;
  Open(install, true);
  wchar_t name[64] = {};
  GetClassNameW(install, name, 64);
  EXPECT_STREQ(name, L"UpdatePromptDlg");
  EXPECT_EQ(DownloadImages(install),
            (std::vector<std::wstring>{L"button_install_new_version_normal.png", L"button_install_new_version_hover.png",
                                       L"button_install_new_version_press.png"}));
  Exposed<CUpdatePromptDlg> download;
  Open(download, false);
  EXPECT_EQ(DownloadImages(download), (std::vector<std::wstring>{L"button_download_normal.png",
                                                                 L"button_download_hover.png",
                                                                 L"button_download_press.png"}));
  DestroyWindow(download);
  DestroyWindow(install);
}

TEST_F(UpdatePrompt, DownloadModeStartsTheDownloadAndClosesAtOnce) {
  OfferRecorder();
  ASSERT_TRUE(demo::SetSignatureVariant("valid"));
  const int32_t before = g_httpManager.GetLastTaskId();
  {
    Exposed<CUpdatePromptDlg> dlg;
    Open(dlg, false);
    PostClick(dlg, dlg.Manager(), L"button_download");
    EXPECT_EQ(dlg.ShowModal(), 1u);
  }
  const int32_t task = g_httpManager.GetLastTaskId();
  EXPECT_NE(task, before) << "a download was started";
  // The prompt's close was queued before anything of the download could come back.
  EXPECT_TRUE(g_httpManager.HasCallback(task)) << "the prompt waited for the download";
  EXPECT_EQ(WaitForPosted(), std::vector<UINT>{WM_INSTALLERREADY});
  EXPECT_EQ(ReadAll(installer), ReadAll(Recorder()));
  EXPECT_EQ(ReadAll(GetInstallerSignaturePath()).substr(0, 1), "0") << "the DER signature beside it";
}

TEST_F(UpdatePrompt, ADownloadWhoseSignatureDoesNotVerifyLeavesNothingAndSaysSo) {
  OfferRecorder();
  for (const char* variant : {"missing", "other-file", "other-key", "truncated", "empty", "oversized", "trailing",
                              "overlong", "cut"}) {
    SCOPED_TRACE(variant);
    ASSERT_TRUE(demo::SetSignatureVariant(variant));
    StartInstallerDownload();
    EXPECT_EQ(WaitForPosted(), std::vector<UINT>{WM_UPDATEUNVERIFIED});
    EXPECT_FALSE(PathFileExistsW(installer.c_str()));
    EXPECT_FALSE(PathFileExistsW(GetInstallerSignaturePath().c_str()));
  }
  ASSERT_TRUE(demo::SetSignatureVariant("valid"));

  // The prompt the main window then shows: one line, and no button to install with.
  Exposed<CUpdatePromptDlg> dlg;
  dlg.SetUnverified(true);
  Open(dlg, false);
  EXPECT_FALSE(dlg.Manager().FindControl(L"button_download")->IsVisible());
  EXPECT_NE(dlg.Manager().FindControl(L"text_update_detail")->GetText().str().find(L"\x9A8C\x8BC1"), std::wstring::npos)
      << "says it could not be verified";
  dlg.Manager().SendNotify(dlg.Manager().FindControl(L"button_download"), kNotifyClick);
  test::Pump();
  EXPECT_TRUE(main.TakePosted().empty()) << "nothing to go on with";
  PostClick(dlg, dlg.Manager(), L"button_close");
  EXPECT_EQ(dlg.ShowModal(), 1u);
}

TEST_F(UpdatePrompt, InstallModeStartsTheInstallerSilentlyAndEndsTheClient) {
  CreateDirectoryTree(installer.substr(0, installer.rfind(L'\\')));
  // Planted without a signature: not started, and the client stays.
  ASSERT_TRUE(CopyFileW(Recorder().c_str(), installer.c_str(), FALSE));
  {
    Exposed<CUpdatePromptDlg> dlg;
    Open(dlg, true);
    PostClick(dlg, dlg.Manager(), L"button_download");
    EXPECT_EQ(dlg.ShowModal(), 1u);
  }
  EXPECT_EQ(main.TakePosted(), std::vector<UINT>{WM_UPDATEUNVERIFIED});
  EXPECT_FALSE(PathFileExistsW(installer.c_str()));

  ASSERT_TRUE(CopyFileW(Recorder().c_str(), installer.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((Recorder() + L".sig").c_str(), GetInstallerSignaturePath().c_str(), FALSE));
  {
    Exposed<CUpdatePromptDlg> dlg;
    Open(dlg, true);
    PostClick(dlg, dlg.Manager(), L"button_download");
    EXPECT_EQ(dlg.ShowModal(), 1u);
  }
  EXPECT_EQ(main.TakePosted(), std::vector<UINT>{WM_EXITAPP});
  std::string log;
  for (int i = 0; i < 100 && (log.empty() || log.back() != '\n'); ++i) {
    Sleep(100);
    log = ReadAll(installer + L".log");
  }
  EXPECT_NE(log.find("/S"), std::string::npos) << log;
}

TEST_F(UpdatePrompt, CloseOnlyClosesAndOtherControlsDoNothing) {
  for (bool installMode : {false, true}) {
    Exposed<CUpdatePromptDlg> dlg;
    Open(dlg, installMode);
    const int32_t before = g_httpManager.GetLastTaskId();
    dlg.Manager().SendNotify(dlg.Manager().GetRoot(), kNotifyClick);
    test::Pump();
    EXPECT_TRUE(IsWindow(dlg));
    PostClick(dlg, dlg.Manager(), L"button_close");
    EXPECT_EQ(dlg.ShowModal(), 1u);
    EXPECT_EQ(g_httpManager.GetLastTaskId(), before);
    EXPECT_TRUE(main.TakePosted().empty());
    EXPECT_EQ(ReadAll(installer + L".log"), "");
  }
}

TEST_F(UpdatePrompt, ADoubleClickOnTheCaptionLeavesTheSizeUnchanged) {
  Exposed<CUpdatePromptDlg> dlg;
  Open(dlg, false);
  test::Pump();
  RECT before = {}, after = {};
  GetWindowRect(dlg, &before);
  POINT title{static_cast<LONG>(60 * dlg.Manager().GetDpiScale()), static_cast<LONG>(20 * dlg.Manager().GetDpiScale())};
  ClientToScreen(dlg, &title);
  ASSERT_EQ(SendMessageW(dlg, WM_NCHITTEST, 0, MAKELPARAM(title.x, title.y)), HTCAPTION);
  SendMessageW(dlg, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(title.x, title.y));
  test::Pump();
  GetWindowRect(dlg, &after);
  EXPECT_FALSE(IsZoomed(dlg));
  EXPECT_TRUE(EqualRect(&before, &after));
  DestroyWindow(dlg);
}

TEST_F(UpdatePrompt, TheAboutLayoutHasBothButtons) {
  Exposed<CUpdatePromptDlg> dlg;
  Open(dlg, false, L"about_dlg.xml");
  EXPECT_NE(dlg.Manager().FindControl(L"button_download"), nullptr);
  EXPECT_TRUE(dlg.Manager().GetDiagnostics().empty());
  RECT client = {};
  GetClientRect(dlg, &client);
  Exposed<CUpdatePromptDlg> update;
  Open(update, false);
  RECT updateClient = {};
  GetClientRect(update, &updateClient);
  EXPECT_FALSE(EqualRect(&client, &updateClient)) << "the about layout, not the update prompt's";
  DestroyWindow(update);
  PostClick(dlg, dlg.Manager(), L"button_close");
  EXPECT_EQ(dlg.ShowModal(), 1u);
}

}  // namespace
}  // namespace corvane
