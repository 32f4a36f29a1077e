// The Linux platform's paste conversion for CorvaneCefClient.
#include "client/browser/client_platform_gtk.h"

#include "client/browser/webkit/webkit_drop_gtk.h"
#include "client/browser/webkit/webkit_key_queue_gtk.h"
#include "client/paste/convert_clipboard_gtk.h"
#include "client/paste/dropped_pictures.h"

namespace corvane {

CorvaneClientPlatform GtkClientPlatform() {
  // Pictures dropped on a field arrive as a paste of the same files would.
  SetDroppedFilesConversion(DroppedPicturesHtml);
  CorvaneClientPlatform platform;
  // A release of the key is left alone: the press alone pastes.
  platform.convertClipboardForPaste = [] {
    TakeKeyPress([](KeyFinish finish) {
      ConvertClipboardForPasteAsync([finish] {
        finish([](WebKitWebView* view) { webkit_web_view_execute_editing_command(view, WEBKIT_EDITING_COMMAND_PASTE); });
      });
    });
  };
  return platform;
}

}  // namespace corvane
