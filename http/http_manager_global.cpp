// The program's one HTTP manager. Linked into a program only when it uses g_httpManager; it is
// then built during static initialisation on the main thread and shut down at process exit.
#include "http/http_manager.h"

namespace corvane {

CHttpManager g_httpManager;

}  // namespace corvane
