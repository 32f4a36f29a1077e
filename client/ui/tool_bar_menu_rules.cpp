// The toolbar menu's badge and placement.
#include "client/ui/tool_bar_menu_rules.h"

#include "skin/button.h"

namespace corvane {

void ShowUpdateBadge(CUiManager& ui) {
  if (auto* about = ui.FindControlAs<CButtonUI>(L"button_about")) {
    about->SetNormalImage(L"tool_bar_menu_about_update_normal.png");
    about->SetHotImage(L"tool_bar_menu_about_update_hover.png");
    about->SetPushedImage(L"tool_bar_menu_about_update_press.png");
  }
}

UiPoint MenuPlacement(const UiRect& mainWindow, int menuWidth) {
  constexpr int kRightInset = 25;
  constexpr int kTopOffset = 60;
  return UiPoint{mainWindow.right - menuWidth - kRightInset, mainWindow.top + kTopOffset};
}

}  // namespace corvane
