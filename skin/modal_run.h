// The rules of a modal run, the same on both hosts: the window is shown, its owner disabled for
// the run and usable again before the window goes (or the system activates another program's
// window); the run returns the value given to Close, or kCancel when the window ended otherwise;
// a quit request met during the run ends it and is handed on to the outer loop.
#pragma once

namespace corvane {

// What a host does for a modal run.
class IModalHost {
 public:
  virtual void ShowWindow() = 0;
  virtual void SetOwnerEnabled(bool enabled) = 0;  // nothing when the window has no owner
  virtual void FocusOwner() = 0;
  virtual bool IsWindowAlive() const = 0;
  // Waits for and handles one event; false when a quit request was met (its code in `quitCode`).
  virtual bool DispatchOne(int& quitCode) = 0;
  // Requests the quit again, for the loop outside the run.
  virtual void RepostQuit(int quitCode) = 0;

 protected:
  ~IModalHost() = default;
};

class CModalRun {
 public:
  static constexpr unsigned kCancel = 2;  // IDCANCEL

  unsigned Run(IModalHost& host);
  bool IsRunning() const { return m_host != nullptr; }
  // Close(value) reached the window.
  void CloseRequested(unsigned value) { m_result = value; }
  // The window is about to be destroyed.
  void WindowClosing();

 private:
  IModalHost* m_host = nullptr;
  unsigned m_result = kCancel;
};

}  // namespace corvane
