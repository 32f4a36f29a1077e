// Installing a verified update on Linux, only ever from the install button: the root helper that
// the package ships beside the program (corvane-update-helper, its absolute path taken from
// /proc/self/exe) started as `pkexec <helper> <package>` with an argument vector, no shell. pkexec
// is found through PATH, which gives no more rights than the user has. The client keeps running
// and learns the exit code on the main loop.
#pragma once

#include <functional>
#include <string>

namespace corvane {

// The folder of the running program, resolved (/proc/self/exe), and the helper in it.
std::string HelperPath();

// The exit code pkexec gives when it could not start something (its own 127), also used here
// when pkexec itself could not be started.
constexpr int kHelperNotStarted = 127;

// Starts the helper on `package` and returns at once; `done` receives the exit code on the main
// context once it has ended (kHelperNotStarted when it could not be started, or was killed).
void StartPackageInstall(const std::string& package, std::function<void(int exitCode)> done);

}  // namespace corvane
