// The offer is answered from memory: the contents live until another owner takes over.
#include "client/paste/clipboard_owner_gtk.h"

#include <gtk/gtk.h>

namespace corvane {
namespace {

constexpr char kHtmlTarget[] = "text/html";
enum TargetInfo : guint { kHtmlInfo = 1, kTextInfo = 2 };

struct OwnedContents {
  std::string html;
  std::optional<std::string> text;
};

void GiveContents(GtkClipboard*, GtkSelectionData* selection, guint info, gpointer data) {
  const auto* contents = static_cast<const OwnedContents*>(data);
  if (info == kHtmlInfo) {
    gtk_selection_data_set(selection, gdk_atom_intern(kHtmlTarget, FALSE), 8,
                           reinterpret_cast<const guchar*>(contents->html.data()), static_cast<gint>(contents->html.size()));
  } else if (contents->text) {
    gtk_selection_data_set_text(selection, contents->text->data(), static_cast<gint>(contents->text->size()));
  }
}

void DropContents(GtkClipboard*, gpointer data) { delete static_cast<OwnedContents*>(data); }

}  // namespace

bool OwnClipboardWithHtml(std::string html, std::optional<std::string> text) {
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  static const GtkTargetEntry kHtmlEntry = {const_cast<gchar*>(kHtmlTarget), 0, kHtmlInfo};
  GtkTargetList* list = gtk_target_list_new(&kHtmlEntry, 1);
  if (text) gtk_target_list_add_text_targets(list, kTextInfo);
  gint count = 0;
  GtkTargetEntry* table = gtk_target_table_new_from_list(list, &count);
  auto* contents = new OwnedContents{std::move(html), std::move(text)};
  const bool owned = gtk_clipboard_set_with_data(clipboard, table, count, GiveContents, DropContents, contents);
  if (owned) {
    gtk_clipboard_set_can_store(clipboard, nullptr, 0);
  } else {
    delete contents;
  }
  gtk_target_table_free(table, count);
  gtk_target_list_unref(list);
  return owned;
}

}  // namespace corvane
