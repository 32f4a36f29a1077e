// What the toolbar menu does, the same on both hosts: its click routes, the update badge on its
// about button, and its place beside the main window.
#pragma once

#include "client/ui/click_routes.h"
#include "skin/ui_manager.h"
#include "skin/ui_types.h"

namespace corvane {

inline constexpr ClickRoute kMenuRoutes[] = {
    {L"button_setting", MainCommand::ShowSettings},
    {L"button_help", MainCommand::ShowHelp},
    {L"button_about", MainCommand::ShowAbout},
    {L"button_exit", MainCommand::ExitApp},
};

// The three update images on "button_about" (skipped when the layout lacks it).
void ShowUpdateBadge(CUiManager& ui);
// The menu's top left corner: its top right 25 pixels left of the main window's right edge
// and 60 pixels below its top edge (`mainWindow` and the result in screen coordinates).
UiPoint MenuPlacement(const UiRect& mainWindow, int menuWidth);

}  // namespace corvane
