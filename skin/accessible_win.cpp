// CAccessibleWindow: MSAA answers from the portable accessibility description, in physical
// screen coordinates, and the WinEvents that tell clients what changed.
#include "skin/accessible_win.h"

#include <algorithm>
#include <string>
#include <utility>

#include "skin/paint_manager_win.h"

namespace corvane {
namespace {

HRESULT ReturnString(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, LONG value) {
  VariantInit(v);
  v->vt = VT_I4;
  v->lVal = value;
}

LONG RoleOf(UiAccRole role) {
  switch (role) {
    case UiAccRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case UiAccRole::ToggleButton:
    case UiAccRole::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case UiAccRole::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case UiAccRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case UiAccRole::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    case UiAccRole::Container: break;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG StateOf(const UiAccStates& s, bool windowFocused) {
  LONG state = 0;
  if (!s.enabled) state |= STATE_SYSTEM_UNAVAILABLE;
  if (s.focusable) state |= STATE_SYSTEM_FOCUSABLE;
  if (s.focused && windowFocused) state |= STATE_SYSTEM_FOCUSED;
  if (s.checked) state |= STATE_SYSTEM_CHECKED;
  if (!s.visible) state |= STATE_SYSTEM_INVISIBLE;
  if (s.visible && !s.showing) state |= STATE_SYSTEM_OFFSCREEN;
  return state;
}

// The verb a screen reader speaks for the default action, in the UI's language.
std::wstring ActionText(const UiAccDescription& d) {
  if (d.defaultAction.empty()) return std::wstring();
  switch (d.role) {
    case UiAccRole::CheckBox:
    case UiAccRole::ToggleButton: return d.states.checked ? L"取消选中" : L"选中";
    case UiAccRole::RadioButton: return L"选中";
    default: return L"按下";
  }
}

std::wstring PercentOf(const UiAccDescription& d) {
  const int span = d.maxValue - d.minValue;
  const int clamped = std::min(std::max(d.value, d.minValue), d.maxValue);
  const int percent = span > 0 ? static_cast<int>((clamped - d.minValue) * 100LL / span) : 0;
  return std::to_wstring(percent) + L"%";
}

bool SameStates(const UiAccStates& a, const UiAccStates& b) {
  return a.enabled == b.enabled && a.focusable == b.focusable && a.focused == b.focused &&
         a.checkable == b.checkable && a.checked == b.checked && a.visible == b.visible && a.showing == b.showing;
}

constexpr WPARAM kRaisePending = 0;  // else WindowMessage's wParam is a child id to activate

}  // namespace

UINT CAccessibleWindow::WindowMessage() {
  static const UINT message = RegisterWindowMessageW(L"CorvaneSkinAccessible");
  return message;
}

CAccessibleWindow::CAccessibleWindow(HWND window, CPaintManagerUI& manager) : m_window(window), m_manager(&manager) {}

CAccessibleWindow::~CAccessibleWindow() = default;

void CAccessibleWindow::Disconnect() {
  m_window = nullptr;
  m_manager = nullptr;
  m_known.clear();
}

HRESULT CAccessibleWindow::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  // __uuidof, not IID_IAccessible: x86_64 MinGW's liboleacc.a gives that name as an import
  // thunk, so a 64-bit build would compare against code bytes.
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
  } else if (riid == IID_IEnumVARIANT) {
    *object = static_cast<IEnumVARIANT*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG CAccessibleWindow::AddRef() { return ++m_refs; }

ULONG CAccessibleWindow::Release() {
  const ULONG left = --m_refs;
  if (left == 0) delete this;
  return left;
}

HRESULT CAccessibleWindow::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT CAccessibleWindow::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT CAccessibleWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT CAccessibleWindow::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

CAccessibleWindow::Known& CAccessibleWindow::KnownFor(CControlUI* control) {
  for (Known& k : m_known) {
    if (k.control == control) return k;
  }
  m_known.push_back(Known{control, m_nextId++, false, UiAccDescription{}});
  return m_known.back();
}

std::vector<CAccessibleWindow::Known*> CAccessibleWindow::Children() {
  std::vector<Known*> children;
  if (!m_manager) return children;
  const std::vector<CControlUI*> controls = AccessibleChildren(*m_manager);
  for (CControlUI* c : controls) KnownFor(c);  // may grow m_known: pointers taken afterwards
  for (CControlUI* c : controls) children.push_back(&KnownFor(c));
  return children;
}

LONG CAccessibleWindow::IdOf(CControlUI* control) {
  if (!control) return CHILDID_SELF;
  for (const Known* k : Children()) {
    if (k->control == control) return k->id;
  }
  return CHILDID_SELF;
}

HRESULT CAccessibleWindow::Resolve(const VARIANT& child, Target& target) {
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  if (child.vt != VT_I4) return E_INVALIDARG;
  target = Target{};
  if (child.lVal == CHILDID_SELF) return S_OK;
  for (Known* k : Children()) {
    if (k->id == child.lVal) {
      target.control = k->control;
      target.id = k->id;
      return S_OK;
    }
  }
  return E_INVALIDARG;  // never handed out, or its control left the tree since
}

HRESULT CAccessibleWindow::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  return CreateStdAccessibleObject(m_window, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT CAccessibleWindow::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  *count = static_cast<long>(AccessibleChildren(*m_manager).size());
  return S_OK;
}

HRESULT CAccessibleWindow::get_accChild(VARIANT child, IDispatch** dispatch) {
  if (!dispatch) return E_POINTER;
  *dispatch = nullptr;
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  return t.control ? S_FALSE : E_INVALIDARG;  // children are simple elements, answered here
}

HRESULT CAccessibleWindow::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  if (t.control) return ReturnString(DescribeControl(*t.control).name, name);
  const int length = GetWindowTextLengthW(m_window);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_window, &text[0], length + 1)));
  return ReturnString(text, name);
}

HRESULT CAccessibleWindow::get_accValue(VARIANT child, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  if (!t.control) return DISP_E_MEMBERNOTFOUND;
  const UiAccDescription d = DescribeControl(*t.control);
  return d.hasValue ? ReturnString(PercentOf(d), value) : DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessibleWindow::get_accDescription(VARIANT child, BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  Target t;
  const HRESULT hr = Resolve(child, t);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessibleWindow::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  VariantInit(role);
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  SetI4(role, t.control ? RoleOf(DescribeControl(*t.control).role) : ROLE_SYSTEM_CLIENT);
  return S_OK;
}

HRESULT CAccessibleWindow::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  VariantInit(state);
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  const bool windowFocused = ::GetFocus() == m_window;
  if (t.control) {
    SetI4(state, StateOf(DescribeControl(*t.control).states, windowFocused));
    return S_OK;
  }
  LONG s = STATE_SYSTEM_FOCUSABLE;
  if (windowFocused) s |= STATE_SYSTEM_FOCUSED;
  if (!IsWindowVisible(m_window)) s |= STATE_SYSTEM_INVISIBLE;
  if (!IsWindowEnabled(m_window)) s |= STATE_SYSTEM_UNAVAILABLE;
  SetI4(state, s);
  return S_OK;
}

HRESULT CAccessibleWindow::get_accHelp(VARIANT child, BSTR* help) { return get_accDescription(child, help); }

HRESULT CAccessibleWindow::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (!file || !topic) return E_POINTER;
  *topic = 0;
  return get_accDescription(child, file);
}

HRESULT CAccessibleWindow::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return get_accDescription(child, shortcut);
}

HRESULT CAccessibleWindow::get_accFocus(VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  if (::GetFocus() != m_window) return S_FALSE;
  SetI4(child, IdOf(m_manager->GetFocus()));
  return S_OK;
}

HRESULT CAccessibleWindow::get_accSelection(VARIANT* children) {
  if (!children) return E_POINTER;
  VariantInit(children);
  return m_manager ? S_FALSE : CO_E_OBJNOTCONNECTED;  // nothing here is selectable
}

HRESULT CAccessibleWindow::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!action) return E_POINTER;
  *action = nullptr;
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  const std::wstring text = t.control ? ActionText(DescribeControl(*t.control)) : std::wstring();
  return text.empty() ? DISP_E_MEMBERNOTFOUND : ReturnString(text, action);
}

HRESULT CAccessibleWindow::accSelect(long flags, VARIANT child) {
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
  if (::GetFocus() != m_window) ::SetFocus(m_window);
  if (!t.control || !m_manager) return S_OK;
  return TakeAccessibleFocus(*m_manager, *t.control) ? S_OK : S_FALSE;
}

HRESULT CAccessibleWindow::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  RECT r;
  if (t.control) {
    r = m_manager->ToPhysical(DescribeControl(*t.control).rect);
  } else {
    GetClientRect(m_window, &r);
  }
  POINT origin{r.left, r.top};
  ClientToScreen(m_window, &origin);
  *left = origin.x;
  *top = origin.y;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT CAccessibleWindow::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  Target t;
  const HRESULT hr = Resolve(start, t);
  if (FAILED(hr)) return hr;
  const std::vector<Known*> children = Children();
  const auto at = [&](size_t i) {
    SetI4(end, children[i]->id);
    return S_OK;
  };
  if (!t.control) {
    // The window's siblings are its standard window object's business.
    if (direction == NAVDIR_FIRSTCHILD) return children.empty() ? S_FALSE : at(0);
    if (direction == NAVDIR_LASTCHILD) return children.empty() ? S_FALSE : at(children.size() - 1);
    return S_FALSE;
  }
  size_t i = 0;
  while (i < children.size() && children[i]->control != t.control) ++i;
  if (i == children.size()) return E_INVALIDARG;
  switch (direction) {
    case NAVDIR_NEXT: return i + 1 < children.size() ? at(i + 1) : S_FALSE;
    case NAVDIR_PREVIOUS: return i > 0 ? at(i - 1) : S_FALSE;
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD: return E_INVALIDARG;  // a simple element has no children
    default: return S_FALSE;
  }
}

HRESULT CAccessibleWindow::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  POINT p{x, y};
  ScreenToClient(m_window, &p);
  RECT client;
  GetClientRect(m_window, &client);
  if (!PtInRect(&client, p)) return S_FALSE;
  m_manager->LayoutIfNeeded();
  SetI4(child, IdOf(AccessibleControlAt(*m_manager, m_manager->ToLogical(p))));
  return S_OK;
}

HRESULT CAccessibleWindow::accDoDefaultAction(VARIANT child) {
  Target t;
  const HRESULT hr = Resolve(child, t);
  if (FAILED(hr)) return hr;
  if (!t.control) return DISP_E_MEMBERNOTFOUND;
  const UiAccDescription d = DescribeControl(*t.control);
  if (d.defaultAction.empty() || !d.states.enabled || !d.states.visible) return DISP_E_MEMBERNOTFOUND;
  // A click may end the window: done from its own loop, not inside the client's call.
  return PostMessageW(m_window, WindowMessage(), static_cast<WPARAM>(t.id), 0) ? S_OK : E_FAIL;
}

HRESULT CAccessibleWindow::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT CAccessibleWindow::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT CAccessibleWindow::Next(ULONG count, VARIANT* items, ULONG* fetched) {
  if (!items) return E_POINTER;
  if (fetched) *fetched = 0;
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  const std::vector<Known*> children = Children();
  ULONG n = 0;
  while (n < count && m_enumPos < children.size()) SetI4(&items[n++], children[m_enumPos++]->id);
  if (fetched) *fetched = n;
  return n == count ? S_OK : S_FALSE;
}

HRESULT CAccessibleWindow::Skip(ULONG count) {
  if (!m_manager) return CO_E_OBJNOTCONNECTED;
  const ULONG total = static_cast<ULONG>(AccessibleChildren(*m_manager).size());
  m_enumPos = std::min<ULONG>(m_enumPos + count, total);
  return m_enumPos < total || count == 0 ? S_OK : S_FALSE;
}

HRESULT CAccessibleWindow::Reset() {
  m_enumPos = 0;
  return m_manager ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleWindow::Clone(IEnumVARIANT** copy) {
  if (copy) *copy = nullptr;
  return E_NOTIMPL;
}

void CAccessibleWindow::Raise(DWORD event, LONG id) const {
  if (m_window) NotifyWinEvent(event, m_window, OBJID_CLIENT, id);
}

void CAccessibleWindow::Schedule() {
  if (m_scheduled || !m_window) return;
  m_scheduled = PostMessageW(m_window, WindowMessage(), kRaisePending, 0) != FALSE;
}

void CAccessibleWindow::Changed(CControlUI* control, UiAccChange change) {
  if (!m_manager) return;
  switch (change) {
    case UiAccChange::Focus:
      Raise(EVENT_OBJECT_FOCUS, IdOf(control));  // a hook may call back: no pointer into m_known is held
      break;
    case UiAccChange::Children: {
      // Pointers of a replaced tree may be reused by the new one: forget them all. Otherwise
      // forget the controls that left, so their ids are refused from now on.
      if (!control) m_known.clear();
      const std::vector<CControlUI*> now = AccessibleChildren(*m_manager);
      m_known.erase(std::remove_if(m_known.begin(), m_known.end(),
                                   [&now](const Known& k) {
                                     return std::find(now.begin(), now.end(), k.control) == now.end();
                                   }),
                    m_known.end());
      m_childrenChanged = true;
      break;
    }
    case UiAccChange::State:
    case UiAccChange::Value: break;
  }
  Schedule();
}

void CAccessibleWindow::RaisePending() {
  m_scheduled = false;
  if (!m_manager) return;
  m_manager->LayoutIfNeeded();  // before comparing: describing must not change the tree
  std::vector<std::pair<DWORD, LONG>> events;
  if (m_childrenChanged) {
    m_childrenChanged = false;
    events.emplace_back(EVENT_OBJECT_REORDER, CHILDID_SELF);
  }
  for (Known* k : Children()) {
    const UiAccDescription d = DescribeControl(*k->control);
    if (k->described) {
      if (d.name != k->last.name) events.emplace_back(EVENT_OBJECT_NAMECHANGE, k->id);
      if (!SameStates(d.states, k->last.states)) events.emplace_back(EVENT_OBJECT_STATECHANGE, k->id);
      if (d.hasValue && d.value != k->last.value) events.emplace_back(EVENT_OBJECT_VALUECHANGE, k->id);
    }
    k->last = d;
    k->described = true;
  }
  // Raised last: an in-context hook may call back into this object (and grow m_known).
  for (const auto& e : events) Raise(e.first, e.second);
}

void CAccessibleWindow::OnWindowMessage(WPARAM wParam) {
  if (wParam == kRaisePending) {
    RaisePending();
    return;
  }
  VARIANT child;
  SetI4(&child, static_cast<LONG>(wParam));
  Target t;
  if (Resolve(child, t) != S_OK || !t.control) return;  // the tree changed since it was asked
  DoAccessibleAction(*m_manager, *t.control);  // last: may end the window
}

}  // namespace corvane
