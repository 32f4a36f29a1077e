// The whole client under Xvfb, against the demo service, driven as a person drives it: mouse
// clicks at the toolbar's and the dialogs' places and keys in the page. One run navigates, goes
// back, pastes a copied picture with Num Lock on, closes to the tray and restores, opens the
// menu and the settings and finally closes; a second run takes an offered update; a third runs
// under machine policies that lock the close choice and turn the update check off.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "base/utf8.h"
#include "client/policy/policy_names.h"
#include "skin/driver/window_driver_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"
#include "base/testing/read_file_win.h"

namespace corvane {
namespace {

using driver::WaitFor;

constexpr UINT kAddressId = 1;  // the stand-in view's address line
constexpr UINT kTextId = 2;     // the page's text
constexpr UINT kFieldId = 4;    // and its editable field

std::wstring TextOf(HWND window) {
  wchar_t text[4096] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

using testing_files::ReadAll;

void PressKeys(std::initializer_list<WORD> down) {
  std::vector<INPUT> inputs;
  for (WORD key : down) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto it = down.end(); it != down.begin();) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool NumLockOn() { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }

// Num Lock as a person leaves it: toggled by its key.
bool SetNumLock(bool on) {
  if (NumLockOn() != on) PressKeys({VK_NUMLOCK});
  return WaitFor([&] { return NumLockOn() == on; }, 3000);
}

POINT CentreOfWindow(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A small picture on the clipboard, as an image viewer's "copy" leaves it.
void CopyPicture() {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
}

class ClientWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(demo::UseDemoService(), 0);
    ASSERT_TRUE(demo::ClearRecords());
    bin = GetProgramFolder() + L"\\..\\..\\bin";
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(bin.c_str(), MAX_PATH, full, nullptr);
    bin = full;
    DeleteFileW((bin + L"\\CorvaneClient.ini").c_str());
    // The installed client is the one in bin/.
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, bin.c_str(),
                static_cast<DWORD>((bin.size() + 1) * sizeof(wchar_t)));
  }
  void TearDown() override {
    if (numLockBefore) SetNumLock(*numLockBefore);  // other tests share this desktop
    if (process.hProcess != nullptr) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    DeleteFileW((bin + L"\\CorvaneClient.ini").c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  }

  // Starts the client with the update check due or not, and waits for its main window and
  // the browser view under the toolbar.
  void Start(bool checkDue) {
    const DWORD last = checkDue ? 0 : static_cast<DWORD>(time(nullptr));
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &last, sizeof(last));
    const std::wstring exe = bin + L"\\CorvaneClient.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    ASSERT_TRUE(
        CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si, &process));
    main = driver::WaitForWindow(L"#32770", process.dwProcessId, 30000);
    ASSERT_NE(main, nullptr) << "no main window";
    toolbar = FindWindowExW(main, nullptr, L"MainToolBar", nullptr);
    ASSERT_NE(toolbar, nullptr) << "no toolbar";
    ASSERT_TRUE(WaitFor([&] { return (view = FindBrowserView()) != nullptr; }, 15000)) << "no browser view";
  }
  HWND FindBrowserView() {
    for (HWND child = GetWindow(main, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (child != toolbar && GetDlgItem(child, kAddressId) != nullptr) return child;
    }
    return nullptr;
  }

  void ClickControl(HWND window, const wchar_t* layout, const wchar_t* control) {
    POINT p = {};
    ASSERT_TRUE(driver::ControlCentre(window, bin + L"\\skin.zip", layout, control,
                                      [&](CUiManager& m) {
                                        if (window != toolbar) return;
                                        // The main window places the menu button from its width.
                                        CControlUI* setting = m.FindControl(L"button_setting");
                                        RECT client = {};
                                        GetClientRect(toolbar, &client);
                                        if (setting) setting->SetPadding(RECT{client.right - 115, 2, 2, 2});
                                      },
                                      p));
    driver::ClickAt(window, p);
  }
  HWND WaitForDialog(const wchar_t* cls, const wchar_t* name) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowW(cls, name)) != nullptr && IsWindowVisible(found); }, 15000);
    return found;
  }
  // The toolbar's menu, then its settings entry; the settings dialog, once the menu is gone.
  void OpenSettings(HWND& settings) {
    ClickControl(toolbar, L"main_tool_bar.xml", L"button_setting");
    HWND menu = WaitForDialog(L"ToolBarMenu", nullptr);
    ASSERT_NE(menu, nullptr) << "the menu did not open";
    Sleep(300);
    ClickControl(menu, L"tool_bar_menu.xml", L"button_setting");
    settings = WaitForDialog(L"SettingDlg", L"setting_dlg");
    ASSERT_NE(settings, nullptr) << "the settings did not open";
    // The menu posts its own close after routing the click, so it may outlive the settings' first paint.
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(menu); }, 5000)) << "the menu closes after a click";
    Sleep(300);
  }
  DWORD ExitCode(DWORD timeoutMs = 15000) {
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) return static_cast<DWORD>(-1);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
  // Keys go where the focus is; a click can land before the window is foreground, as a
  // person's first click sometimes does, so click again until the control has the focus.
  bool FocusByClick(HWND control) {
    const DWORD thread = GetWindowThreadProcessId(control, nullptr);
    for (int attempt = 0; attempt < 3; ++attempt) {
      driver::ClickAt(main, CentreOfWindow(control));
      if (WaitFor([&] {
            GUITHREADINFO info = {sizeof(info)};
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control;
          }, 2000)) {
        return true;
      }
    }
    return false;
  }
  std::wstring Address() { return TextOf(GetDlgItem(view, kAddressId)); }
  // The address line changes when a load starts; the page's text only once it has arrived. A
  // load that is still under way when the next one starts is given up and leaves no history.
  bool Shows(const std::wstring& url, const wchar_t* pageText) {
    return Address() == url && TextOf(GetDlgItem(view, kTextId)).find(pageText) != std::wstring::npos;
  }
  std::string Shown() {
    return WideToUtf8(L"the address line shows " + Address() + L", the page " + TextOf(GetDlgItem(view, kTextId)));
  }

  std::wstring bin;
  std::optional<bool> numLockBefore;
  PROCESS_INFORMATION process = {};
  HWND main = nullptr, toolbar = nullptr, view = nullptr;
};

TEST_F(ClientWalk, NavigateGoBackPasteTrayMenuSettingsAndClose) {
  ASSERT_NO_FATAL_FAILURE(Start(/*checkDue=*/false));
  const std::wstring home = L"http://" + std::wstring(_wgetenv(L"CORVANE_SERVICE_HOST")) + L"/";
  constexpr const wchar_t* kHomeText = L"在下面的编辑区粘贴文字或图片";
  ASSERT_TRUE(WaitFor([&] { return Shows(home, kHomeText); }, 30000)) << Shown();

  // Navigate by the address line, then back by the toolbar. Setting the text alone changes the
  // address line, so only the page's text tells that Enter reached it and the page loaded.
  HWND address = GetDlgItem(view, kAddressId);
  bool navigated = false;
  for (int attempt = 0; attempt < 3 && !navigated; ++attempt) {
    ASSERT_TRUE(FocusByClick(address)) << "the address line does not take the focus";
    SendMessageW(address, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((home + L"Problem.html").c_str()));
    PressKeys({VK_RETURN});
    navigated = WaitFor([&] { return Shows(home + L"Problem.html", L"遇到问题请联系学校的管理员"); }, 5000);
  }
  ASSERT_TRUE(navigated) << Shown();
  // Back is enabled once the loading state has reached the toolbar; like a person, click again
  // when the first click came too early.
  bool returned = false;
  for (int attempt = 0; attempt < 5 && !returned; ++attempt) {
    Sleep(500);
    ClickControl(toolbar, L"main_tool_bar.xml", L"button_back");
    returned = WaitFor([&] { return Shows(home, kHomeText); }, 3000);
  }
  EXPECT_TRUE(returned) << "back did not return home; " << Shown();

  // Copy a picture, paste it into the page's editable field: the clipboard's HTML is rewritten
  // first, so the page receives the picture inline. Num Lock is on, as on most desktop
  // keyboards: a lock state does not stop the conversion.
  CopyPicture();
  HWND field = GetDlgItem(view, kFieldId);
  ASSERT_TRUE(FocusByClick(field)) << "the page's field does not take the focus";
  numLockBefore = NumLockOn();
  ASSERT_TRUE(SetNumLock(true)) << "Num Lock did not come on";
  PressKeys({VK_CONTROL, 'V'});
  EXPECT_TRUE(WaitFor([&] { return TextOf(field).find(L"data:image/bmp;base64,") != std::wstring::npos; }, 10000))
      << "the field holds: " << TextOf(field).size() << " characters";

  // Close: minimised (the default), the process lives; the tray icon restores it.
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }, 5000));
  PostMessageW(main, WM_USER + 1001, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(main); }, 5000));
  Sleep(500);

  // The menu, then the settings: choose "exit on close" and dismiss.
  HWND settings = nullptr;
  ASSERT_NO_FATAL_FAILURE(OpenSettings(settings));
  ClickControl(settings, L"setting_dlg.xml", L"option_exit");
  Sleep(300);
  ClickControl(settings, L"setting_dlg.xml", L"button_close");
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }, 5000));
  EXPECT_EQ(GetPrivateProfileIntW(L"setting", L"min_close", -1, (bin + L"\\CorvaneClient.ini").c_str()), 1);

  // Now closing ends the program, with the close action's code.
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(ExitCode(), 2u);
}

TEST_F(ClientWalk, TakeTheOfferedUpdate) {
  const std::wstring installerLog = [] {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"\\corvane\\Setup.exe.log";
  }();
  DeleteFileW(installerLog.c_str());
  ASSERT_TRUE(demo::SetInstaller(bin + L"\\sample_installer.exe"));
  const std::string host(getenv("CORVANE_SERVICE_HOST"));
  ASSERT_TRUE(demo::SetUpdateAnswer("{\"product_name\":\"DrovessaClient\",\"type\":1,\"url\":\"http://" + host +
                                    "/download/Setup.exe\"}"));
  ASSERT_NO_FATAL_FAILURE(Start(/*checkDue=*/true));

  HWND offer = WaitForDialog(L"UpdatePromptDlg", L"update_prompt_dlg");
  ASSERT_NE(offer, nullptr) << "no update offer";
  Sleep(300);
  ClickControl(offer, L"update_prompt_dlg.xml", L"button_download");
  HWND install = WaitForDialog(L"UpdatePromptDlg", L"about_dlg");
  ASSERT_NE(install, nullptr) << "no install offer after the download";
  Sleep(300);
  ClickControl(install, L"update_prompt_dlg.xml", L"button_download");
  EXPECT_EQ(ExitCode(), 0u);
  ASSERT_TRUE(WaitFor([&] { return !ReadAll(installerLog).empty(); }, 15000)) << "the installer did not start";
  EXPECT_NE(ReadAll(installerLog).find("/S"), std::string::npos) << ReadAll(installerLog);
  // The sample installer says who it is in a message box; a person would press OK.
  HWND box = nullptr;
  if (WaitFor([&] { return (box = FindWindowW(nullptr, L"Drovessa sample installer")) != nullptr; }, 10000)) {
    PostMessageW(box, WM_CLOSE, 0, 0);
  }
  const Json::Value request = demo::Records()["version"][0];
  EXPECT_EQ(demo::BodyBytes(request), "{\"product_name\":\"DrovessaClient\",\"version\":\"" +
                                          std::string(CORVANE_PROJECT_VERSION) + "\"}\n");
}

// Group Policy's values in the machine's 64-bit view (where a 64-bit Windows keeps them for
// this 32-bit program too), removed again when the test ends.
class MachinePolicies {
 public:
  MachinePolicies() {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                    &m_key, nullptr);
  }
  ~MachinePolicies() {
    RegCloseKey(m_key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPolicyRegistryKey, KEY_WOW64_64KEY, 0);
  }
  MachinePolicies(const MachinePolicies&) = delete;
  MachinePolicies& operator=(const MachinePolicies&) = delete;
  bool Set(const wchar_t* name, DWORD value) {
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
  }
  bool Set(const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  HKEY m_key = nullptr;
};

TEST_F(ClientWalk, MachinePoliciesLockTheCloseChoiceAndTurnTheUpdateCheckOff) {
  MachinePolicies policies;
  ASSERT_TRUE(policies.Set(kUpdateCheckPolicy, 0));
  ASSERT_TRUE(policies.Set(kCloseBehaviorPolicy, L"ask"));
  ASSERT_TRUE(policies.Set(L"Homepage", L"http://example.invalid/")) << "an unknown value is only reported";
  // The user chose to end the program without asking; the policy asks all the same.
  const std::wstring ini = bin + L"\\CorvaneClient.ini";
  WritePrivateProfileStringW(L"setting", L"close_prompt", L"0", ini.c_str());
  WritePrivateProfileStringW(L"setting", L"min_close", L"1", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());  // flushed to the file
  const std::string userChoice = ReadAll(ini);
  ASSERT_FALSE(userChoice.empty());
  // The check is due: only the policy keeps the client from asking the service.
  ASSERT_NO_FATAL_FAILURE(Start(/*checkDue=*/true));

  // The settings: both choices are locked, so a click on "minimise" (stored at once when enabled)
  // stores nothing; the close button still works.
  Sleep(500);
  HWND settings = nullptr;
  ASSERT_NO_FATAL_FAILURE(OpenSettings(settings));
  ClickControl(settings, L"setting_dlg.xml", L"option_tray");
  Sleep(300);
  ClickControl(settings, L"setting_dlg.xml", L"button_close");
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }, 5000)) << "the settings' close button";
  EXPECT_EQ(ReadAll(ini), userChoice) << "a locked choice was stored";

  // Closing asks, although the user chose to end the program without being asked. The prompt's
  // box is locked: an unticked box that counted would store "close_prompt" 1 on dismissing.
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND prompt = WaitForDialog(L"ClosePromptDlg", L"close_prompt_dlg");
  ASSERT_NE(prompt, nullptr) << "no close prompt under CloseBehavior=ask";
  Sleep(300);
  ClickControl(prompt, L"close_prompt_dlg.xml", L"button_close");
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(prompt); }, 5000));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "dismissing ends nothing";
  EXPECT_EQ(ReadAll(ini), userChoice) << "the locked box was stored";

  // No check: nothing reached the service, no offer opened, and the day's turn was not taken.
  EXPECT_EQ(demo::Records()["version"].size(), 0u) << "UpdateCheck=0 sent a request";
  EXPECT_EQ(FindWindowW(L"UpdatePromptDlg", nullptr), nullptr);
  DWORD last = 1, size = sizeof(last);
  SHGetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", nullptr, &last, &size);
  EXPECT_EQ(last, 0u);
  TerminateProcess(process.hProcess, 0);
}

}  // namespace
}  // namespace corvane
