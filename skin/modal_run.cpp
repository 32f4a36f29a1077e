// The modal run's order of steps.
#include "skin/modal_run.h"

namespace corvane {

unsigned CModalRun::Run(IModalHost& host) {
  m_host = &host;
  m_result = kCancel;
  host.ShowWindow();
  host.SetOwnerEnabled(false);
  int quitCode = 0;
  bool quit = false;
  while (host.IsWindowAlive()) {
    if (!host.DispatchOne(quitCode)) {
      quit = true;
      break;
    }
  }
  host.SetOwnerEnabled(true);
  host.FocusOwner();
  m_host = nullptr;
  if (quit) host.RepostQuit(quitCode);
  return m_result;
}

void CModalRun::WindowClosing() {
  if (m_host) m_host->SetOwnerEnabled(true);
}

}  // namespace corvane
