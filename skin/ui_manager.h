// CUiManager: the portable heart of a skinned window. It owns the control tree and the skin it
// came from, lays the tree out over the client size, and turns pointer and key events into
// hover, press, focus and click state and notifications. Hosts (Win32, later GTK) feed it
// events in logical pixels and paint through an IRenderTarget.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/accessible.h"
#include "skin/dialog_builder.h"
#include "skin/notify.h"
#include "skin/resource_source.h"

namespace corvane {

class COptionUI;

class CUiManager {
 public:
  CUiManager() = default;
  virtual ~CUiManager() = default;
  CUiManager(const CUiManager&) = delete;
  CUiManager& operator=(const CUiManager&) = delete;

  // Builds the tree from `layout` in `source` (null: no skin). False when no tree could be
  // built; the window then stays empty and GetDiagnostics says why.
  bool LoadLayout(std::shared_ptr<const IResourceSource> source, const std::wstring& layout,
                  IDialogBuilderCallback* callback = nullptr);
  void AttachRoot(std::unique_ptr<CControlUI> root);
  CControlUI* GetRoot() const { return m_root.get(); }
  const UiWindowAttributes& GetWindowAttributes() const { return m_window; }
  const std::vector<std::wstring>& GetDiagnostics() const { return m_diagnostics; }
  const IResourceSource* GetResources() const { return m_resources.get(); }
  const UiFont* GetFont(int id) const;  // -1: the default font; null when the layout has none

  // The first control of that exact name in layout order, or null (also for null or "").
  CControlUI* FindControl(const wchar_t* name) const;
  // The same, null also when the control is of another kind.
  template <typename T>
  T* FindControlAs(const wchar_t* name) const {
    return dynamic_cast<T*>(FindControl(name));
  }

  // Layout over the client area: at once on a new size, lazily (before painting and hit
  // testing) after visibility, size or margin changes.
  void SetClientSize(UiSize size);
  UiSize GetClientSize() const { return m_clientSize; }
  void NeedUpdate();
  void LayoutIfNeeded();

  void Paint(IRenderTarget& render);

  // Pointer and keys, in logical client coordinates.
  void MouseMove(UiPoint p);
  void MouseLeave();
  // True when the press landed on a clickable control (the host then captures the mouse).
  bool ButtonDown(UiPoint p);
  // Clicks the pressed control when released over it. Nothing of the manager is touched after
  // the click notification: a receiver may destroy the window and its manager.
  void ButtonUp(UiPoint p);
  // Tab/Shift+Tab move the focus, Space/Enter click the focused control. True when used.
  bool KeyDown(UiKey key);
  // The keyboard's click on `control` (enabled, shown and clickable, else false). Nothing of
  // the manager is touched afterwards: a receiver may end the window.
  bool Activate(CControlUI& control);
  void WindowLostFocus();

  // Inside the caption band and not over a clickable control: the host drags the window.
  bool IsCaptionAt(UiPoint p);
  CControlUI* FindControlAt(UiPoint p);

  CControlUI* GetHot() const { return m_hot; }
  CControlUI* GetPushed() const { return m_pushed; }
  CControlUI* GetFocus() const { return m_focus; }
  bool IsFocusMarkShown() const { return m_focusMark; }
  // `showMark`: draw the focus mark (keyboard focus) or not (focus by mouse).
  void SetFocus(CControlUI* control, bool showMark);
  // The focusable, shown and enabled controls in layout order.
  std::vector<CControlUI*> GetFocusOrder() const;

  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* sender, const wchar_t* type, uintptr_t wParam = 0, intptr_t lParam = 0);

  // The host's repaint request (logical rectangle).
  void SetInvalidateHandler(std::function<void(const UiRect&)> handler) { m_invalidate = std::move(handler); }
  void Invalidate(const UiRect& rc);

  // The host's accessibility bridge (see skin/accessible.h); one per window.
  void SetAccessibleListener(std::function<void(CControlUI*, UiAccChange)> listener) {
    m_accessible = std::move(listener);
  }
  void AccessibleChanged(CControlUI* control, UiAccChange change);

  // From the controls.
  void ControlHidden(CControlUI& control);
  void UnselectGroupExcept(COptionUI& selected);

 private:
  void SetHot(CControlUI* control);
  CControlUI* ClickableAt(UiPoint p);
  void ClearStateOf(CControlUI* root);

  std::shared_ptr<const IResourceSource> m_resources;
  std::unique_ptr<CControlUI> m_root;
  UiWindowAttributes m_window;
  std::vector<std::wstring> m_diagnostics;
  std::vector<INotifyUI*> m_notifiers;
  std::function<void(const UiRect&)> m_invalidate;
  std::function<void(CControlUI*, UiAccChange)> m_accessible;
  UiSize m_clientSize;
  bool m_needUpdate = true;
  CControlUI* m_hot = nullptr;
  CControlUI* m_pushed = nullptr;
  CControlUI* m_focus = nullptr;
  bool m_focusMark = false;
  UiPoint m_lastMouse;
  uint64_t m_sequence = 0;
};

}  // namespace corvane
