// corvane-client, the Linux edition's program: chooses the runtime and runs the start-up.
#include "client/browser/webkit/webkit_runtime_gtk.h"
#include "client/startup_gtk.h"

int main(int argc, char** argv) {
  corvane::SetCefRuntime(&corvane::CWebKitRuntime::Instance());
  return corvane::RunClient(argc, argv);
}
