// CAccessibleWindow: the IAccessible a skinned Win32 window answers WM_GETOBJECT (OBJID_CLIENT)
// with. Its children are the controls of skin/accessible.h as simple elements (VT_I4 ids). An
// id is handed out once per control and dropped when the tree changes without that control,
// so a stale id is refused (E_INVALIDARG) rather than naming another control. The object may
// outlive its window (a client holds it); from Disconnect on it answers CO_E_OBJNOTCONNECTED.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "skin/accessible.h"

namespace corvane {

class CPaintManagerUI;

class CAccessibleWindow final : public IAccessible, public IEnumVARIANT {
 public:
  // The window's own message for work done from its loop (see OnWindowMessage).
  static UINT WindowMessage();

  CAccessibleWindow(HWND window, CPaintManagerUI& manager);
  CAccessibleWindow(const CAccessibleWindow&) = delete;
  CAccessibleWindow& operator=(const CAccessibleWindow&) = delete;

  // The window is going: every later call answers CO_E_OBJNOTCONNECTED.
  void Disconnect();
  // The manager's accessibility listener. Focus is raised at once; the other changes are
  // compared and raised from the window's loop, never inside the toolkit's own call.
  void Changed(CControlUI* control, UiAccChange change);
  // WindowMessage() arrived: raise pending events, or run a default action asked for by
  // accDoDefaultAction (last: it may end the window and this object's connection).
  void OnWindowMessage(WPARAM wParam);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: no type information; clients call the vtable.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;
  // IEnumVARIANT: the children's ids, for oleacc's AccessibleChildren.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

 private:
  struct Known {
    CControlUI* control;
    LONG id;
    bool described;  // `last` holds what was last raised or answered
    UiAccDescription last;
  };
  // A resolved VARIANT child: the window itself (control null) or one exposed control.
  struct Target {
    CControlUI* control = nullptr;
    LONG id = CHILDID_SELF;
  };

  ~CAccessibleWindow();
  // The exposed controls now, each with its id (new ones get one).
  std::vector<Known*> Children();
  Known& KnownFor(CControlUI* control);
  // The child id of an exposed control; CHILDID_SELF for null or a control not exposed.
  LONG IdOf(CControlUI* control);
  // S_OK with `target`, CO_E_OBJNOTCONNECTED, or E_INVALIDARG (not VT_I4, or unknown/stale id).
  HRESULT Resolve(const VARIANT& child, Target& target);
  void Raise(DWORD event, LONG id) const;
  void RaisePending();
  void Schedule();

  ULONG m_refs = 1;
  HWND m_window;
  CPaintManagerUI* m_manager;
  std::vector<Known> m_known;
  LONG m_nextId = 1;
  bool m_childrenChanged = false;
  bool m_scheduled = false;
  ULONG m_enumPos = 0;
};

}  // namespace corvane
