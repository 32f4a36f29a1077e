// The client's start-up: process roles, the single-instance mutex, the runtime's settings, the
// main window's message loop and the runtime's one shut-down.
#pragma once

#include <windows.h>

#include "client/browser/cef_command_line.h"
#include "client/browser/cef_types.h"

namespace corvane {

// The program's private copy of its command line (browser process only); empty until loaded.
CefRefPtr<CefCommandLine>& CommandLineCopy();

// Creates the copy and fills it from GetCommandLineW.
void LoadCommandLine();

// The copy exists and its "type" switch has no value.
bool IsBrowserProcess();

// multi_threaded_message_loop, cache_path, persist_session_cookies and
// windowless_rendering_enabled from the copy; nothing without a copy.
void FillRuntimeSettings(cef_settings_t& settings);

// The main window and its message loop; the quit code, or 0 when the window cannot be made.
int RunMainWindow();

// The whole start-up sequence; the process's exit code.
int RunClient(HINSTANCE instance);

}  // namespace corvane
