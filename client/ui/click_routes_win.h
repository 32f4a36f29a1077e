// Click routing of the toolbar and its menu: the first control name that equals the sender's
// becomes a command posted to the main window.
#pragma once

#include <windows.h>

#include "client/client_messages_win.h"
#include "skin/dui_string.h"

namespace corvane {

struct ClickRoute {
  const wchar_t* control;
  UINT command;
};

// Posts the command of the first route named `sender` (case-sensitive); false when none is.
template <size_t N>
bool PostRoutedCommand(const CDuiString& sender, const ClickRoute (&routes)[N]) {
  for (const ClickRoute& route : routes) {
    if (sender == route.control) {
      PostMessageW(g_hMainWnd, route.command, 0, 0);
      return true;
    }
  }
  return false;
}

}  // namespace corvane
