// The machine-wide policies as this machine sets them: on Windows the values under
// HKLM\Software\Policies\Drovessa\CorvaneClient (machine_policy_win.cpp), on Linux the file
// /etc/corvane/policy.ini (machine_policy_posix.cpp). Every problem found is reported in one
// line (Windows: OutputDebugStringW; Linux: stderr) and the value left out; the client keeps no
// log.
#pragma once

#include "client/policy/machine_policy.h"

namespace corvane {

// Read once, at the first call, and the same for the rest of the run (so problems are reported
// once). Called on the UI thread.
const MachinePolicy& GetMachinePolicy();

// Reads them now, reporting problems as above (tests; GetMachinePolicy's first call).
MachinePolicy ReadMachinePolicy();

}  // namespace corvane
