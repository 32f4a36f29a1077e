// StartPackageInstall over GSubprocess; HelperPath.
#include "client/update/package_install_gtk.h"

#include <gio/gio.h>

#include <memory>

#include "base/main_loop_gtk.h"

namespace corvane {

std::string HelperPath() {
  gchar* self = g_file_read_link("/proc/self/exe", nullptr);
  if (self == nullptr) return std::string();
  gchar* folder = g_path_get_dirname(self);
  std::string path = std::string(folder) + "/corvane-update-helper";
  g_free(folder);
  g_free(self);
  return path;
}

namespace {

using Done = std::function<void(int)>;

void OnHelperEnded(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Done> done(static_cast<Done*>(data));
  GSubprocess* process = G_SUBPROCESS(source);
  int code = kHelperNotStarted;
  if (g_subprocess_wait_finish(process, result, nullptr) && g_subprocess_get_if_exited(process)) {
    code = g_subprocess_get_exit_status(process);
  }
  g_object_unref(process);
  (*done)(code);
}

}  // namespace

void StartPackageInstall(const std::string& package, std::function<void(int exitCode)> done) {
  const std::string helper = HelperPath();
  const char* argv[] = {"pkexec", helper.c_str(), package.c_str(), nullptr};
  GSubprocess* process = helper.empty() ? nullptr : g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_NONE, nullptr);
  if (process == nullptr) {
    // Reported as any other end, from the main loop: the caller's state is set up by then.
    PostToMainLoop([done = std::move(done)] { done(kHelperNotStarted); });
    return;
  }
  g_subprocess_wait_async(process, nullptr, &OnHelperEnded, new Done(std::move(done)));
}

}  // namespace corvane
