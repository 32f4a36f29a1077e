// The paste conversion's session over GtkClipboard (CLIPBOARD selection).
#include "client/paste/clipboard_session_gtk.h"

#include <glib/gstdio.h>
#include <unistd.h>

#include <sstream>

#include "client/paste/local_picture.h"

namespace corvane {
namespace {

constexpr char kHtmlTarget[] = "text/html";
constexpr char kFileUrlStart[] = "file:///";
enum TargetInfo : guint { kHtmlInfo = 1, kTextInfo = 2 };

// What this program offers once it owns the clipboard.
struct OwnedContents {
  std::string html;
  std::optional<std::string> text;
};

bool HasTarget(GdkAtom* targets, gint count, const char* name) {
  const GdkAtom wanted = gdk_atom_intern(name, FALSE);
  for (gint i = 0; i < count; ++i) {
    if (targets[i] == wanted) return true;
  }
  return false;
}

std::optional<std::string> ReadTarget(GtkClipboard* clipboard, const char* name) {
  GtkSelectionData* data = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(name, FALSE));
  if (!data) return std::nullopt;
  std::optional<std::string> bytes;
  const gint length = gtk_selection_data_get_length(data);
  if (length >= 0) bytes.emplace(reinterpret_cast<const char*>(gtk_selection_data_get_data(data)), length);
  gtk_selection_data_free(data);
  return bytes;
}

// Browsers offer "text/html" as UTF-8, some as UTF-16 with a byte order mark.
std::string HtmlAsUtf8(std::string bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    gsize written = 0;
    gchar* utf8 = g_convert(bytes.data() + 2, bytes.size() - 2, "UTF-8", "UTF-16LE", nullptr, &written, nullptr);
    bytes = utf8 ? std::string(utf8, written) : std::string();
    g_free(utf8);
  }
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return bytes;
}

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

std::string CopiedPicturesHtml(const std::string& uriLines) {
  std::string html;
  std::istringstream lines(uriLines);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, sizeof(kFileUrlStart) - 1, kFileUrlStart) != 0) continue;  // "copy", comments, others
    const std::string path = line.substr(sizeof(kFileUrlStart) - 1);
    if (path.find('"') != std::string::npos) continue;
    if (ProbeLocalPictureBase64Length(LocalPictureFileFromUrl(path)) == 0) continue;
    html += "<p><img src=\"" + line + "\"></p>";
  }
  return html;
}

CGtkClipboardSession::CGtkClipboardSession() : m_clipboard(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD)) {
  GdkAtom* targets = nullptr;
  gint count = 0;
  if (!gtk_clipboard_wait_for_targets(m_clipboard, &targets, &count)) return;  // empty or unreadable
  if (HasTarget(targets, count, kHtmlTarget)) {
    if (std::optional<std::string> html = ReadTarget(m_clipboard, kHtmlTarget)) m_html = HtmlAsUtf8(std::move(*html));
  }
  if (gtk_targets_include_image(targets, count, FALSE)) m_picture = gtk_clipboard_wait_for_image(m_clipboard);
  if (gtk_targets_include_text(targets, count)) {
    if (gchar* text = gtk_clipboard_wait_for_text(m_clipboard)) {
      m_text = text;
      g_free(text);
    }
  }
  if (!m_html && !m_picture) {
    for (const char* files : {"x-special/gnome-copied-files", "text/uri-list"}) {
      if (!HasTarget(targets, count, files)) continue;
      std::optional<std::string> lines = ReadTarget(m_clipboard, files);
      std::string html = lines ? CopiedPicturesHtml(*lines) : std::string();
      if (!html.empty()) m_html = std::move(html);
      break;
    }
  }
  g_free(targets);
}

CGtkClipboardSession::~CGtkClipboardSession() {
  if (m_picture) g_object_unref(m_picture);
  if (!m_picturePath.empty()) g_remove(m_picturePath.c_str());
}

bool CGtkClipboardSession::ReadHtml(std::string& text) {
  if (!m_html) return false;
  text = BuildHtmlHeader(m_html->size());
  text.append(kDocumentPrefix.data(), kDocumentPrefix.size());
  text += *m_html;
  text.append(kDocumentSuffix.data(), kDocumentSuffix.size());
  return true;
}

bool CGtkClipboardSession::WriteHtml(const HtmlEntryParts& entry) {
  if (m_html && entry.fragment == *m_html) return true;
  static const GtkTargetEntry kHtmlEntry = {const_cast<gchar*>(kHtmlTarget), 0, kHtmlInfo};
  GtkTargetList* list = gtk_target_list_new(&kHtmlEntry, 1);
  if (m_text) gtk_target_list_add_text_targets(list, kTextInfo);
  gint count = 0;
  GtkTargetEntry* table = gtk_target_table_new_from_list(list, &count);
  auto* contents = new OwnedContents{std::string(entry.fragment), m_text};
  const bool owned = gtk_clipboard_set_with_data(m_clipboard, table, count, GiveContents, DropContents, contents);
  if (owned) {
    gtk_clipboard_set_can_store(m_clipboard, nullptr, 0);
  } else {
    delete contents;
  }
  gtk_target_table_free(table, count);
  gtk_target_list_unref(list);
  return owned;
}

bool CGtkClipboardSession::SaveBitmap(std::string& bmpPath) {
  if (!m_picture) return false;
  if (m_picturePath.empty()) {
    gchar* name = nullptr;
    const gint fd = g_file_open_tmp("corvane-paste-XXXXXX.png", &name, nullptr);
    if (fd < 0) return false;
    close(fd);
    m_picturePath = name;
    g_free(name);
    if (!gdk_pixbuf_save(m_picture, m_picturePath.c_str(), "png", nullptr, nullptr)) return false;
  }
  bmpPath = m_picturePath;
  return true;
}

}  // namespace corvane
