// CUpdatePromptDlg: install-mode images, the main button in both modes, the line shown after a
// download that did not verify, no maximising.
#include "client/update/update_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/update/installer_win.h"

namespace corvane {

LRESULT CUpdatePromptDlg::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // A double click on the caption would maximise the small prompt.
  if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CUpdatePromptDlg::InitWindow() {
  if (m_bUnverified) {
    if (auto* detail = m_PaintManager.FindControl(L"text_update_detail")) {
      // 下载的更新未通过签名验证，无法安装，请稍后再试。
      detail->SetText(L"\x4E0B\x8F7D\x7684\x66F4\x65B0\x672A\x901A\x8FC7\x7B7E\x540D\x9A8C\x8BC1\xFF0C"
                      L"\x65E0\x6CD5\x5B89\x88C5\xFF0C\x8BF7\x7A0D\x540E\x518D\x8BD5\x3002");
    }
    if (auto* download = m_PaintManager.FindControl(L"button_download")) download->SetVisible(false);
    return;
  }
  if (!m_bInstallMode) return;
  if (auto* download = m_PaintManager.FindControlAs<CButtonUI>(L"button_download")) {
    download->SetNormalImage(L"button_install_new_version_normal.png");
    download->SetHotImage(L"button_install_new_version_hover.png");
    download->SetPushedImage(L"button_install_new_version_press.png");
  }
}

void CUpdatePromptDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"button_close") {
    Close(1);
  } else if (name == L"button_download" && !m_bUnverified) {  // hidden then: nothing to go on with
    if (m_bInstallMode) {
      // An installer that no longer verifies is not started, and the client stays.
      PostMessageW(g_hMainWnd, LaunchInstaller() ? WM_EXITAPP : WM_UPDATEUNVERIFIED, 0, 0);
    } else {
      StartInstallerDownload();  // runs on after the prompt has closed
    }
    Close(1);
  }
}

}  // namespace corvane
