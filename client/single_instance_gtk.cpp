// The single-instance rule on Linux: GtkApplication on the session bus, else a lock file (flock)
// with a Unix socket beside it for the request to come forward.
#include "client/single_instance_gtk.h"

#include <fcntl.h>
#include <gio/gunixsocketaddress.h>
#include <sys/file.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr char kApplicationId[] = "com.drovessa.CorvaneClient";

std::string RuntimeDir() {
  const char* dir = g_getenv("XDG_RUNTIME_DIR");
  return dir && *dir ? dir : g_get_user_runtime_dir();
}

}  // namespace

CSingleInstance::~CSingleInstance() {
  if (m_service) {
    g_socket_service_stop(m_service);
    g_object_unref(m_service);
    unlink(m_socketPath.c_str());
  }
  if (m_lockFd >= 0) close(m_lockFd);  // the lock goes with it
  if (m_app) g_object_unref(m_app);
}

bool CSingleInstance::Acquire(std::function<void()> onRaise) {
  m_onRaise = std::move(onRaise);
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) return AcquireLockFile();
  g_object_unref(bus);
  m_onBus = true;
  return AcquireOnBus();
}

bool CSingleInstance::AcquireOnBus() {
  m_app = gtk_application_new(kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
  g_signal_connect(m_app, "activate", G_CALLBACK(&CSingleInstance::OnActivate), this);
  GApplication* app = G_APPLICATION(m_app);
  if (!g_application_register(app, nullptr, nullptr)) {
    g_clear_object(&m_app);
    return AcquireLockFile();
  }
  if (!g_application_get_is_remote(app)) return true;
  // The first instance runs: ask it to come forward, and make sure the request has left.
  g_application_activate(app);
  if (GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
    g_dbus_connection_flush_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
  return false;
}

void CSingleInstance::OnActivate(GApplication*, gpointer self) {
  auto* instance = static_cast<CSingleInstance*>(self);
  if (instance->m_onRaise) instance->m_onRaise();
}

bool CSingleInstance::AcquireLockFile() {
  const std::string dir = RuntimeDir();
  const std::string lockPath = dir + "/corvane-client.lock";
  m_socketPath = dir + "/corvane-client.socket";
  m_lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A lock file that cannot be made is no sign of another instance: start.
  if (m_lockFd < 0) return true;
  if (flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
    close(m_lockFd);
    m_lockFd = -1;
    GSocketClient* client = g_socket_client_new();
    GSocketAddress* address = g_unix_socket_address_new(m_socketPath.c_str());
    if (GSocketConnection* connection =
            g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr)) {
      g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(connection)), "R", 1, nullptr, nullptr,
                                nullptr);
      g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
      g_object_unref(connection);
    }
    g_object_unref(address);
    g_object_unref(client);
    return false;
  }
  // The lock holder owns the socket: one left by an instance that died is replaced.
  unlink(m_socketPath.c_str());
  m_service = g_socket_service_new();
  GSocketAddress* address = g_unix_socket_address_new(m_socketPath.c_str());
  g_socket_listener_add_address(G_SOCKET_LISTENER(m_service), address, G_SOCKET_TYPE_STREAM,
                                G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, nullptr);
  g_object_unref(address);
  g_signal_connect(m_service, "incoming", G_CALLBACK(&CSingleInstance::OnIncoming), this);
  g_socket_service_start(m_service);
  return true;
}

gboolean CSingleInstance::OnIncoming(GSocketService*, GSocketConnection*, GObject*, gpointer self) {
  auto* instance = static_cast<CSingleInstance*>(self);
  if (instance->m_onRaise) instance->m_onRaise();
  return TRUE;
}

}  // namespace corvane
