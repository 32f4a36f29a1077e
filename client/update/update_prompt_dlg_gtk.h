// CUpdatePromptDlg on GTK: the update offer and, with the layout "about_dlg.xml", the about box —
// the same layouts, names and modes as on Windows. In download mode its main button starts the
// package download and closes the prompt. In install mode it runs the root helper through pkexec
// (never without this click) and stays open, showing that it works and then, in one line, how it
// ended; it cannot be closed while the helper runs. With a refusal line it says only that.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CUpdatePromptDlg : public WindowImplBase {
 public:
  ~CUpdatePromptDlg() override;
  const wchar_t* GetWindowClassName() const override { return L"UpdatePromptDlg"; }
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  bool HandleEvent(GdkEvent* event) override;
  bool ResponseDefaultKeyEvent(unsigned keyval) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return m_strLayoutFile; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }

  // All before Create.
  void SetLayoutFile(std::wstring layoutFile) { m_strLayoutFile = std::move(layoutFile); }
  void SetInstallMode(bool installMode) { m_bInstallMode = installMode; }
  // Shown instead of the update's details, with no main button (UTF-8; empty: none).
  void SetLine(std::string line) { m_strLine = std::move(line); }

  // The helper runs (the prompt shows it is working).
  bool IsInstalling() const { return m_bInstalling; }

 protected:
  // A double click on the caption would maximise the small prompt.
  bool OnCaptionDoubleClick() override { return true; }

 private:
  void Install();
  void OnInstallEnded(int exitCode);

  std::wstring m_strLayoutFile = L"update_prompt_dlg.xml";
  bool m_bInstallMode = false;
  std::string m_strLine;
  bool m_bInstalling = false;
  // Cleared when the prompt goes, so a helper that ends later touches nothing of it.
  std::shared_ptr<CUpdatePromptDlg*> m_self = std::make_shared<CUpdatePromptDlg*>(this);
};

}  // namespace corvane
