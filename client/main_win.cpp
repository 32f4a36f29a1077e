// Entry point of CorvaneClient.exe: the stand-in runtime behind the browser contract, then the
// start-up sequence.
#include <windows.h>

#include "client/browser/standin/standin_runtime_win.h"
#include "client/startup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  corvane::SetCefRuntime(&corvane::CStandInRuntime::Instance());
  return corvane::RunClient(instance);
}
