// The page's "leave this page?" question (its beforeunload), asked by the program rather than by
// WebKit's own sheet inside the view: only then does the program learn that the teacher chose to
// stay, so that an exit asked for earlier can no longer end the program later (a crash of the
// page, a window.close()). A window of its own also shows while the main window is minimised.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>

namespace corvane {

// Shows the question for `dialog` (a WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM), answers WebKit
// when the teacher does, then calls `answered(leave)`. Return TRUE from "script-dialog" after
// calling it. Enter leaves, as in browsers; Esc or closing the question stays.
void AskWhetherToLeavePage(GtkWidget* view, WebKitScriptDialog* dialog, std::function<void(bool leave)> answered);

}  // namespace corvane
