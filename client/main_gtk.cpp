// corvane-client, the Linux edition's program: chooses the runtime and runs the start-up.
#include "client/browser/scripted_runtime.h"
#include "client/startup_gtk.h"

int main(int argc, char** argv) {
  // Until the WebKitGTK backend joins, the portable scripted runtime stands behind the contract:
  // the program runs, its browser area stays empty.
  static corvane::CScriptedRuntime runtime;
  corvane::SetCefRuntime(&runtime);
  return corvane::RunClient(argc, argv);
}
