// Control tree ownership, layout, input state machine, focus order and notifications.
#include "skin/ui_manager.h"

#include <algorithm>

#include "skin/button.h"

namespace corvane {

bool CUiManager::LoadLayout(std::shared_ptr<const IResourceSource> source, const std::wstring& layout,
                            IDialogBuilderCallback* callback) {
  m_resources = std::move(source);
  m_diagnostics.clear();
  m_window = UiWindowAttributes{};
  AttachRoot(nullptr);
  if (!m_resources) {
    m_diagnostics.push_back(L"skin not found or not readable");
    return false;
  }
  auto xml = m_resources->Read(layout);
  if (!xml) {
    m_diagnostics.push_back(L"layout \"" + layout + L"\" missing or unreadable");
    return false;
  }
  UiBuildResult built = CDialogBuilder::Build(*xml, m_resources.get(), callback);
  m_window = std::move(built.window);
  m_diagnostics = std::move(built.diagnostics);
  if (!built.root) return false;
  AttachRoot(std::move(built.root));
  return true;
}

void CUiManager::AttachRoot(std::unique_ptr<CControlUI> root) {
  m_hot = m_pushed = m_focus = nullptr;
  m_focusMark = false;
  m_root = std::move(root);
  if (m_root) m_root->Attach(this, nullptr);
  NeedUpdate();
  AccessibleChanged(nullptr, UiAccChange::Children);
}

const UiFont* CUiManager::GetFont(int id) const {
  if (id < 0) id = m_window.defaultFont;
  for (const UiFont& f : m_window.fonts) {
    if (f.id == id) return &f;
  }
  return m_window.fonts.empty() ? nullptr : &m_window.fonts.front();
}

CControlUI* CUiManager::FindControl(const wchar_t* name) const {
  return m_root ? m_root->FindControl(name) : nullptr;
}

void CUiManager::SetClientSize(UiSize size) {
  if (size.cx == m_clientSize.cx && size.cy == m_clientSize.cy) return;
  m_clientSize = size;
  NeedUpdate();
  LayoutIfNeeded();  // positions are valid right away, for code that places things by them
}

void CUiManager::NeedUpdate() {
  m_needUpdate = true;
  Invalidate(UiRect{0, 0, m_clientSize.cx, m_clientSize.cy});
}

void CUiManager::LayoutIfNeeded() {
  if (!m_needUpdate) return;
  m_needUpdate = false;
  if (m_root) m_root->SetPos(UiRect{0, 0, m_clientSize.cx, m_clientSize.cy});
}

void CUiManager::Paint(IRenderTarget& render) {
  LayoutIfNeeded();
  const UiRect client{0, 0, m_clientSize.cx, m_clientSize.cy};
  render.FillRect(client, m_window.bkColor, 0);
  if (!m_root) return;
  if (m_root->IsVisible()) m_root->DoPaint(render);
  if (m_focus && m_focusMark && m_focus->IsShownInTree()) {
    render.DrawFocusMark(m_focus->GetPos(), m_focus->GetBorderRound());
  }
}

CControlUI* CUiManager::FindControlAt(UiPoint p) {
  LayoutIfNeeded();
  return m_root ? m_root->FindControlAt(p) : nullptr;
}

CControlUI* CUiManager::ClickableAt(UiPoint p) {
  for (CControlUI* c = FindControlAt(p); c != nullptr; c = c->GetParent()) {
    if (c->IsClickable()) return c->IsEnabledInTree() ? c : nullptr;
  }
  return nullptr;
}

bool CUiManager::IsCaptionAt(UiPoint p) {
  const UiRect& band = m_window.caption;
  if (band.bottom <= 0) return false;
  const UiRect area{band.left, band.top, m_clientSize.cx - band.right, band.bottom};
  if (!area.Contains(p)) return false;
  for (CControlUI* c = FindControlAt(p); c != nullptr; c = c->GetParent()) {
    if (c->IsClickable()) return false;
  }
  return true;
}

void CUiManager::SetHot(CControlUI* control) {
  if (control == m_hot) return;
  if (m_hot) m_hot->SetState(CControlUI::kHot, false);
  m_hot = control;
  if (m_hot) m_hot->SetState(CControlUI::kHot, true);
}

void CUiManager::MouseMove(UiPoint p) {
  m_lastMouse = p;
  CControlUI* under = ClickableAt(p);
  if (m_pushed) {
    // While pressed only the pressed control can be hot, and only when the pointer is over it.
    m_pushed->SetState(CControlUI::kPushed, under == m_pushed);
    SetHot(under == m_pushed ? m_pushed : nullptr);
    return;
  }
  SetHot(under);
}

void CUiManager::MouseLeave() {
  if (m_pushed) return;  // captured: the release decides
  SetHot(nullptr);
}

bool CUiManager::ButtonDown(UiPoint p) {
  m_lastMouse = p;
  CControlUI* target = ClickableAt(p);
  if (m_pushed) m_pushed->SetState(CControlUI::kPushed, false);
  m_pushed = target;
  if (!target) return false;
  target->SetState(CControlUI::kPushed, true);
  SetHot(target);
  if (target->IsFocusable()) SetFocus(target, false);
  return true;
}

void CUiManager::ButtonUp(UiPoint p) {
  m_lastMouse = p;
  CControlUI* pressed = m_pushed;
  m_pushed = nullptr;
  if (!pressed) return;
  pressed->SetState(CControlUI::kPushed, false);
  const bool over = ClickableAt(p) == pressed;
  SetHot(over ? pressed : nullptr);
  if (over) pressed->Activate();  // last: may end the window
}

std::vector<CControlUI*> CUiManager::GetFocusOrder() const {
  std::vector<CControlUI*> order;
  if (!m_root) return order;
  m_root->ForEach([&order](CControlUI& c) {
    if (c.IsFocusable() && c.IsShownInTree() && c.IsEnabledInTree()) order.push_back(&c);
  });
  return order;
}

void CUiManager::SetFocus(CControlUI* control, bool showMark) {
  if (control && !(control->IsFocusable() && control->IsShownInTree() && control->IsEnabledInTree())) return;
  const bool markChanged = m_focusMark != showMark;
  m_focusMark = showMark && control != nullptr;
  if (control == m_focus) {
    if (markChanged && m_focus) m_focus->Invalidate();
    return;
  }
  CControlUI* old = m_focus;
  m_focus = control;
  if (old) {
    old->SetState(CControlUI::kFocused, false);
    AccessibleChanged(old, UiAccChange::State);
    SendNotify(old, kNotifyKillFocus);
  }
  if (m_focus) m_focus->SetState(CControlUI::kFocused, true);
  AccessibleChanged(m_focus, UiAccChange::Focus);
  if (m_focus) SendNotify(m_focus, kNotifySetFocus);
}

bool CUiManager::KeyDown(UiKey key) {
  if (key == UiKey::Tab || key == UiKey::ShiftTab) {
    const auto order = GetFocusOrder();
    if (order.empty()) return false;
    const bool forward = key == UiKey::Tab;
    auto at = std::find(order.begin(), order.end(), m_focus);
    size_t next = 0;
    if (at == order.end()) {
      next = forward ? 0 : order.size() - 1;
    } else {
      const size_t i = static_cast<size_t>(at - order.begin());
      next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
    }
    SetFocus(order[next], true);
    return true;
  }
  if ((key == UiKey::Space || key == UiKey::Enter) && m_focus) return Activate(*m_focus);
  return false;
}

bool CUiManager::Activate(CControlUI& control) {
  if (!control.IsClickable() || !control.IsEnabledInTree() || !control.IsShownInTree()) return false;
  control.Activate();  // last: may end the window
  return true;
}

void CUiManager::WindowLostFocus() {
  if (m_pushed) m_pushed->SetState(CControlUI::kPushed, false);
  m_pushed = nullptr;
  SetHot(nullptr);
}

void CUiManager::ClearStateOf(CControlUI* root) {
  auto inside = [root](CControlUI* c) {
    for (; c != nullptr; c = c->GetParent()) {
      if (c == root) return true;
    }
    return false;
  };
  if (m_hot && inside(m_hot)) SetHot(nullptr);
  if (m_pushed && inside(m_pushed)) {
    m_pushed->SetState(CControlUI::kPushed, false);
    m_pushed = nullptr;
  }
  if (m_focus && inside(m_focus)) SetFocus(nullptr, false);
}

void CUiManager::ControlHidden(CControlUI& control) {
  if (!control.IsShownInTree() || !control.IsEnabledInTree()) ClearStateOf(&control);
}

void CUiManager::UnselectGroupExcept(COptionUI& selected) {
  if (!m_root) return;
  std::vector<COptionUI*> others;
  m_root->ForEach([&](CControlUI& c) {
    auto* option = dynamic_cast<COptionUI*>(&c);
    if (option && option != &selected && option->IsSelected() && option->GetGroup() == selected.GetGroup()) {
      others.push_back(option);
    }
  });
  for (COptionUI* o : others) o->Selected(false);
}

void CUiManager::AddNotifier(INotifyUI* notifier) {
  if (notifier && std::find(m_notifiers.begin(), m_notifiers.end(), notifier) == m_notifiers.end()) {
    m_notifiers.push_back(notifier);
  }
}

void CUiManager::RemoveNotifier(INotifyUI* notifier) {
  m_notifiers.erase(std::remove(m_notifiers.begin(), m_notifiers.end(), notifier), m_notifiers.end());
}

void CUiManager::SendNotify(CControlUI* sender, const wchar_t* type, uintptr_t wParam, intptr_t lParam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.dwTimestamp = ++m_sequence;
  msg.ptMouse = m_lastMouse;
  msg.wParam = wParam;
  msg.lParam = lParam;
  // A copy: a receiver may add or remove receivers, or end the window.
  const std::vector<INotifyUI*> receivers = m_notifiers;
  for (INotifyUI* r : receivers) r->Notify(msg);
}

void CUiManager::AccessibleChanged(CControlUI* control, UiAccChange change) {
  if (m_accessible) m_accessible(control, change);
}

void CUiManager::Invalidate(const UiRect& rc) {
  if (m_invalidate && !rc.IsEmpty()) m_invalidate(rc);
}

}  // namespace corvane
