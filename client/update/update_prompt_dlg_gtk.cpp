// CUpdatePromptDlg (GTK): the main button in both modes, the lines of a refusal and of the
// install, no closing while the helper runs, no maximising.
#include "client/update/update_prompt_dlg_gtk.h"

#include "base/utf8.h"
#include "client/update/package_download_gtk.h"
#include "client/update/package_install_gtk.h"
#include "client/update/update_helper_exit.h"
#include "client/update/update_prompt_faces.h"

namespace corvane {

CUpdatePromptDlg::~CUpdatePromptDlg() { *m_self = nullptr; }

void CUpdatePromptDlg::InitWindow() {
  if (!m_strLine.empty()) {
    ShowLineFaces(m_PaintManager, Utf8ToWide(m_strLine));
  } else if (m_bInstallMode) {
    ShowInstallFaces(m_PaintManager);
  }
}

bool CUpdatePromptDlg::HandleEvent(GdkEvent* event) {
  if (m_bInstalling && event->type == GDK_DELETE) return true;  // the window manager's close waits too
  return WindowImplBase::HandleEvent(event);
}

bool CUpdatePromptDlg::ResponseDefaultKeyEvent(unsigned keyval) {
  if (m_bInstalling) return true;
  return WindowImplBase::ResponseDefaultKeyEvent(keyval);
}

void CUpdatePromptDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (m_bInstalling) return;  // the helper's end decides what the prompt says next
  if (name == L"button_close") {
    Close(1);
  } else if (name == L"button_download" && m_strLine.empty()) {  // hidden then: nothing to go on with
    if (m_bInstallMode) {
      Install();
    } else {
      StartPackageDownload();  // runs on after the prompt has closed
      Close(1);
    }
  }
}

void CUpdatePromptDlg::Install() {
  // Checked again: the copy in the user's cache may have changed since it was offered.
  const std::string package = ReadyPackagePath();
  if (package.empty()) {
    m_strLine = LastPackageRefusal();
    if (m_strLine.empty()) {
      Close(1);  // nothing waits any more (installed from another prompt meanwhile)
    } else {
      ShowLineFaces(m_PaintManager, Utf8ToWide(m_strLine));
    }
    return;
  }
  m_bInstalling = true;
  // 正在安装新版本，请稍候…
  ShowLineFaces(m_PaintManager, L"\x6B63\x5728\x5B89\x88C5\x65B0\x7248\x672C\xFF0C\x8BF7\x7A0D\x5019\x2026");
  StartPackageInstall(package, [self = m_self](int exitCode) {
    if (*self) (*self)->OnInstallEnded(exitCode);
  });
}

void CUpdatePromptDlg::OnInstallEnded(int exitCode) {
  m_bInstalling = false;
  if (exitCode == 0) ForgetReadyPackage();  // installed: the download has done its work
  // Installed (the new version runs from the next start), refused by pkexec, or failed: one line.
  m_strLine = DescribeHelperExit(exitCode);
  ShowLineFaces(m_PaintManager, Utf8ToWide(m_strLine));
}

}  // namespace corvane
