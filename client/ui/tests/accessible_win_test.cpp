// Screen readers on Wine's oleacc: the toolbar, the close prompt, the settings dialog and the
// uninstaller's pages read and operated through AccessibleObjectFromWindow, with the WinEvents
// an out-of-context hook receives.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unique_handle_win.h"
#include "client/client_messages_win.h"
#include "client/ui/close_prompt_dlg_win.h"
#include "client/ui/main_tool_bar_win.h"
#include "client/ui/setting_dlg_win.h"
#include "client/ui/tests/main_window_stand_in_win.h"
#include "uninstall/uninstall_dlg_win.h"

namespace corvane {
namespace {

using test::CentreOf;
using test::CMainWindowStandIn;
using test::Exposed;
using test::Pump;

struct BstrTraits {
  using Handle = BSTR;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { SysFreeString(h); }
};
using UniqueBstr = UniqueHandle<BstrTraits>;

struct WinEventHookTraits {
  using Handle = HWINEVENTHOOK;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { UnhookWinEvent(h); }
};
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;

struct Event {
  DWORD event;
  HWND window;
  LONG child;
  bool operator==(const Event& o) const { return event == o.event && window == o.window && child == o.child; }
};
std::vector<Event> g_events;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) g_events.push_back(Event{event, window, child});
}

bool Received(const Event& e) {
  Pump();
  for (const Event& got : g_events) {
    if (got == e) return true;
  }
  return false;
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

struct Element {
  LONG id = -1;
  LONG role = 0;
  std::wstring name;
  LONG state = 0;
};

// What a screen reader reads of the window: its children through oleacc's own walk.
class Reader {
 public:
  explicit Reader(HWND window) : m_window(window) {
    IAccessible* acc = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
              S_OK);
    m_acc.Reset(acc);
  }
  IAccessible* operator->() const { return m_acc.Get(); }
  explicit operator bool() const { return m_acc.IsValid(); }

  std::vector<Element> Children() const {
    std::vector<Element> out;
    long count = 0;
    EXPECT_EQ(m_acc.Get()->get_accChildCount(&count), S_OK);
    std::vector<VARIANT> ids(static_cast<size_t>(count));
    long got = 0;
    EXPECT_EQ(AccessibleChildren(m_acc.Get(), 0, count, ids.data(), &got), S_OK);
    EXPECT_EQ(got, count);
    for (long i = 0; i < got; ++i) {
      EXPECT_EQ(ids[i].vt, VT_I4);
      out.push_back(Describe(ids[i].lVal));
    }
    return out;
  }
  Element Describe(LONG id) const {
    Element e;
    e.id = id;
    VARIANT v;
    if (m_acc.Get()->get_accRole(Child(id), &v) == S_OK) e.role = v.lVal;
    BSTR name = nullptr;
    m_acc.Get()->get_accName(Child(id), &name);
    UniqueBstr owned(name);
    if (name) e.name = name;
    if (m_acc.Get()->get_accState(Child(id), &v) == S_OK) e.state = v.lVal;
    return e;
  }
  Element Find(const std::wstring& name) const {
    for (const Element& e : Children()) {
      if (e.name == name) return e;
    }
    ADD_FAILURE() << "no child of that name";
    return Element{};
  }
  std::wstring Value(LONG id) const {
    BSTR value = nullptr;
    m_acc.Get()->get_accValue(Child(id), &value);
    UniqueBstr owned(value);
    return value ? value : L"";
  }
  LONG HitTest(POINT screen) const {
    VARIANT v;
    return m_acc.Get()->accHitTest(screen.x, screen.y, &v) == S_OK && v.vt == VT_I4 ? v.lVal : -1;
  }

 private:
  HWND m_window;
  UniqueComRef<IAccessible> m_acc;
};

std::vector<std::wstring> NamesOf(const std::vector<Element>& elements) {
  std::vector<std::wstring> names;
  for (const Element& e : elements) names.push_back(e.name);
  return names;
}
std::vector<LONG> RolesOf(const std::vector<Element>& elements) {
  std::vector<LONG> roles;
  for (const Element& e : elements) roles.push_back(e.role);
  return roles;
}

POINT ScreenCentre(HWND window, CPaintManagerUI& m, const wchar_t* control) {
  const LPARAM at = CentreOf(m, control);
  POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ClientToScreen(window, &p);
  return p;
}

BOOL CALLBACK FindToolTip(HWND w, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// The tooltip a window's pointer shows: the text of its one tool, or "" without one.
std::wstring ToolTipText(HWND window) {
  HWND tip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&tip));
  if (!tip || SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0) != 1) return L"";
  wchar_t text[80] = {};
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.lpszText = text;
  SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(tool.hwnd, window);
  return text;
}

TEST(AccessibleWindows, ReadAndOperatedThroughOleacc) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  CMainWindowStandIn main;
  g_events.clear();
  UniqueWinEventHook hook(SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &OnWinEvent, GetCurrentProcessId(), 0,
                                          WINEVENT_OUTOFCONTEXT));
  ASSERT_TRUE(hook);

  // --- The toolbar: four named buttons, never their internal names.
  {
    Exposed<CMainToolBar> toolbar;
    toolbar.Create(g_hMainWnd, L"toolbar", WS_CHILD | WS_VISIBLE, 0, 0, 0, 600, 800);
    Pump();
    Reader reader(toolbar);
    ASSERT_TRUE(reader);
    const std::vector<Element> buttons = reader.Children();
    EXPECT_EQ(NamesOf(buttons), (std::vector<std::wstring>{L"后退", L"前进", L"刷新", L"菜单"}));
    EXPECT_EQ(RolesOf(buttons), std::vector<LONG>(4, ROLE_SYSTEM_PUSHBUTTON));
    for (const Element& b : buttons) EXPECT_EQ(b.state & STATE_SYSTEM_UNAVAILABLE, 0);
    VARIANT role;
    EXPECT_EQ(reader->get_accRole(Child(CHILDID_SELF), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
    IDispatch* parent = nullptr;
    ASSERT_EQ(reader->get_accParent(&parent), S_OK);
    UniqueComRef<IDispatch> ownedParent(parent);
    IAccessible* frame = nullptr;
    ASSERT_EQ(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&frame)), S_OK);
    UniqueComRef<IAccessible> ownedFrame(frame);  // Wine's window object answers little more (E_NOTIMPL)

    // Where they are, and what is at a button's centre.
    const Element refresh = buttons[2];
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(reader->accLocation(&x, &y, &w, &h, Child(refresh.id)), S_OK);
    RECT window;
    GetWindowRect(toolbar, &window);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    EXPECT_TRUE(x >= window.left && y >= window.top && x + w <= window.right && y + h <= window.bottom);
    const POINT centre = ScreenCentre(toolbar, toolbar.Manager(), L"button_refresh");
    EXPECT_TRUE(centre.x >= x && centre.x < x + w && centre.y >= y && centre.y < y + h);
    EXPECT_EQ(reader.HitTest(centre), refresh.id);
    VARIANT none;
    EXPECT_EQ(reader->accHitTest(window.right + 5, window.bottom + 5, &none), S_FALSE);
    EXPECT_EQ(none.vt, VT_EMPTY);
    VARIANT next;
    ASSERT_EQ(reader->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, buttons[0].id);
    ASSERT_EQ(reader->accNavigate(NAVDIR_NEXT, Child(buttons[0].id), &next), S_OK);
    EXPECT_EQ(next.lVal, buttons[1].id);
    EXPECT_EQ(reader->accNavigate(NAVDIR_NEXT, Child(buttons[3].id), &next), S_FALSE);

    // The default action is a click: refresh posts its command to the main window.
    BSTR action = nullptr;
    EXPECT_EQ(reader->get_accDefaultAction(Child(refresh.id), &action), S_OK);
    UniqueBstr ownedAction(action);
    EXPECT_EQ(reader->accDoDefaultAction(Child(refresh.id)), S_OK);
    EXPECT_EQ(main.TakePosted(), std::vector<UINT>{WM_RELOADPAGE});

    // Icon-only buttons show their name as a tooltip; a button with text shows none.
    SendMessageW(toolbar, WM_MOUSEMOVE, 0, CentreOf(toolbar.Manager(), L"button_forward"));
    EXPECT_EQ(ToolTipText(toolbar), L"前进");
    SendMessageW(toolbar, WM_MOUSEMOVE, 0, CentreOf(toolbar.Manager(), L"button_setting"));
    EXPECT_EQ(ToolTipText(toolbar), L"");

    // No history: back is unavailable, refuses its action, and clients hear of the change.
    toolbar.Manager().FindControl(L"button_back")->SetEnabled(false);
    EXPECT_NE(reader.Describe(buttons[0].id).state & STATE_SYSTEM_UNAVAILABLE, 0);
    EXPECT_EQ(reader->accDoDefaultAction(Child(buttons[0].id)), DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(Received(Event{EVENT_OBJECT_STATECHANGE, toolbar, buttons[0].id}));
    EXPECT_TRUE(main.TakePosted().empty());
  }

  // --- The close prompt: its buttons and box, the box ticked through its action, focus moved
  // by the keyboard, and the object outliving the window.
  {
    Exposed<CClosePromptDlg> prompt;
    prompt.Create(g_hMainWnd, L"关闭提示", WS_POPUP | WS_VISIBLE, 0);
    Pump();
    Reader reader(prompt);
    ASSERT_TRUE(reader);
    const std::vector<Element> children = reader.Children();
    EXPECT_EQ(NamesOf(children),
              (std::vector<std::wstring>{L"关闭提示", L"关闭", L"您希望如何关闭 Drovessa老师端？",
                                         L"最小化后程序仍在任务栏中运行，可随时打开。", L"不再提示", L"最小化",
                                         L"退出程序"}));
    EXPECT_EQ(RolesOf(children),
              (std::vector<LONG>{ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_STATICTEXT,
                                 ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_CHECKBUTTON, ROLE_SYSTEM_PUSHBUTTON,
                                 ROLE_SYSTEM_PUSHBUTTON}));
    const Element box = children[4];
    EXPECT_EQ(box.state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_EQ(reader->accDoDefaultAction(Child(box.id)), S_OK);
    Pump();
    EXPECT_NE(reader.Describe(box.id).state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_TRUE(prompt.Manager().FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt")->GetCheck());
    EXPECT_TRUE(Received(Event{EVENT_OBJECT_STATECHANGE, prompt, box.id}));

    // Tab moves the keyboard focus: the reader is told, and finds the focus there.
    SetFocus(prompt);
    ASSERT_EQ(GetFocus(), prompt.GetHWND());
    g_events.clear();
    SendMessageW(prompt, WM_KEYDOWN, VK_TAB, 0);
    CControlUI* focused = prompt.Manager().GetFocus();
    ASSERT_NE(focused, nullptr);
    const LONG focusedId = reader.HitTest(ScreenCentre(prompt, prompt.Manager(), focused->GetName().str().c_str()));
    EXPECT_TRUE(Received(Event{EVENT_OBJECT_FOCUS, prompt, focusedId}));
    VARIANT focus;
    ASSERT_EQ(reader->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, focusedId);
    for (const Element& e : reader.Children()) {
      EXPECT_EQ((e.state & STATE_SYSTEM_FOCUSED) != 0, e.id == focusedId);
    }

    // Untick, then answer the prompt with 关闭 through its action: the window goes, the object
    // the reader holds says so instead of reaching into freed memory.
    EXPECT_EQ(reader->accDoDefaultAction(Child(box.id)), S_OK);
    Pump();
    EXPECT_EQ(reader.Describe(box.id).state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_EQ(reader->accDoDefaultAction(Child(children[1].id)), S_OK);
    Pump();
    EXPECT_FALSE(IsWindow(prompt));
    long count = 0;
    EXPECT_EQ(reader->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(reader->get_accName(Child(box.id), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(reader->accDoDefaultAction(Child(box.id)), CO_E_OBJNOTCONNECTED);
  }

  // --- The settings dialog: two radio buttons, exactly one checked.
  {
    Exposed<CSettingDlg> settings;
    settings.Create(g_hMainWnd, L"设置", WS_POPUP | WS_VISIBLE, 0);
    Pump();
    Reader reader(settings);
    ASSERT_TRUE(reader);
    const Element tray = reader.Find(L"最小化窗口，不退出程序");
    const Element exit = reader.Find(L"退出程序");
    EXPECT_EQ(tray.role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(exit.role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_NE((tray.state & STATE_SYSTEM_CHECKED) != 0, (exit.state & STATE_SYSTEM_CHECKED) != 0);
    EXPECT_EQ(reader.Find(L"关闭").role, ROLE_SYSTEM_PUSHBUTTON);
    DestroyWindow(settings);
  }

  // --- The uninstaller: its first page, then the progress page as the uninstall button shows
  // it (not pressed here: it would remove the installation). Ids of the hidden page go stale.
  {
    Exposed<CUnInstallDlg> uninstall;
    uninstall.Create(nullptr, L"卸载", WS_POPUP | WS_VISIBLE, 0);
    Pump();
    Reader reader(uninstall);
    ASSERT_TRUE(reader);
    const std::vector<Element> first = reader.Children();
    EXPECT_EQ(NamesOf(first), (std::vector<std::wstring>{L"Drovessa老师端卸载程序", L"最小化", L"关闭",
                                                         L"确定要卸载 Drovessa老师端 吗？",
                                                         L"卸载将删除程序文件、快捷方式和设置。", L"取消", L"立即卸载"}));
    const Element cancel = first[5];
    EXPECT_EQ(cancel.role, ROLE_SYSTEM_PUSHBUTTON);

    g_events.clear();
    CPaintManagerUI& m = uninstall.Manager();
    m.FindControl(L"begin_view")->SetVisible(false);
    m.FindControl(L"uninstall_view")->SetVisible(true);
    BSTR stale = nullptr;
    EXPECT_EQ(reader->get_accName(Child(cancel.id), &stale), E_INVALIDARG);
    EXPECT_EQ(reader->accDoDefaultAction(Child(cancel.id)), E_INVALIDARG);
    EXPECT_EQ(reader->accDoDefaultAction(Child(12345)), E_INVALIDARG);
    EXPECT_TRUE(Received(Event{EVENT_OBJECT_REORDER, uninstall, CHILDID_SELF}));
    const Element bar = reader.Find(L"卸载进度");
    EXPECT_EQ(bar.role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(reader.Value(bar.id), L"0%");
    m.FindControlAs<CProgressUI>(L"uninstall_progress")->SetValue(40);
    EXPECT_EQ(reader.Value(bar.id), L"40%");
    EXPECT_TRUE(Received(Event{EVENT_OBJECT_VALUECHANGE, uninstall, bar.id}));
    DestroyWindow(uninstall);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the uninstaller ends its process on WM_DESTROY
  }
  hook.Reset();
  CoUninitialize();
}

}  // namespace
}  // namespace corvane
