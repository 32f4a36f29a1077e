// Printing the page: Ctrl+P and the page's window.print() both open GTK's print dialog over the
// view's window, run from this program (the UI process), so the web-process sandbox never stands
// between the teacher and the dialog.
#pragma once

#include <webkit2/webkit2.h>

namespace corvane {

// The print dialog for `view`'s page; returns when the teacher printed or cancelled.
void PrintPage(WebKitWebView* view);

// The view's "print" signal (window.print()): the same dialog, WebKit's own handler skipped.
gboolean OnPagePrintRequest(WebKitWebView* view, WebKitPrintOperation* operation, gpointer);

}  // namespace corvane
