// The install-mode images.
#include "client/update/update_prompt_faces.h"

#include "skin/button.h"

namespace corvane {

void ShowInstallFaces(CUiManager& ui) {
  if (auto* download = ui.FindControlAs<CButtonUI>(L"button_download")) {
    download->SetNormalImage(L"button_install_new_version_normal.png");
    download->SetHotImage(L"button_install_new_version_hover.png");
    download->SetPushedImage(L"button_install_new_version_press.png");
  }
}

}  // namespace corvane
