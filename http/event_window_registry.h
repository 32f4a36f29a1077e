// The event windows of the sinks without a window system (event_window_posix.cpp and
// event_window_gtk.cpp): ids handed out once and never reused, so a notice for a destroyed
// window finds nothing, as a message to a destroyed HWND does. Entry is what a sink keeps of a
// window.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

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

  // A new window's id.
  uintptr_t Add(Entry entry) {
    std::lock_guard<std::mutex> hold(lock);
    const uintptr_t id = nextId++;
    windows[id] = std::move(entry);
    return id;
  }

  // Runs `use` on the window's entry under the lock; false when the window is gone.
  template <typename Use>
  bool With(uintptr_t id, Use&& use) {
    std::lock_guard<std::mutex> hold(lock);
    auto it = windows.find(id);
    if (it == windows.end()) return false;
    use(it->second);
    return true;
  }

  // Takes the window out: what it kept, or nothing when it was already gone.
  std::optional<Entry> Take(uintptr_t id) {
    std::lock_guard<std::mutex> hold(lock);
    auto it = windows.find(id);
    if (it == windows.end()) return std::nullopt;
    std::optional<Entry> entry(std::move(it->second));
    windows.erase(it);
    return entry;
  }
};

}  // namespace corvane::inner
