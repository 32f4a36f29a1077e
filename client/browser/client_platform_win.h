// The program's platform for CorvaneCefClient on Windows: notices posted to g_hMainWnd (the page
// letting go of an exit included), the error page beside the executable, and the given paste
// conversion.
#pragma once

#include <functional>
#include <string>

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// GetModuleFileNameW + PathRemoveFileSpecW, then the error page's address in that folder.
std::wstring BuildErrorPageUrl();

CorvaneClientPlatform WindowsClientPlatform(std::function<void()> convertClipboardForPaste);

}  // namespace corvane
