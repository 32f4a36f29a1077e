// The daily update check of the Linux edition: the program's own version to the service under
// the product name "DrovessaClientLinux", the answer kept in g_updateInfo, UpdateAvailable to the
// main window when an update is offered. The time of the last check lives in
// $XDG_STATE_HOME/corvane/last_check_time (where the registry value is on Windows).
#pragma once

#include <string>

#include "client/update/update_reply.h"

namespace corvane {

// The program's own version, as corvane-client --version prints it.
const char* OwnVersion();

// $XDG_STATE_HOME/corvane/last_check_time (~/.local/state by default).
std::string LastCheckFilePath();

// Reads and moves forward the time of the last check (stored whole, as decimal seconds, low 32
// bits); true when a check is due. A missing or unreadable file counts as never checked.
bool TakeUpdateCheckTurn();

// Asks the service when a day has passed since the last call. True when a request was started.
// Only the instance that holds the single-instance lock calls it.
bool CheckForUpdate();

}  // namespace corvane
