// The Linux update cycle in-process over the scripted runtime, against the demo service on
// loopback, with a recorder standing in for pkexec first in PATH, the prompts clicked through
// the X server under Xvfb with openbox: offer → download → the prompt in install mode → the
// helper started with its absolute path and the downloaded package → success, then pkexec's
// refusal and the helper's failure, the client still running; every bad package refused with
// its reason, nothing started and no file left; and with the package's apt source enabled, an
// offer that only says the update comes with the system's updates.
#include <curl/curl.h>
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/main_loop_gtk.h"
#include "base/utf8.h"
#include "client/browser/scripted/scripted_runtime.h"
#include "client/browser/client_platform_gtk.h"
#include "client/main_window_gtk.h"
#include "client/update/linux_update_verify.h"
#include "client/update/package_download_gtk.h"
#include "client/update/update_check_gtk.h"
#include "client/update/update_helper_exit.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string kBinaryDir = CORVANE_TEST_BINARY_DIR;
const std::string kPackages = kBinaryDir + "/update_cycle_packages/";
const std::string kNext = CORVANE_NEXT_VERSION;
const std::string kOwn = CORVANE_PROJECT_VERSION;
const std::string kRecord = kBinaryDir + "/update_cycle_gtk_test.pkexec";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A control request to the demo service (its port and token from the fixture's state file); its
// answer's body into `body` when given.
long DemoControl(const std::string& pathAndQuery, std::string* body = nullptr) {
  std::map<std::string, std::string> fields;
  std::istringstream state(ReadAll(kBinaryDir + "/demo_service.state"));
  for (std::string key, value; state >> key >> value;) fields[key] = value;
  CURL* curl = curl_easy_init();
  const std::string url = "http://127.0.0.1:" + fields["port"] + pathAndQuery;
  curl_slist* headers = curl_slist_append(nullptr, ("X-Demo-Token: " + fields["token"]).c_str());
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  std::string received;
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* to) {
    static_cast<std::string*>(to)->append(data, size * count);
    return size * count;
  });
  long status = 0;
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  if (body) *body = received;
  return status;
}

std::vector<std::string> UpdatesFolderFiles() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(UpdatesFolder(), error)) names.push_back(entry.path().filename());
  return names;
}

class UpdateCycleGtk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
    std::map<std::string, std::string> fields;
    std::istringstream state(ReadAll(kBinaryDir + "/demo_service.state"));
    for (std::string key, value; state >> key >> value;) fields[key] = value;
    ASSERT_FALSE(fields["port"].empty()) << "the demo service's fixture";
    g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + fields["port"]).c_str(), TRUE);
    // The recorder first in PATH, standing in for pkexec.
    g_setenv("PATH", (kBinaryDir + "/pkexec_recorder:" + g_getenv("PATH")).c_str(), TRUE);
    g_setenv("CORVANE_PKEXEC_RECORD", kRecord.c_str(), TRUE);
    fs::remove(kRecord);
    fs::remove(kRecord + ".exit");
    fs::remove_all(UpdatesFolder());
    ASSERT_EQ(DemoControl("/_demo/signature?variant=valid"), 200);

    SetCefRuntime(&m_runtime);
    ASSERT_TRUE(m_window.Create(LinuxClientPlatform()));
    m_window.ShowMaximised();
    test::Show(m_window.GetWindow());
    m_browser = m_runtime.DeliverBrowser(m_window.GetClient().get());
  }
  void TearDown() override {
    if (m_browser) m_browser->Detach();
    SetCefRuntime(nullptr);
  }

  // Starts a check (a day is due: the last time is removed) and runs `steps` in turn from a
  // timer, which also runs inside the prompts' modal loops; each step returns true when done.
  // False when they did not all finish within 60 s (the prompt shown then is closed).
  bool CheckAndDrive(std::vector<std::function<bool(CUpdatePromptDlg*)>> steps) {
    fs::remove(LastCheckFilePath());
    EXPECT_TRUE(CheckForUpdate());
    struct Run {
      CMainWindow* window;
      std::vector<std::function<bool(CUpdatePromptDlg*)>> steps;
      size_t next = 0;
      gint64 deadline = g_get_monotonic_time() + 60 * G_USEC_PER_SEC;
    } run{&m_window, std::move(steps)};
    const guint timer = g_timeout_add(100, [](gpointer data) -> gboolean {
      auto* r = static_cast<Run*>(data);
      if (r->next == r->steps.size()) return G_SOURCE_CONTINUE;
      CUpdatePromptDlg* prompt = r->window->GetShownUpdatePrompt();
      if (prompt && (!prompt->GetHWND() || !test::ShownAndFocused(prompt->GetHWND()))) prompt = nullptr;
      if (g_get_monotonic_time() > r->deadline) {
        if (prompt && !prompt->IsInstalling()) prompt->Close(1);
      } else if (r->steps[r->next](prompt)) {
        ++r->next;
      }
      return G_SOURCE_CONTINUE;
    }, &run);
    RunMainLoopUntil([&] { return run.next == run.steps.size() || g_get_monotonic_time() >= run.deadline; });
    g_source_remove(timer);
    test::PumpIdle();
    return run.next == run.steps.size();
  }

  static std::wstring Line(CUpdatePromptDlg* prompt) {
    return prompt->GetPaintManager().FindControl(L"text_update_detail")->GetText().str();
  }
  static bool MainButtonShown(CUpdatePromptDlg* prompt) {
    return prompt->GetPaintManager().FindControl(L"button_download")->IsVisible();
  }
  static bool InInstallMode(CUpdatePromptDlg* prompt) {
    auto* main = prompt->GetPaintManager().FindControlAs<CButtonUI>(L"button_download");
    return main->IsVisible() && main->GetNormalImage() == L"button_install_new_version_normal.png";
  }
  // A click through the X server, handled once the step has returned: a step never runs the
  // loop itself, or the next prompt's modal loop would open inside it, where no step runs.
  static void Click(CUpdatePromptDlg* prompt, const wchar_t* button) {
    const UiPoint p = test::CentreOf(prompt->GetPaintManager(), button);
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(prompt->GetHWND()), &x, &y);
    test::XdoTool("mousemove " + std::to_string(x + p.x) + " " + std::to_string(y + p.y) + " click 1");
  }
  // The offer in download mode: its main button starts the download.
  static bool Download(CUpdatePromptDlg* prompt) {
    if (prompt == nullptr || !MainButtonShown(prompt) || InInstallMode(prompt)) return false;
    Click(prompt, L"button_download");
    return true;
  }

  CScriptedRuntime m_runtime;
  CMainWindow m_window;
  CefRefPtr<CScriptedBrowser> m_browser;
};

TEST_F(UpdateCycleGtk, OfferDownloadInstallThroughTheHelperAndItsFailures) {
  const std::string offered = "corvane-client_" + kNext + "_all.deb";
  ASSERT_EQ(DemoControl("/_demo/linux-package?path=" + kPackages + offered), 200);
  const std::string downloaded = UpdatesFolder() + "/" + offered;
  const std::vector<std::string> oneCall{kBinaryDir + "/corvane-update-helper", downloaded, "--"};
  std::vector<std::string> expectedCalls;
  auto recorded = [&] {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(kRecord));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  };
  // pkexec refuses (the password dialog dismissed), the helper fails in apt, then it succeeds:
  // each time a new check downloads the offer, the install button runs the helper once.
  for (const int code : {126, static_cast<int>(HelperExit::AptFailed), 0}) {
    SCOPED_TRACE(code);
    const bool walked = CheckAndDrive({
        &Download,
        [&](CUpdatePromptDlg* prompt) {
          if (prompt == nullptr || !InInstallMode(prompt)) return false;
          // Downloaded whole and verified, its signature beside it; nothing started yet.
          EXPECT_EQ(ReadAll(downloaded), ReadAll(kPackages + offered));
          EXPECT_TRUE(fs::exists(downloaded + ".sig"));
          EXPECT_EQ(UpdatesFolderFiles().size(), 2u);
          EXPECT_EQ(recorded(), expectedCalls) << "no helper before the click";
          std::ofstream(kRecord + ".exit") << code;
          Click(prompt, L"button_download");
          return true;
        },
        [&](CUpdatePromptDlg* prompt) {
          // The client waits on its loop, the prompt without its button, until the helper's end.
          if (prompt == nullptr || MainButtonShown(prompt) || prompt->IsInstalling()) return false;
          EXPECT_EQ(Line(prompt), Utf8ToWide(DescribeHelperExit(code)));
          return true;
        },
        [&](CUpdatePromptDlg* prompt) {
          if (prompt == nullptr) return false;
          Click(prompt, L"button_close");
          return true;
        },
    });
    ASSERT_TRUE(walked);
    expectedCalls.insert(expectedCalls.end(), oneCall.begin(), oneCall.end());
    EXPECT_EQ(recorded(), expectedCalls) << "pkexec <the helper beside the program> <the download>";
    EXPECT_EQ(fs::exists(downloaded), code != 0) << "kept for another try until it is installed";
    EXPECT_NE(m_window.GetWindow(), nullptr) << "the client keeps running";
  }
  EXPECT_TRUE(UpdatesFolderFiles().empty());
}

TEST_F(UpdateCycleGtk, EveryBadPackageIsRefusedWithItsReasonAndLeavesNothing) {
  const std::string offered = kPackages + "corvane-client_" + kNext + "_all.deb";
  struct Case {
    const char* name;
    std::string package;
    const char* signature;
    PackageRefusal refusal;
  } cases[] = {
      {"no signature", offered, "missing", PackageRefusal::NoSignature},
      {"another file's signature", offered, "other-file", PackageRefusal::BadSignature},
      {"another key", offered, "other-key", PackageRefusal::BadSignature},
      {"truncated signature", offered, "truncated", PackageRefusal::BadSignature},
      {"one byte changed", offered + "&changed=1", "valid", PackageRefusal::BadSignature},
      {"not a Debian package", kPackages + "corvane-client_" + kNext + "_notdeb.deb", "valid",
       PackageRefusal::NotDebianPackage},
      {"another package", kPackages + "corvane-other_" + kNext + "_all.deb", "valid", PackageRefusal::OtherPackage},
      {"an older version", kPackages + "corvane-client_" + kOwn + "~old_all.deb", "valid", PackageRefusal::NotNewer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(DemoControl("/_demo/linux-package?path=" + c.package), 200);
    ASSERT_EQ(DemoControl(std::string("/_demo/signature?variant=") + c.signature), 200);
    const bool walked = CheckAndDrive({
        &Download,
        [&](CUpdatePromptDlg* prompt) {
          if (prompt == nullptr || MainButtonShown(prompt)) return false;
          EXPECT_EQ(Line(prompt), Utf8ToWide(DescribeRefusal(c.refusal)));
          EXPECT_TRUE(UpdatesFolderFiles().empty()) << "the package and its signature are deleted";
          Click(prompt, L"button_close");
          return true;
        },
    });
    ASSERT_TRUE(walked);
    EXPECT_TRUE(ReadyPackagePath().empty());
  }
  EXPECT_FALSE(fs::exists(kRecord)) << "nothing was started";
}

TEST_F(UpdateCycleGtk, WithTheAptSourceEnabledTheOfferOnlySaysSoAndInstallsNothing) {
  ASSERT_EQ(DemoControl("/_demo/linux-package?path=" + kPackages + "corvane-client_" + kNext + "_all.deb"), 200);
  const std::string source = kBinaryDir + "/update_cycle_gtk_test.sources";
  const std::string shipped = ReadAll(std::string(g_getenv("CORVANE_TEST_SOURCE_DIR")) +
                                      "/packaging/linux/corvane-client.sources.in");
  m_window.aptSourcePath = source;
  // Enabled as the package writes it, then an administrator's "Enabled: no": the client's own
  // download comes back.
  for (const bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    std::ofstream(source, std::ios::trunc) << shipped << (enabled ? "" : "Enabled: no\n");
    ASSERT_EQ(DemoControl("/_demo/clear"), 200);
    const bool walked = CheckAndDrive({
        [&](CUpdatePromptDlg* prompt) {
          if (prompt == nullptr) return false;
          EXPECT_EQ(MainButtonShown(prompt), !enabled);
          if (enabled) {
            EXPECT_EQ(Line(prompt), Utf8ToWide(SystemUpdatesLine()));
          }
          Click(prompt, L"button_close");
          return true;
        },
    });
    ASSERT_TRUE(walked);
    // The check still tells the service the installed version.
    std::string records;
    ASSERT_EQ(DemoControl("/_demo/records", &records), 200);
    const std::string sent = R"({\"product_name\":\"DrovessaClientLinux\",\"version\":\")" + kOwn + R"(\"})";
    EXPECT_NE(records.find(sent), std::string::npos) << records;
  }
  EXPECT_TRUE(UpdatesFolderFiles().empty());
  EXPECT_FALSE(fs::exists(kRecord)) << "nothing was started";
  fs::remove(source);
}

}  // namespace
}  // namespace corvane
