// CUnInstallDlg: page switching, the buttons, and the progress animation on timer 1.
#include "uninstall/uninstall_dlg_win.h"

#include "uninstall/progress_animation.h"
#include "uninstall/removal_win.h"
#include "uninstall/report_win.h"

namespace corvane {
namespace {
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 20;
int g_nProgressCounter = 0;  // the animation's only state; UI thread only
}  // namespace

LPCWSTR CUnInstallDlg::GetWindowClassName() const { return L"UnIntallDlg"; }

CDuiString CUnInstallDlg::GetSkinFolder() { return L""; }

CDuiString CUnInstallDlg::GetSkinFile() { return L"uninstall_dlg.xml"; }

UILIB_RESOURCETYPE CUnInstallDlg::GetResourceType() const { return UILIB_ZIP; }

CDuiString CUnInstallDlg::GetZIPFileName() const { return L"skin.zip"; }

CUnInstallDlg::~CUnInstallDlg() = default;

void CUnInstallDlg::InitWindow() {}

void CUnInstallDlg::OnFinalMessage(HWND hWnd) { WindowImplBase::OnFinalMessage(hWnd); }

LRESULT CUnInstallDlg::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_NCLBUTTONDBLCLK:
      return 0;  // neither maximise nor restore
    case WM_TIMER:
      StepProgress();  // whatever the timer's id
      return 0;
    case WM_DESTROY:
      // Alt+F4 and the system menu close the window through the toolkit, not through our
      // buttons: every way out must end the process.
      PostQuitMessage(0);
      break;
    default:
      break;
  }
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CUnInstallDlg::ShowView(const wchar_t* name, bool visible) {
  if (CControlUI* view = m_PaintManager.FindControl(name)) view->SetVisible(visible);
}

void CUnInstallDlg::StepProgress() {
  CProgressUI* bar = m_PaintManager.FindControlAs<CProgressUI>(L"uninstall_progress");
  if (bar == nullptr) return;
  const ProgressStep step = AdvanceProgress(bar->GetValue(), g_nProgressCounter);
  if (step.finished) {
    KillTimer(GetHWND(), kProgressTimer);
    ShowView(L"uninstall_view", false);
    ShowView(L"end_view", true);
    return;
  }
  bar->SetValue(step.value);
}

void CUnInstallDlg::Leave() {
  DestroyWindow(GetHWND());
  PostQuitMessage(0);
}

void CUnInstallDlg::OnClick(TNotifyUI& msg) {
  const CDuiString name = msg.pSender->GetName();
  if (name == L"page1_button_uninstall") {
    ShowView(L"begin_view", false);
    ShowView(L"uninstall_view", true);
    if (m_PaintManager.FindControl(L"uninstall_progress") != nullptr) {
      SetTimer(GetHWND(), kProgressTimer, kProgressPeriodMs, nullptr);
    }
    SendUninstallReport();  // reads the installation before anything is removed
    RunRemoval();
  } else if (name == L"page1_button_cancel" || name == L"page3_button_finish" || name == L"button_close") {
    Leave();
  } else if (name == L"button_min") {
    ::ShowWindow(GetHWND(), SW_MINIMIZE);
  }
}

}  // namespace corvane
