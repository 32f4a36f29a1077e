// CUpdatePromptDlg: install-mode images, the main button in both modes, the line shown after a
// download that did not verify, no maximising.
#include "client/update/update_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/update/installer_win.h"
#include "client/update/update_prompt_faces.h"

namespace corvane {

LRESULT CUpdatePromptDlg::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // A double click on the caption would maximise the small prompt.
  if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CUpdatePromptDlg::InitWindow() {
  if (m_bUnverified) {
    ShowUnverifiedFaces(m_PaintManager);
  } else if (m_bInstallMode) {
    ShowInstallFaces(m_PaintManager);
  }
}

void CUpdatePromptDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"button_close") {
    Close(1);
  } else if (name == L"button_download" && !m_bUnverified) {  // hidden then: nothing to go on with
    if (m_bInstallMode) {
      // An installer that no longer verifies is not started, and the client stays.
      PostToMainWindow(LaunchInstaller() ? MainCommand::ExitApp : MainCommand::UpdateUnverified);
    } else {
      StartInstallerDownload();  // runs on after the prompt has closed
    }
    Close(1);
  }
}

}  // namespace corvane
