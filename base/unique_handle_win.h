// Scope-owned Win32 handles: one wrapper template, one traits type per kind of handle.
// Kinds whose owner lives elsewhere (HINTERNET in http/, GDI+ objects in skin/) add their own
// traits there.
#pragma once

#include <windows.h>

#include <utility>

namespace corvane {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : m_handle(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return m_handle; }
  bool IsValid() const { return Traits::IsValid(m_handle); }
  explicit operator bool() const { return IsValid(); }

  Handle Release() {
    Handle h = m_handle;
    m_handle = Traits::Invalid();
    return h;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = Traits::Invalid();
};

// Kernel objects: files, processes, threads, events, mutexes, snapshots. CreateFileW and
// CreateToolhelp32Snapshot fail with INVALID_HANDLE_VALUE, the others with NULL.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// FindFirstFileW enumerations.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

// GDI objects: bitmaps, brushes, pens, fonts.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;

// Device contexts made with CreateDCW / CreateCompatibleDC.
struct CreatedDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using UniqueCreatedDc = UniqueHandle<CreatedDcTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<IconTraits>;

// Modules loaded with LoadLibraryExW (also as data files, to read resources).
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// One counted reference to a COM object (an interface pointer this scope must Release).
template <typename Interface>
struct ComRefTraits {
  using Handle = Interface*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { h->Release(); }
};
template <typename Interface>
using UniqueComRef = UniqueHandle<ComRefTraits<Interface>>;
// Registry keys opened with RegOpenKeyExW.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

// GlobalLock on an HGLOBAL for the lifetime of the object.
class CGlobalLock {
 public:
  explicit CGlobalLock(HGLOBAL memory) : m_memory(memory), m_data(memory ? GlobalLock(memory) : nullptr) {}
  ~CGlobalLock() {
    if (m_data != nullptr) GlobalUnlock(m_memory);
  }
  CGlobalLock(const CGlobalLock&) = delete;
  CGlobalLock& operator=(const CGlobalLock&) = delete;
  void* Data() const { return m_data; }
  SIZE_T Size() const { return m_data ? GlobalSize(m_memory) : 0; }

 private:
  HGLOBAL m_memory;
  void* m_data;
};

}  // namespace corvane
