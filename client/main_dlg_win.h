// The client's main window: a modeless dialog from template 129 with the program's icon.
#pragma once

#include <windows.h>

#include <vector>

#include "base/message_loop_win.h"
#include "base/modeless_dialog_win.h"
#include "base/unique_handle_win.h"

namespace corvane {

class CMainDlg : public CModelessDialog<CMainDlg>, public CMessageFilter, public CIdleHandler {
 public:
  static const std::vector<MessageEntry<CMainDlg>>& MessageMap();

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnIdle() override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCancel(UINT, WPARAM, LPARAM, BOOL&);

  UniqueIcon m_bigIcon;
  UniqueIcon m_smallIcon;
};

}  // namespace corvane
