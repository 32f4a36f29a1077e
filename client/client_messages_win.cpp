// The main window's handle, the target of every posted client message.
#include "client/client_messages_win.h"

namespace corvane {

HWND g_hMainWnd = nullptr;

}  // namespace corvane
