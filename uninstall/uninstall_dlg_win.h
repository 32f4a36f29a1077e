// CUnInstallDlg: the uninstaller's one window with its three pages (confirm, progress, end).
#pragma once

#include "skin/window_impl_base_win.h"

namespace corvane {

class CUnInstallDlg : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;
  ~CUnInstallDlg() override;
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override;
  CDuiString GetSkinFile() override;
  UILIB_RESOURCETYPE GetResourceType() const override;
  CDuiString GetZIPFileName() const override;

 private:
  void StepProgress();
  void Leave();
  void ShowView(const wchar_t* name, bool visible);
};

}  // namespace corvane
