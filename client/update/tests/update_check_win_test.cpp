// The update check and the installer download against the demo service on 127.0.0.1: the daily
// rule on the real registry, the request's exact bytes, and every kind of answer.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "client/client_messages_win.h"
#include "client/update/installer_win.h"
#include "client/update/signature_check.h"
#include "client/update/update_check_win.h"
#include "http/http_manager.h"
#include "tools/demo_service/client/demo_service_client_win.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using testing_files::ReadAll;

class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(demo::UseDemoService(), 0) << "the demo service fixture did not start";
    ASSERT_TRUE(demo::ClearRecords());
    g_hMainWnd = CreateWindowExW(0, L"STATIC", L"main stand-in", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(g_hMainWnd, nullptr);
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
    g_updateInfo = UpdateInfo();
  }
  void TearDown() override {
    DestroyWindow(g_hMainWnd);
    g_hMainWnd = nullptr;
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
    DeleteFileW(GetInstallerFilePath().c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
  }

  static void SetLastCheck(int64_t seconds) {
    const DWORD value = static_cast<DWORD>(seconds & 0xFFFFFFFF);
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &value, sizeof(value));
  }
  static DWORD LastCheck() {
    DWORD value = 0, size = sizeof(value);
    SHGetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", nullptr, &value, &size);
    return value;
  }
  static int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

  // Runs this thread's messages until the task `id` has finished; counts what reached the
  // main window stand-in.
  void RunUntilFinished(int32_t id) {
    const DWORD start = GetTickCount();
    while (g_httpManager.HasCallback(id) && GetTickCount() - start < 15000) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
    EXPECT_FALSE(g_httpManager.HasCallback(id)) << "request " << id << " did not finish";
  }
  void Dispatch(const MSG& msg) {
    if (msg.hwnd == g_hMainWnd && msg.message == WM_UPDATEAVAILABLE) ++updateNotices;
    if (msg.hwnd == g_hMainWnd && msg.message == WM_INSTALLERREADY) ++installerNotices;
    DispatchMessageW(&msg);
  }

  // A check that is due, answered with `document`.
  void CheckAnswered(const std::string& document, int status = 200, bool cut = false) {
    ASSERT_TRUE(demo::SetUpdateAnswer(document, status, cut));
    SetLastCheck(0);
    ASSERT_TRUE(CheckForUpdate());
    RunUntilFinished(g_httpManager.GetLastTaskId());
  }

  int updateNotices = 0;
  int installerNotices = 0;
};

TEST_F(UpdateCheck, StartsADayApartOnlyAndAlwaysMoveTheTimeOn) {
  const int64_t now = Now();
  SetLastCheck(now - 23 * 3600);
  EXPECT_FALSE(CheckForUpdate());
  EXPECT_GE(LastCheck(), static_cast<DWORD>(now)) << "moved forward although no request was made";
  SetLastCheck(now + 3600);  // the clock was set back
  EXPECT_FALSE(CheckForUpdate());
  EXPECT_LT(LastCheck(), static_cast<DWORD>(now + 3600));
  EXPECT_EQ(demo::Records()["version"].size(), 0u) << "no request for either start";

  SetLastCheck(Now() - 86400);
  EXPECT_TRUE(CheckForUpdate());
  RunUntilFinished(g_httpManager.GetLastTaskId());
  EXPECT_EQ(demo::Records()["version"].size(), 1u);
}

TEST_F(UpdateCheck, RequestCarriesTheInstalledVersionWithVerbGet) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"corvane_check_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((GetProgramFolder() + L"\\update_probe_1_2_0_5.exe").c_str(),
                        (dir + L"\\CorvaneClient.exe").c_str(), FALSE));
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, dir.c_str(),
              static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
  CheckAnswered("{}");
  DeleteFileW((dir + L"\\CorvaneClient.exe").c_str());
  RemoveDirectoryW(dir.c_str());

  const Json::Value request = demo::Records()["version"][0];
  EXPECT_EQ(request["verb"].asString(), "GET");
  EXPECT_EQ(request["path"].asString(), "/update/Version.aspx");
  EXPECT_EQ(demo::BodyBytes(request), "{\"product_name\":\"DrovessaClient\",\"version\":\"1.2.0.5\"}\n");
  EXPECT_EQ(request["headers"]["Accept"].asString(), "*/*");
}

TEST_F(UpdateCheck, WithoutInstallationTheVersionIsZeros) {
  CheckAnswered("{}");
  EXPECT_EQ(demo::BodyBytes(demo::Records()["version"][0]),
            "{\"product_name\":\"DrovessaClient\",\"version\":\"0.0.0.0\"}\n");
}

TEST_F(UpdateCheck, OfferWithUrlPostsOnceAndKeepsTheUrl) {
  CheckAnswered(R"({"product_name":"DrovessaClient","type":1,"force":true,"url":"http://127.0.0.1:1/Setup.exe"})");
  EXPECT_EQ(updateNotices, 1);
  EXPECT_EQ(g_updateInfo.type, 1);
  EXPECT_TRUE(g_updateInfo.force);
  EXPECT_EQ(g_updateInfo.url, "http://127.0.0.1:1/Setup.exe");
}

TEST_F(UpdateCheck, OtherAnswersReplaceTheInfoWithoutANotice) {
  for (const char* document : {R"({"type":2,"url":"x"})", R"({"url":"y"})", R"({"type":"1","url":"z"})",
                               R"({"type":1.5})", "not json at all", "[1,2]"}) {
    g_updateInfo.url = "sentinel";
    CheckAnswered(document);
    EXPECT_EQ(updateNotices, 0) << document;
    EXPECT_NE(g_updateInfo.url, "sentinel") << "replaced: " << document;
    EXPECT_NE(g_updateInfo.type, 1) << document;
  }
}

TEST_F(UpdateCheck, FailedRepliesChangeNothing) {
  g_updateInfo.url = "sentinel";
  CheckAnswered(R"({"type":1,"url":"a"})", 404);
  EXPECT_EQ(g_updateInfo.url, "sentinel");
  CheckAnswered(R"({"type":1,"url":"a"})", 200, /*cut=*/true);
  EXPECT_EQ(g_updateInfo.url, "sentinel");
  EXPECT_EQ(updateNotices, 0);
}

TEST_F(UpdateCheck, CompleteSignedDownloadIsWrittenByteForByteAndAnnounced) {
  const std::wstring probe = GetProgramFolder() + L"\\update_probe_1_3_0_0.exe";
  ASSERT_TRUE(demo::SetInstaller(probe));
  ASSERT_TRUE(demo::SetSignatureVariant("valid"));
  g_updateInfo.url = "http://" + std::string(std::getenv("CORVANE_SERVICE_HOST")) + "/download/Setup.exe";
  StartInstallerDownload();
  const int32_t download = g_httpManager.GetLastTaskId();
  RunUntilFinished(download);
  ASSERT_NE(g_httpManager.GetLastTaskId(), download) << "then its signature is fetched";
  RunUntilFinished(g_httpManager.GetLastTaskId());
  EXPECT_EQ(ReadAll(GetInstallerFilePath()), ReadAll(probe));
  EXPECT_TRUE(VerifySignature(ReadAll(GetInstallerFilePath()), ReadAll(GetInstallerSignaturePath())));
  EXPECT_EQ(installerNotices, 1);
}

TEST_F(UpdateCheck, IncompleteDownloadWritesNothing) {
  ASSERT_TRUE(WriteInstallerFile("MZ the earlier installer"));
  g_updateInfo.url = "http://" + std::string(std::getenv("CORVANE_SERVICE_HOST")) + "/update/Version.aspx";
  for (bool cut : {true, false}) {
    ASSERT_TRUE(demo::SetUpdateAnswer(std::string(5000, 'x'), cut ? 200 : 404, cut));
    const int32_t before = g_httpManager.GetLastTaskId();
    StartInstallerDownload();
    RunUntilFinished(g_httpManager.GetLastTaskId());
    EXPECT_EQ(g_httpManager.GetLastTaskId(), before + 1) << "no signature is fetched for nothing";
  }
  EXPECT_EQ(ReadAll(GetInstallerFilePath()), "MZ the earlier installer");
  EXPECT_EQ(installerNotices, 0);
}

TEST_F(UpdateCheck, EmptyUrlStartsNoDownload) {
  const int32_t before = g_httpManager.GetLastTaskId();
  g_updateInfo.url.clear();
  StartInstallerDownload();
  EXPECT_EQ(g_httpManager.GetLastTaskId(), before);
}

}  // namespace
}  // namespace corvane
