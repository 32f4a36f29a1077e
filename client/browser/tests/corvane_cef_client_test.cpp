// CorvaneCefClient's policy, driven through the scripted runtime: callbacks arrive on the
// runtime's own thread, in whatever order a test chooses.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "base/ansi.h"
#include "base/service_host.h"
#include "client/browser/corvane_cef_client.h"
#include "client/browser/scripted/scripted_runtime.h"

namespace corvane {
namespace {

const std::wstring kErrorPage = L"file:///C:/Program Files/老师 客户端/error_page/Error.html";

// What the client reached outside the runtime, with the thread it did so on.
struct Observed {
  std::mutex lock;
  std::vector<std::string> events;
  std::vector<std::thread::id> threads;
  void Add(const std::string& event) {
    std::lock_guard<std::mutex> guard(lock);
    events.push_back(event);
    threads.push_back(std::this_thread::get_id());
  }
};

class ClientTest : public ::testing::Test {
 protected:
  ClientTest() {
    CorvaneClientPlatform platform;
    platform.convertClipboardForPaste = [this] { observed.Add("convert"); };
    platform.postNavState = [this](bool back, bool forward) {
      observed.Add("navstate " + std::to_string(back) + " " + std::to_string(forward));
    };
    platform.postRelayout = [this] { observed.Add("relayout"); };
    platform.errorPageUrl = [] { return kErrorPage; };
    client = new CorvaneCefClient(platform);
  }

  CefKeyEvent Key(uint32_t modifiers, int code, bool editable) {
    CefKeyEvent event;
    event.modifiers = modifiers;
    event.windows_key_code = code;
    event.focus_on_editable_field = editable;
    return event;
  }

  Observed observed;
  CScriptedRuntime runtime;
  CefRefPtr<CorvaneCefClient> client;
};

TEST_F(ClientTest, HomeUrlIsTheServiceRoot) {
  EXPECT_EQ(client->GetHomeUrl(), WideToAnsi(ServiceUrl(L"/")));
  EXPECT_EQ(client->GetHomeUrl(), std::string("http://") + CORVANE_DEFAULT_SERVICE_HOST + "/");
}

TEST_F(ClientTest, HandlerGettersAreTheObjectWithOneNewReferenceEach) {
  EXPECT_TRUE(client->HasOneRef());
  {
    CefRefPtr<CefLifeSpanHandler> life = client->GetLifeSpanHandler();
    CefRefPtr<CefKeyboardHandler> keys = client->GetKeyboardHandler();
    CefRefPtr<CefContextMenuHandler> menu = client->GetContextMenuHandler();
    CefRefPtr<CefLoadHandler> load = client->GetLoadHandler();
    EXPECT_EQ(client->RefCountForTesting(), 5);
    EXPECT_EQ(life.get(), static_cast<CefLifeSpanHandler*>(client.get()));
    EXPECT_EQ(load.get(), static_cast<CefLoadHandler*>(client.get()));
  }
  EXPECT_TRUE(client->HasOneRef());
  EXPECT_FALSE(client->GetDisplayHandler());
  EXPECT_FALSE(client->GetRequestHandler());
  EXPECT_FALSE(client->GetRenderHandler());
  EXPECT_FALSE(client->OnProcessMessageReceived(nullptr, PID_RENDERER, nullptr));
}

TEST_F(ClientTest, KeepsTheFirstBrowserAndAsksForRelayoutEachTime) {
  EXPECT_FALSE(client->GetBrowser());
  CefRefPtr<CScriptedBrowser> first = runtime.DeliverBrowser(client);
  CefRefPtr<CScriptedBrowser> second = runtime.DeliverBrowser(client);
  EXPECT_EQ(client->GetBrowser().get(), static_cast<CefBrowser*>(first.get()));
  EXPECT_EQ(first->RefCountForTesting(), 3) << "ours, the runtime's and the client's";
  EXPECT_EQ(second->RefCountForTesting(), 2) << "the client took no reference to the second browser";
  EXPECT_EQ(observed.events, (std::vector<std::string>{"relayout", "relayout"}));
  for (const auto& thread : observed.threads) EXPECT_EQ(thread, runtime.ThreadId());

  // While a browser is held the program closes it itself; once released, the runtime does.
  EXPECT_TRUE(runtime.FireDoClose(first));
  runtime.FireBeforeClose(first);
  EXPECT_FALSE(client->GetBrowser());
  EXPECT_EQ(first->RefCountForTesting(), 2);
  EXPECT_FALSE(runtime.FireDoClose(first));
}

TEST_F(ClientTest, BrowserReadFromAnotherThreadWhileTheRuntimeReplacesIt) {
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      CefRefPtr<CefBrowser> browser = client->GetBrowser();
      if (browser) {
        EXPECT_GT(browser->GetIdentifier(), 0);
      }
    }
  });
  for (int i = 0; i < 200; ++i) {
    CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
    runtime.FireBeforeClose(browser);
  }
  stop = true;
  reader.join();
  EXPECT_FALSE(client->GetBrowser());
}

TEST_F(ClientTest, PopupsAreCancelledAndOpenNothing) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  EXPECT_TRUE(runtime.FireBeforePopup(browser, L"http://127.0.0.1:8765/Problem.html"));
  EXPECT_TRUE(browser->MainFrame()->LoadedUrls().empty());
  EXPECT_TRUE(browser->Calls().empty());
  runtime.FireBeforeClose(browser);
}

TEST_F(ClientTest, ContextMenuIsLeftEmptyInPageAndField) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  EXPECT_EQ(runtime.FireBeforeContextMenu(browser, false)->GetCount(), 0u);
  EXPECT_EQ(runtime.FireBeforeContextMenu(browser, true)->GetCount(), 0u);
  runtime.FireBeforeClose(browser);
}

TEST_F(ClientTest, PasteConversionOnlyForCtrlVInAnEditableFieldWhateverTheLockStates) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  observed.events.clear();
  struct Case {
    uint32_t modifiers;
    int key;
    bool editable;
    bool converts;
  } cases[] = {
      {EVENTFLAG_CONTROL_DOWN, 0x56, true, true},
      // Lock states are not keys held down.
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_CAPS_LOCK_ON, 0x56, true, true},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_NUM_LOCK_ON, 0x56, true, true},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_CAPS_LOCK_ON | EVENTFLAG_NUM_LOCK_ON, 0x56, true, true},
      {EVENTFLAG_CAPS_LOCK_ON | EVENTFLAG_NUM_LOCK_ON, 0x56, true, false},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_NUM_LOCK_ON, 0x56, false, false},
      // Any other flag still stops it: Ctrl+Shift+V pastes plain text.
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_SHIFT_DOWN, 0x56, true, false},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_ALT_DOWN, 0x56, true, false},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_SHIFT_DOWN | EVENTFLAG_NUM_LOCK_ON, 0x56, true, false},
      {EVENTFLAG_CONTROL_DOWN | EVENTFLAG_IS_KEY_PAD, 0x56, true, false},
      {EVENTFLAG_CONTROL_DOWN, 0x56, false, false},
      {EVENTFLAG_CONTROL_DOWN, 0x43, true, false},
      {EVENTFLAG_NONE, 0x56, true, false},
      {EVENTFLAG_COMMAND_DOWN, 0x56, true, false},
      // Shift+Insert is the other paste key.
      {EVENTFLAG_SHIFT_DOWN | EVENTFLAG_NUM_LOCK_ON, 0x2D, true, true},
      {EVENTFLAG_SHIFT_DOWN, 0x2D, false, false},
  };
  for (const Case& c : cases) {
    observed.events.clear();
    for (cef_key_event_type_t type : {KEYEVENT_RAWKEYDOWN, KEYEVENT_KEYUP}) {
      CefKeyEvent event = Key(c.modifiers, c.key, c.editable);
      event.type = type;
      EXPECT_FALSE(runtime.FirePreKeyEvent(browser, event)) << "the key is never consumed";
    }
    // The event type is not looked at: both events of a qualifying key convert.
    EXPECT_EQ(observed.events.size(), c.converts ? 2u : 0u) << "modifiers " << c.modifiers << " key " << c.key
                                                             << " editable " << c.editable;
  }
  // The conversion ran on the runtime's thread, inside the hook.
  observed.events.clear();
  observed.threads.clear();
  runtime.FirePreKeyEvent(browser, Key(EVENTFLAG_CONTROL_DOWN, 0x56, true));
  ASSERT_EQ(observed.threads.size(), 1u);
  EXPECT_EQ(observed.threads[0], runtime.ThreadId());
  runtime.FireBeforeClose(browser);
}

TEST_F(ClientTest, LoadingStateBecomesNavigationNotice) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  observed.events.clear();
  runtime.FireLoadingStateChange(browser, true, false, true);
  runtime.FireLoadingStateChange(browser, false, true, false);
  runtime.FireLoadingStateChange(browser, false, true, true);
  EXPECT_EQ(observed.events, (std::vector<std::string>{"navstate 0 1", "navstate 1 0", "navstate 1 1"}));
  runtime.FireBeforeClose(browser);
}

TEST_F(ClientTest, LoadErrorsLoadTheErrorPageOnTheFailingFrameExceptAborted) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  CefRefPtr<CScriptedFrame> sub = browser->AddSubFrame(L"http://127.0.0.1:8765/frame.html");
  runtime.FireLoadError(browser, browser->MainFrame(), ERR_ABORTED, L"http://127.0.0.1:8765/");
  EXPECT_TRUE(browser->MainFrame()->LoadedUrls().empty());

  runtime.FireLoadError(browser, sub, ERR_CONNECTION_REFUSED, L"http://127.0.0.1:8765/frame.html");
  ASSERT_EQ(sub->LoadedUrls().size(), 1u);
  EXPECT_EQ(sub->LoadedUrls()[0].ToWString(), kErrorPage);
  EXPECT_TRUE(browser->MainFrame()->LoadedUrls().empty()) << "only the failing frame";

  for (cef_errorcode_t code : {ERR_NAME_NOT_RESOLVED, ERR_FILE_NOT_FOUND, ERR_FAILED, ERR_TIMED_OUT}) {
    runtime.FireLoadError(browser, browser->MainFrame(), code, L"http://nowhere.invalid/");
  }
  EXPECT_EQ(browser->MainFrame()->LoadedUrls().size(), 4u);
  runtime.FireBeforeClose(browser);
}

TEST_F(ClientTest, ErrorPageFailingItselfStopsAfterOneAttempt) {
  CefRefPtr<CScriptedBrowser> browser = runtime.DeliverBrowser(client);
  CefRefPtr<CScriptedFrame> frame = browser->MainFrame();
  runtime.FireLoadError(browser, frame, ERR_NAME_NOT_RESOLVED, L"http://nowhere.invalid/");
  // A runtime that cannot load the error page reports its failure, as it would for any URL;
  // at most as many rounds as there were loads.
  for (int round = 0; round < 5 && !frame->LoadedUrls().empty(); ++round) {
    const CefString last = frame->LoadedUrls().back();
    const size_t before = frame->LoadedUrls().size();
    runtime.FireLoadError(browser, frame, ERR_FILE_NOT_FOUND, last);
    if (frame->LoadedUrls().size() == before) break;
  }
  EXPECT_EQ(frame->LoadedUrls().size(), 1u);
  // The runtime may report the address escaped.
  runtime.FireLoadError(browser, frame, ERR_FILE_NOT_FOUND,
                        L"file:///C:/Program%20Files/%E8%80%81%E5%B8%88%20%E5%AE%A2%E6%88%B7%E7%AB%AF/error_page/Error.html");
  EXPECT_EQ(frame->LoadedUrls().size(), 1u);
  runtime.FireBeforeClose(browser);
}

}  // namespace
}  // namespace corvane
