// The key queue: one work at a time per view, so two quick Ctrl+V paste twice, in order, even
// while the first is still converting.
#include "client/browser/webkit/webkit_key_queue_gtk.h"

#include <utility>

namespace corvane {

struct CWebKitKeyQueue::State {
  struct Waiting {
    KeyWork work;
    uint64_t page, focus;  // the generations when the key was pressed
  };
  WebKitWebView* view;  // null once the queue is gone
  std::deque<Waiting> waiting;
  bool running = false;
  uint64_t page = 0, focus = 0;
};

CWebKitKeyQueue::CWebKitKeyQueue(WebKitWebView* view) : m_state(std::make_shared<State>()) { m_state->view = view; }

CWebKitKeyQueue::~CWebKitKeyQueue() {
  m_state->view = nullptr;
  m_state->waiting.clear();
}

void CWebKitKeyQueue::Push(KeyWork work) {
  m_state->waiting.push_back({std::move(work), m_state->page, m_state->focus});
  if (!m_state->running) StartNext(m_state);
}

void CWebKitKeyQueue::PageChanged() { ++m_state->page; }
void CWebKitKeyQueue::FocusChanged() { ++m_state->focus; }

void CWebKitKeyQueue::StartNext(const std::shared_ptr<State>& state) {
  if (state->waiting.empty() || !state->view) {
    state->running = false;
    return;
  }
  State::Waiting next = std::move(state->waiting.front());
  state->waiting.pop_front();
  state->running = true;
  auto finished = std::make_shared<bool>(false);
  next.work([state, finished, page = next.page, focus = next.focus](ViewAction action) {
    if (*finished) return;  // a second call would start a work out of turn
    *finished = true;
    if (action && state->view && state->page == page && state->focus == focus) action(state->view);
    StartNext(state);
  });
}

namespace {
CWebKitKeyQueue* g_pressQueue = nullptr;  // the view's queue while its key press is handed out
bool g_pressTaken = false;
}  // namespace

bool TakeKeyPress(KeyWork work) {
  if (!g_pressQueue) return false;
  g_pressTaken = true;
  g_pressQueue->Push(std::move(work));
  return true;
}

bool HandOutKeyPress(CWebKitKeyQueue& queue, const std::function<bool()>& handOut) {
  CWebKitKeyQueue* const outer = g_pressQueue;
  const bool outerTaken = g_pressTaken;
  g_pressQueue = &queue;
  g_pressTaken = false;
  const bool consumed = handOut();
  const bool taken = g_pressTaken;
  g_pressQueue = outer;
  g_pressTaken = outerTaken;
  return consumed || taken;
}

}  // namespace corvane
