// Scope ownership of the engine's portable handle kinds (transport handles, worker-thread
// handles): one template, one traits type per kind, like base/unique_handle_win.h on Windows.
#pragma once

namespace corvane {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle Get() const { return m_handle; }
  void Reset(Handle handle = nullptr) {
    if (m_handle != nullptr) Traits::Close(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = nullptr;
};

}  // namespace corvane
