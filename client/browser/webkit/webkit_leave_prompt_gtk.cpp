// See webkit_leave_prompt_gtk.h.
#include "client/browser/webkit/webkit_leave_prompt_gtk.h"

#include <utility>

#include "base/utf8.h"
#include "base/product_names.h"

namespace corvane {
namespace {

struct Question {
  WebKitScriptDialog* dialog;  // held until WebKit is answered
  std::function<void(bool)> answered;
  bool done = false;
};

void Answer(Question* question, bool leave) {
  if (question->done) return;
  question->done = true;
  webkit_script_dialog_confirm_set_confirmed(question->dialog, leave);
  // Told before WebKit goes on: leaving emits the view's "close" at once.
  if (question->answered) question->answered(leave);
  webkit_script_dialog_close(question->dialog);
}

}  // namespace

void AskWhetherToLeavePage(GtkWidget* view, WebKitScriptDialog* dialog, std::function<void(bool leave)> answered) {
  auto* question = new Question{webkit_script_dialog_ref(dialog), std::move(answered)};
  GtkWidget* top = gtk_widget_get_toplevel(view);
  GtkWidget* prompt = gtk_message_dialog_new(GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr,
                                             static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "要离开此页吗？");
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(prompt), "%s", "您输入的内容可能不会保存。");
  gtk_window_set_title(GTK_WINDOW(prompt), WideToUtf8(kMainWindowCaption).c_str());
  gtk_dialog_add_buttons(GTK_DIALOG(prompt), "留在此页", GTK_RESPONSE_CANCEL, "离开", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(prompt), GTK_RESPONSE_ACCEPT);
  g_signal_connect(prompt, "response", G_CALLBACK(+[](GtkDialog* self, gint response, Question* q) {
    Answer(q, response == GTK_RESPONSE_ACCEPT);
    gtk_widget_destroy(GTK_WIDGET(self));
  }), question);
  // Destroyed unanswered (its window went): the page stays as it is.
  g_signal_connect(prompt, "destroy", G_CALLBACK(+[](GtkWidget*, Question* q) {
    Answer(q, false);
    webkit_script_dialog_unref(q->dialog);
    delete q;
  }), question);
  gtk_widget_show(prompt);
}

}  // namespace corvane
