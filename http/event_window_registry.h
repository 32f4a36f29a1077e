// The event windows of the sinks without a window system (event_window_posix.cpp and
// event_window_gtk.cpp): ids handed out once and never reused, so a notice for a destroyed
// window finds nothing, as a message to a destroyed HWND does. Entry is what a sink keeps of a
// window.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

namespace corvane::inner {

template <typename Entry>
struct EventWindowRegistry {
  std::mutex lock;
  uintptr_t nextId = 1;
  std::map<uintptr_t, Entry> windows;

  static EventWindowRegistry& Instance() {
    static auto* registry = new EventWindowRegistry;  // outlives every static destructor
    return *registry;
  }
};

}  // namespace corvane::inner
