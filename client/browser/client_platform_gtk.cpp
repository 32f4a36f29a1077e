// The Linux platform's paste conversion for CorvaneCefClient.
#include "client/browser/client_platform_gtk.h"

#include "client/paste/convert_clipboard.h"

namespace corvane {

CorvaneClientPlatform GtkClientPlatform() {
  CorvaneClientPlatform platform;
  platform.convertClipboardForPaste = [] { ConvertClipboardForPaste(); };
  return platform;
}

}  // namespace corvane
