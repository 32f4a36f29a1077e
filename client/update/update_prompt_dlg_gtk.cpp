// CUpdatePromptDlg (GTK): install-mode images, both buttons close, no maximising.
#include "client/update/update_prompt_dlg_gtk.h"

#include "client/update/update_prompt_faces.h"

namespace corvane {

void CUpdatePromptDlg::InitWindow() {
  if (m_bInstallMode) ShowInstallFaces(m_PaintManager);
}

void CUpdatePromptDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"button_close" || name == L"button_download") Close(1);
}

}  // namespace corvane
