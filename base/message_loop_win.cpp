// CMessageLoop and CAppModule.
#include "base/message_loop_win.h"

#include <algorithm>

namespace corvane {

CAppModule g_appModule;

namespace {
template <typename T>
BOOL AddOnce(std::vector<T*>& list, T* item) {
  if (item == nullptr || std::find(list.begin(), list.end(), item) != list.end()) return FALSE;
  list.push_back(item);
  return TRUE;
}
template <typename T>
BOOL RemoveOne(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return FALSE;
  list.erase(it);
  return TRUE;
}
}  // namespace

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) { return AddOnce(m_filters, filter); }
BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return RemoveOne(m_filters, filter); }
BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) { return AddOnce(m_idleHandlers, handler); }
BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return RemoveOne(m_idleHandlers, handler); }

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
  // Copy: a filter may remove itself (its window is being destroyed) while we walk.
  const std::vector<CMessageFilter*> filters = m_filters;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
    if (std::find(m_filters.begin(), m_filters.end(), *it) == m_filters.end()) continue;
    if ((*it)->PreTranslateMessage(pMsg)) return TRUE;
  }
  return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
  const std::vector<CIdleHandler*> handlers = m_idleHandlers;
  for (CIdleHandler* handler : handlers) {
    if (std::find(m_idleHandlers.begin(), m_idleHandlers.end(), handler) == m_idleHandlers.end()) continue;
    handler->OnIdle();
  }
  return FALSE;  // one pass per idle period
}

// Mouse moves and the caret's and the system's timer ticks do not start a new idle period,
// or the idle handlers would run on every mouse move.
bool CMessageLoop::IsIdleMessage(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // WM_SYSTIMER, the caret blink
      return false;
    default:
      return true;
  }
}

int CMessageLoop::Run() {
  MSG msg = {};
  bool doIdle = true;
  int idleCount = 0;
  for (;;) {
    while (doIdle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) doIdle = false;
    }
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) continue;  // an invalid window filter; nothing to dispatch
    if (!got) break;          // WM_QUIT
    if (!PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (IsIdleMessage(msg)) {
      doIdle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(msg.wParam);
}

void CAppModule::Init(HINSTANCE instance) { m_instance = instance; }

void CAppModule::Term() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_loops.clear();
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_loops.emplace(::GetCurrentThreadId(), loop).second ? TRUE : FALSE;
}

BOOL CAppModule::RemoveMessageLoop() {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_loops.erase(::GetCurrentThreadId()) ? TRUE : FALSE;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_loops.find(threadId);
  return it == m_loops.end() ? nullptr : it->second;
}

}  // namespace corvane
