// The daily update check: the installed client's version to the service, its answer kept in
// g_updateInfo, and WM_UPDATEAVAILABLE to the main window when an update is offered.
#pragma once

#include <string>

#include "client/update/update_reply.h"

namespace corvane {

// "Install_Dir" + "\CorvaneClient.exe" (just "\CorvaneClient.exe" without the value).
std::wstring GetInstalledClientPath();

// Asks the service when a day has passed since the last call (the time of every call is
// stored in "last_check_time"). True when a request was started.
bool CheckForUpdate();

// Reads and moves forward "last_check_time"; true when a check is due.
bool TakeUpdateCheckTurn();

}  // namespace corvane
