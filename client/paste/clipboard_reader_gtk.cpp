// The clipboard read as a chain of requests: each answer's callback asks for the next target,
// so the main loop keeps running between them and no handler of the window is re-entered.
#include "client/paste/clipboard_reader_gtk.h"

#include <gtk/gtk.h>

#include <string>
#include <utility>
#include <vector>

#include "client/paste/copied_pictures.h"
#include "client/paste/html_utf8.h"
#include "client/paste/local_picture.h"

namespace corvane {
namespace {

constexpr const char* kWebPictureTypes[] = {"image/png", "image/jpeg", "image/gif", "image/webp"};
constexpr const char* kCopiedFileTypes[] = {"x-special/gnome-copied-files", "text/uri-list"};

struct Reading {
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  std::vector<std::string> targets;
  ClipboardContents contents;
  std::function<void(ClipboardContents)> done;
};

bool Offers(const Reading& reading, const std::string& name) {
  for (const std::string& target : reading.targets) {
    if (target == name) return true;
  }
  return false;
}

// The first picture target GDK has a loader for, other than the ones a page shows itself.
std::string DecodablePictureType(const Reading& reading) {
  GSList* formats = gdk_pixbuf_get_formats();
  std::string found;
  for (const std::string& target : reading.targets) {
    if (target.compare(0, 6, "image/") != 0 || IsWebPictureType(target)) continue;
    for (GSList* f = formats; f && found.empty(); f = f->next) {
      gchar** types = gdk_pixbuf_format_get_mime_types(static_cast<GdkPixbufFormat*>(f->data));
      for (gchar** type = types; type && *type && found.empty(); ++type) {
        if (target == *type) found = target;
      }
      g_strfreev(types);
    }
    if (!found.empty()) break;
  }
  g_slist_free(formats);
  return found;
}

using Step = void (*)(Reading*);
void ReadPicture(Reading* reading);
void ReadText(Reading* reading);
void ReadFiles(Reading* reading);
void Finish(Reading* reading);

// Asks for `target`; `take` gets its bytes (nothing when it could not be read), then `next` runs.
template <typename Take>
void Request(Reading* reading, const std::string& target, Take take, Step next) {
  struct Pending {
    Reading* reading;
    Take take;
    Step next;
  };
  gtk_clipboard_request_contents(
      reading->clipboard, gdk_atom_intern(target.c_str(), FALSE),
      [](GtkClipboard*, GtkSelectionData* data, gpointer user) {
        auto* pending = static_cast<Pending*>(user);
        const gint length = data ? gtk_selection_data_get_length(data) : -1;
        if (length >= 0) {
          pending->take(*pending->reading,
                        std::string(reinterpret_cast<const char*>(gtk_selection_data_get_data(data)), length));
        }
        Reading* reading = pending->reading;
        Step next = pending->next;
        delete pending;
        next(reading);
      },
      new Pending{reading, std::move(take), next});
}

void ReadHtml(Reading* reading) {
  if (!Offers(*reading, "text/html")) return ReadPicture(reading);
  Request(reading, "text/html", [](Reading& r, std::string bytes) { r.contents.html = HtmlAsUtf8(std::move(bytes)); },
          ReadPicture);
}

void ReadPicture(Reading* reading) {
  for (const char* type : kWebPictureTypes) {
    if (!Offers(*reading, type)) continue;
    // Not a picture of its own format, or too large: no picture at all, as with a local file.
    Request(reading, type,
            [type](Reading& r, std::string bytes) {
              if (!IsInlinablePicture(bytes, type)) return;
              r.contents.picture = std::move(bytes);
              r.contents.pictureType = type;
            },
            ReadText);
    return;
  }
  const std::string other = DecodablePictureType(*reading);
  if (other.empty()) return ReadText(reading);
  Request(reading, other,
          [other](Reading& r, std::string bytes) {
            r.contents.picture = std::move(bytes);
            r.contents.pictureType = other;
          },
          ReadText);
}

void ReadText(Reading* reading) {
  std::vector<GdkAtom> atoms;
  for (const std::string& target : reading->targets) atoms.push_back(gdk_atom_intern(target.c_str(), FALSE));
  if (!gtk_targets_include_text(atoms.data(), static_cast<gint>(atoms.size()))) return ReadFiles(reading);
  gtk_clipboard_request_text(
      reading->clipboard,
      [](GtkClipboard*, const gchar* text, gpointer user) {
        auto* r = static_cast<Reading*>(user);
        if (text) r->contents.text = text;
        ReadFiles(r);
      },
      reading);
}

void ReadFiles(Reading* reading) {
  if (reading->contents.html || !reading->contents.picture.empty()) return Finish(reading);
  for (const char* files : kCopiedFileTypes) {
    if (!Offers(*reading, files)) continue;
    Request(reading, files,
            [](Reading& r, std::string lines) {
              std::string html = CopiedPicturesHtml(lines);
              if (!html.empty()) r.contents.html = std::move(html);
            },
            Finish);
    return;
  }
  Finish(reading);
}

void Finish(Reading* reading) {
  reading->done(std::move(reading->contents));
  delete reading;
}

}  // namespace

bool IsWebPictureType(const std::string& mediaType) {
  for (const char* type : kWebPictureTypes) {
    if (mediaType == type) return true;
  }
  return false;
}

void ReadClipboardAsync(std::function<void(ClipboardContents)> done) {
  auto* reading = new Reading;
  reading->done = std::move(done);
  gtk_clipboard_request_targets(
      reading->clipboard,
      [](GtkClipboard*, GdkAtom* atoms, gint count, gpointer user) {
        auto* r = static_cast<Reading*>(user);
        for (gint i = 0; i < count; ++i) {
          gchar* name = gdk_atom_name(atoms[i]);
          r->targets.emplace_back(name);
          g_free(name);
        }
        ReadHtml(r);  // an empty or unreadable clipboard reads as nothing at all
      },
      reading);
}

}  // namespace corvane
