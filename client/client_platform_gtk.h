// The program's platform for CorvaneCefClient on Linux: the paste conversion on the GTK clipboard
// (GtkClientPlatform), notices through the main-window channel, the error page beside the
// executable.
#pragma once

#include <string>

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// "file://" + the program's folder + "/error_page/Error.html".
std::wstring LinuxErrorPageUrl();

CorvaneClientPlatform LinuxClientPlatform();

}  // namespace corvane
