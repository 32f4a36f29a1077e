// The program's platform for CorvaneCefClient on Linux: notices through the main-window channel,
// the error page beside the executable; the paste conversion on the GTK clipboard is not there
// yet (the key goes to the page unchanged).
#pragma once

#include <string>

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// "file://" + the program's folder + "/error_page/Error.html".
std::wstring LinuxErrorPageUrl();

CorvaneClientPlatform LinuxClientPlatform();

}  // namespace corvane
