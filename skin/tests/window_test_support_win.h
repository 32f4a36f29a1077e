// A skinned window for the host tests: any layout of any skin, recording what reaches it.
#pragma once

#include <string>
#include <vector>

#include "skin/window_impl_base_win.h"

namespace corvane::test {

constexpr UINT kCloseWithValue = WM_APP + 1;  // wParam: the value for Close

class CProbeWindow : public WindowImplBase {
 public:
  CProbeWindow(std::wstring layout, std::wstring zip = L"skin.zip", UILIB_RESOURCETYPE type = UILIB_ZIP,
               std::wstring folder = L"")
      : m_layout(std::move(layout)), m_zip(std::move(zip)), m_type(type), m_folder(std::move(folder)) {}

  LPCWSTR GetWindowClassName() const override { return L"CorvaneProbeWindow"; }
  CDuiString GetSkinFolder() override { return m_folder; }
  CDuiString GetSkinFile() override { return m_layout; }
  UILIB_RESOURCETYPE GetResourceType() const override { return m_type; }
  CDuiString GetZIPFileName() const override { return m_zip; }
  void InitWindow() override { ++initCalls; }
  void OnClick(TNotifyUI& msg) override {
    clicks.push_back(msg.pSender->GetName().str());
    WindowImplBase::OnClick(msg);
  }
  void Notify(TNotifyUI& msg) override {
    notifications.push_back(msg.sType.str());
    WindowImplBase::Notify(msg);
  }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == kCloseWithValue) {
      ownerEnabledWhileModal = owner ? IsWindowEnabled(owner) != FALSE : true;
      Close(static_cast<UINT>(wParam));
      return 0;
    }
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
  }

  CPaintManagerUI& Manager() { return m_PaintManager; }

  int initCalls = 0;
  std::vector<std::wstring> clicks;
  std::vector<std::wstring> notifications;
  HWND owner = nullptr;
  bool ownerEnabledWhileModal = true;

 private:
  std::wstring m_layout;
  std::wstring m_zip;
  UILIB_RESOURCETYPE m_type;
  std::wstring m_folder;
};

// Dispatches whatever is queued for this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The centre of a control in physical client coordinates, as a mouse lParam.
inline LPARAM CentreOf(CPaintManagerUI& m, const wchar_t* name) {
  const RECT r = m.ToPhysical(m.FindControl(name)->GetPos());
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace corvane::test
