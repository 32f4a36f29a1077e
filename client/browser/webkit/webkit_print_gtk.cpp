// The print dialog of the WebKit backend.
#include "client/browser/webkit/webkit_print_gtk.h"

namespace corvane {
namespace {

void RunDialog(WebKitWebView* view, WebKitPrintOperation* operation) {
  GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(view));
  // Modal over the client's window: the page cannot be changed under a print in progress.
  webkit_print_operation_run_dialog(operation, GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr);
}

}  // namespace

void PrintPage(WebKitWebView* view) {
  WebKitPrintOperation* operation = webkit_print_operation_new(view);
  RunDialog(view, operation);
  g_object_unref(operation);
}

gboolean OnPagePrintRequest(WebKitWebView* view, WebKitPrintOperation* operation, gpointer) {
  RunDialog(view, operation);
  return TRUE;
}

}  // namespace corvane
