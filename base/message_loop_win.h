// Per-thread message loops with message filters and idle handlers, and the module's registry
// of those loops: the small part of WTL the client's start-up and main window rely on.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

namespace corvane {

// Sees each message before it is translated and dispatched; true means "consumed".
class CMessageFilter {
 public:
  virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

 protected:
  ~CMessageFilter() = default;
};

// Runs when the thread's queue has run dry; returning FALSE ends this idle period.
class CIdleHandler {
 public:
  virtual BOOL OnIdle() = 0;

 protected:
  ~CIdleHandler() = default;
};

class CMessageLoop {
 public:
  BOOL AddMessageFilter(CMessageFilter* filter);
  BOOL RemoveMessageFilter(CMessageFilter* filter);
  BOOL AddIdleHandler(CIdleHandler* handler);
  BOOL RemoveIdleHandler(CIdleHandler* handler);

  // Runs until WM_QUIT and returns its wParam.
  int Run();

  // Filters are asked newest first, as nested windows expect.
  BOOL PreTranslateMessage(MSG* pMsg);
  BOOL OnIdle(int idleCount);

 private:
  static bool IsIdleMessage(const MSG& msg);

  std::vector<CMessageFilter*> m_filters;
  std::vector<CIdleHandler*> m_idleHandlers;
};

// The process's module: its instance handle and one message loop per thread.
class CAppModule {
 public:
  void Init(HINSTANCE instance);
  void Term();
  HINSTANCE GetInstance() const { return m_instance; }

  BOOL AddMessageLoop(CMessageLoop* loop);     // for the calling thread
  BOOL RemoveMessageLoop();                    // the calling thread's
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

 private:
  HINSTANCE m_instance = nullptr;
  mutable std::mutex m_lock;
  std::map<DWORD, CMessageLoop*> m_loops;
};

extern CAppModule g_appModule;

}  // namespace corvane
