// The program's CorvaneCefClient: the real paste conversion behind the Ctrl+V hook.
#include "client/browser/client_platform_win.h"
#include "client/paste/convert_clipboard.h"

namespace corvane {

CorvaneCefClient::CorvaneCefClient() : CorvaneCefClient(WindowsClientPlatform([] { ConvertClipboardForPaste(); })) {}

}  // namespace corvane
