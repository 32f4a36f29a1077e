// Keys the WebKit backend takes away from WebKit to answer them later: a keyboard handler asks
// for it while the key is being handed out (TakeKeyPress), the key never reaches the page, and
// the work it gives runs when the work of every key taken before it on the same view has
// finished. A finished work gives what to do to the view; that is dropped when the page (a load,
// a new address) or the focus (in the page, or the view's own) changed since the key.
#pragma once

#include <webkit2/webkit2.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace corvane {

using ViewAction = std::function<void(WebKitWebView*)>;
// Called once, on the UI thread, when the work is done; an empty action does nothing.
using KeyFinish = std::function<void(ViewAction)>;
using KeyWork = std::function<void(KeyFinish)>;

class CWebKitKeyQueue {
 public:
  explicit CWebKitKeyQueue(WebKitWebView* view);
  ~CWebKitKeyQueue();  // work still running finishes into nothing
  CWebKitKeyQueue(const CWebKitKeyQueue&) = delete;
  CWebKitKeyQueue& operator=(const CWebKitKeyQueue&) = delete;

  // UI thread.
  void Push(KeyWork work);
  void PageChanged();
  void FocusChanged();

 private:
  struct State;
  static void StartNext(const std::shared_ptr<State>& state);
  std::shared_ptr<State> m_state;
};

// From inside a keyboard handler's OnPreKeyEvent: the key press being handed out is taken (see
// above) and `work` queued for it. False, and nothing queued, for a key release or outside a
// key the WebKit backend hands out.
bool TakeKeyPress(KeyWork work);

// The backend's side: runs `handOut` (the handler's pre-key call for a key press) so that
// TakeKeyPress inside it reaches `queue`; true when the handler consumed the key or took it.
bool HandOutKeyPress(CWebKitKeyQueue& queue, const std::function<bool()>& handOut);

}  // namespace corvane
