// The install-mode images and the unverified download's line.
#include "client/update/update_prompt_faces.h"

#include "skin/button.h"

namespace corvane {

void ShowInstallFaces(CUiManager& ui) {
  if (auto* download = ui.FindControlAs<CButtonUI>(L"button_download")) {
    download->SetNormalImage(L"button_install_new_version_normal.png");
    download->SetHotImage(L"button_install_new_version_hover.png");
    download->SetPushedImage(L"button_install_new_version_press.png");
    download->SetToolTip(L"\x7ACB\x5373\x5B89\x88C5");  // 立即安装, as the image reads
  }
}

void ShowLineFaces(CUiManager& ui, const std::wstring& line) {
  if (auto* detail = ui.FindControl(L"text_update_detail")) detail->SetText(line.c_str());
  if (auto* download = ui.FindControl(L"button_download")) download->SetVisible(false);
}

void ShowUnverifiedFaces(CUiManager& ui) {
  // 下载的更新未通过签名验证，无法安装，请稍后再试。
  ShowLineFaces(ui, L"\x4E0B\x8F7D\x7684\x66F4\x65B0\x672A\x901A\x8FC7\x7B7E\x540D\x9A8C\x8BC1\xFF0C"
                    L"\x65E0\x6CD5\x5B89\x88C5\xFF0C\x8BF7\x7A0D\x540E\x518D\x8BD5\x3002");
}

}  // namespace corvane
