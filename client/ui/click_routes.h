// Click routing of the toolbar and its menu: the first control name that equals the sender's
// becomes a command posted to the main window.
#pragma once

#include <cstddef>

#include "client/main_window_channel.h"
#include "skin/dui_string.h"

namespace corvane {

struct ClickRoute {
  const wchar_t* control;
  MainCommand command;
};

// Posts the command of the first route named `sender` (case-sensitive); false when none is.
template <size_t N>
bool PostRoutedCommand(const CDuiString& sender, const ClickRoute (&routes)[N]) {
  for (const ClickRoute& route : routes) {
    if (sender == route.control) {
      PostToMainWindow(route.command);
      return true;
    }
  }
  return false;
}

}  // namespace corvane
