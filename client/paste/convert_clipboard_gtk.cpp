// The paste conversion on the GTK clipboard: read on the main loop, convert in a GTask's
// thread (decoding a 4K picture takes long enough to freeze the window), own the clipboard
// back on the main thread.
#include "client/paste/convert_clipboard_gtk.h"

#include <gio/gio.h>

#include "base/main_loop_gtk.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/clipboard_owner_gtk.h"
#include "client/paste/clipboard_reader_gtk.h"
#include "client/paste/convert_clipboard.h"
#include "client/paste/local_picture.h"
#include "client/paste/picture_png_gtk.h"

namespace corvane {
namespace {

struct Conversion {
  ClipboardContents contents;
  std::optional<std::string> rewritten;
  std::function<void()> done;
};

void Convert(GTask* task, gpointer, gpointer data, GCancellable*) {
  auto* conversion = static_cast<Conversion*>(data);
  ClipboardContents& contents = conversion->contents;
  if (!contents.picture.empty() && !IsWebPictureType(contents.pictureType)) {
    contents.picture = EncodeAsPng(contents.picture);
    contents.pictureType = "image/png";
    if (contents.picture.size() > kMaxInlinedPictureBytes) contents.picture.clear();
  }
  CContentsClipboardSession session(contents);
  RunPasteConversion(session);
  conversion->rewritten = session.Rewritten();
  g_task_return_boolean(task, TRUE);
}

void Converted(GObject*, GAsyncResult* result, gpointer) {
  auto* conversion = static_cast<Conversion*>(g_task_get_task_data(G_TASK(result)));
  if (conversion->rewritten) OwnClipboardWithHtml(std::move(*conversion->rewritten), conversion->contents.text);
  conversion->done();
}

}  // namespace

void ConvertClipboardForPasteAsync(std::function<void()> done) {
  ReadClipboardAsync([done = std::move(done)](ClipboardContents contents) mutable {
    auto* conversion = new Conversion{std::move(contents), std::nullopt, std::move(done)};
    GTask* task = g_task_new(nullptr, nullptr, Converted, nullptr);
    g_task_set_task_data(task, conversion, [](gpointer data) { delete static_cast<Conversion*>(data); });
    g_task_run_in_thread(task, Convert);
    g_object_unref(task);
  });
}

// Only for a program without windows (paste_replay): there a nested loop re-enters nothing.
void ConvertClipboardForPaste() {
  bool finished = false;
  ConvertClipboardForPasteAsync([&finished] { finished = true; });
  RunMainLoopUntil([&finished] { return finished; });
}

}  // namespace corvane
