// The runtime's reference counting: the counted base every interface derives from virtually,
// the interlocked count a class embeds once, and the counted reference CefRefPtr.
#pragma once

#include <atomic>
#include <utility>

// Every runtime interface derives virtually from this base, so an object implementing several
// interfaces carries exactly one count.
class CefBaseRefCounted {
 public:
  virtual void AddRef() const = 0;
  // True when this was the last reference and the object deleted itself.
  virtual bool Release() const = 0;
  virtual bool HasOneRef() const = 0;

 protected:
  virtual ~CefBaseRefCounted() = default;
};

// The count itself: starts at 0, changed only atomically, because the runtime takes and drops
// references on its own threads.
class CefRefCount {
 public:
  void AddRef() const { m_count.fetch_add(1, std::memory_order_relaxed); }
  // True when the count reached 0.
  bool Release() const { return m_count.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  bool HasOneRef() const { return m_count.load(std::memory_order_acquire) == 1; }
  int Count() const { return m_count.load(std::memory_order_acquire); }

 private:
  mutable std::atomic<int> m_count{0};
};

// Implements the three operations of CefBaseRefCounted in a final class, with self-deletion
// when the last reference goes.
#define IMPLEMENT_REFCOUNTING(ClassName)                                 \
 public:                                                                 \
  void AddRef() const override { m_refCount.AddRef(); }                  \
  bool Release() const override {                                        \
    if (m_refCount.Release()) {                                          \
      delete static_cast<const ClassName*>(this);                        \
      return true;                                                       \
    }                                                                    \
    return false;                                                        \
  }                                                                      \
  bool HasOneRef() const override { return m_refCount.HasOneRef(); }     \
  int RefCountForTesting() const { return m_refCount.Count(); }          \
                                                                         \
 private:                                                                \
  CefRefCount m_refCount

// A counted reference: holds one reference while it points at an object.
template <class T>
class CefRefPtr {
 public:
  CefRefPtr() = default;
  CefRefPtr(std::nullptr_t) {}
  CefRefPtr(T* p) : m_ptr(p) {
    if (m_ptr) m_ptr->AddRef();
  }
  CefRefPtr(const CefRefPtr& other) : CefRefPtr(other.m_ptr) {}
  template <class U>
  CefRefPtr(const CefRefPtr<U>& other) : CefRefPtr(other.get()) {}
  CefRefPtr(CefRefPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  ~CefRefPtr() {
    if (m_ptr) m_ptr->Release();
  }
  CefRefPtr& operator=(CefRefPtr other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    return *this;
  }

  T* get() const { return m_ptr; }
  T* operator->() const { return m_ptr; }
  T& operator*() const { return *m_ptr; }
  explicit operator bool() const { return m_ptr != nullptr; }
  bool operator==(const CefRefPtr& other) const { return m_ptr == other.m_ptr; }
  bool operator!=(const CefRefPtr& other) const { return m_ptr != other.m_ptr; }
  bool operator==(std::nullptr_t) const { return m_ptr == nullptr; }
  bool operator!=(std::nullptr_t) const { return m_ptr != nullptr; }

 private:
  T* m_ptr = nullptr;
};
