// The toolbar strip's click routes, shared by both hosts: each button becomes a command posted
// to the main window.
#pragma once

#include "client/ui/click_routes.h"

namespace corvane {

// "button_setting" opens the drop-down menu here; the menu's own "button_setting" opens the
// settings dialog.
inline constexpr ClickRoute kToolBarRoutes[] = {
    {L"button_setting", MainCommand::ShowToolBarMenu},
    {L"button_back", MainCommand::GoBack},
    {L"button_forward", MainCommand::GoForward},
    {L"button_refresh", MainCommand::Reload},
};

}  // namespace corvane
