// The Linux client's start-up: `--version`, the runtime's sub-process roles, one instance per
// user session (a second start brings the first window forward and ends with 0), the runtime's
// settings under the XDG folders, the main window maximised with the tray icon, the GTK main
// loop until the program ends, one cef_shutdown. Exit codes as on Windows.
#pragma once

namespace corvane {

int RunClient(int argc, char** argv);

}  // namespace corvane
