// Container layout, painting, lookup and hit testing over the child list.
#include "skin/container.h"

#include <algorithm>
#include <cstdint>

#include "skin/ui_manager.h"

namespace corvane {

CControlUI* CContainerUI::Add(std::unique_ptr<CControlUI> control) {
  if (!control) return nullptr;
  control->Attach(m_manager, this);
  m_items.push_back(std::move(control));
  NeedParentUpdate();
  if (m_manager) m_manager->AccessibleChanged(this, UiAccChange::Children);
  return m_items.back().get();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

void CContainerUI::SetInset(const UiRect& inset) {
  m_inset = inset;
  NeedParentUpdate();
}

bool CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"inset") {
    m_inset = ParseRect(value).value_or(UiRect{});
  } else if (name == L"childpadding") {
    m_childPadding = ParseInt(value).value_or(0);
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CContainerUI::SetPos(const UiRect& rc) {
  CControlUI::SetPos(rc);
  LayoutFlow(InnerRect());
  PlaceFloats();
}

void CContainerUI::PlaceFloats() {
  for (auto& item : m_items) {
    if (!item->IsVisible() || !item->IsFloat()) continue;
    const UiRect& f = item->GetFloatPos();
    UiRect rc{m_pos.left + f.left, m_pos.top + f.top, m_pos.left + f.right, m_pos.top + f.bottom};
    if (item->GetFixedWidth() > 0) rc.right = rc.left + item->GetFixedWidth();
    if (item->GetFixedHeight() > 0) rc.bottom = rc.top + item->GetFixedHeight();
    item->SetPos(rc);
  }
}

// A plain container stacks each flowing child over the inner room (fixed sizes from its top
// left corner).
void CContainerUI::LayoutFlow(const UiRect& inner) {
  for (auto& item : m_items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    UiRect rc = inner.Deflated(item->GetPadding());
    if (item->GetFixedWidth() > 0) rc.right = rc.left + item->GetFixedWidth();
    if (item->GetFixedHeight() > 0) rc.bottom = rc.top + item->GetFixedHeight();
    item->SetPos(rc);
  }
}

namespace {

// Splits `room` along one axis: fixed children take their size plus margins, the stretching
// ones share the rest evenly (the last takes the remainder pixels).
template <typename Extent, typename Margins>
std::vector<int> ShareAxis(const std::vector<std::unique_ptr<CControlUI>>& items, int room, int gap,
                           Extent fixedExtent, Margins margins) {
  std::vector<int> sizes(items.size(), 0);
  int64_t used = 0;  // every child's margins and size: more than an int holds for many children
  int stretching = 0;
  int flowing = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const CControlUI& c = *items[i];
    if (!c.IsVisible() || c.IsFloat()) continue;
    ++flowing;
    used += margins(c);
    if (fixedExtent(c) > 0) {
      sizes[i] = fixedExtent(c);
      used += sizes[i];
    } else {
      ++stretching;
    }
  }
  if (flowing > 1) used += static_cast<int64_t>(gap) * (flowing - 1);
  int left = static_cast<int>(std::max<int64_t>(0, room - used));
  for (size_t i = 0; i < items.size(); ++i) {
    const CControlUI& c = *items[i];
    if (!c.IsVisible() || c.IsFloat() || fixedExtent(c) > 0) continue;
    const int share = stretching > 1 ? left / stretching : left;
    sizes[i] = share;
    left -= share;
    --stretching;
  }
  return sizes;
}

}  // namespace

void CVerticalLayoutUI::LayoutFlow(const UiRect& inner) {
  const auto heights = ShareAxis(
      m_items, inner.Height(), m_childPadding, [](const CControlUI& c) { return c.GetFixedHeight(); },
      [](const CControlUI& c) { return c.GetPadding().top + c.GetPadding().bottom; });
  int y = inner.top;
  for (size_t i = 0; i < m_items.size(); ++i) {
    CControlUI& c = *m_items[i];
    if (!c.IsVisible() || c.IsFloat()) continue;
    const UiRect& m = c.GetPadding();
    UiRect rc{inner.left + m.left, y + m.top, inner.right - m.right, y + m.top + heights[i]};
    if (c.GetFixedWidth() > 0) rc.right = rc.left + c.GetFixedWidth();
    c.SetPos(rc);
    y = c.GetPos().bottom + m.bottom + m_childPadding;  // from the kept rectangle: y stays bounded
  }
}

void CHorizontalLayoutUI::LayoutFlow(const UiRect& inner) {
  const auto widths = ShareAxis(
      m_items, inner.Width(), m_childPadding, [](const CControlUI& c) { return c.GetFixedWidth(); },
      [](const CControlUI& c) { return c.GetPadding().left + c.GetPadding().right; });
  int x = inner.left;
  for (size_t i = 0; i < m_items.size(); ++i) {
    CControlUI& c = *m_items[i];
    if (!c.IsVisible() || c.IsFloat()) continue;
    const UiRect& m = c.GetPadding();
    UiRect rc{x + m.left, inner.top + m.top, x + m.left + widths[i], inner.bottom - m.bottom};
    if (c.GetFixedHeight() > 0) rc.bottom = rc.top + c.GetFixedHeight();
    c.SetPos(rc);
    x = c.GetPos().right + m.right + m_childPadding;
  }
}

void CContainerUI::DoPaint(IRenderTarget& render) {
  CControlUI::DoPaint(render);
  for (auto& item : m_items) {
    if (item->IsVisible()) item->DoPaint(render);
  }
}

CControlUI* CContainerUI::FindControl(const wchar_t* name) {
  if (CControlUI* self = CControlUI::FindControl(name)) return self;
  for (auto& item : m_items) {
    if (CControlUI* found = item->FindControl(name)) return found;
  }
  return nullptr;
}

CControlUI* CContainerUI::FindControlAt(UiPoint p) {
  if (!m_visible || !m_pos.Contains(p)) return nullptr;
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    if (CControlUI* hit = (*it)->FindControlAt(p)) return hit;
  }
  return this;
}

void CContainerUI::ForEach(const std::function<void(CControlUI&)>& visit) {
  visit(*this);
  for (auto& item : m_items) item->ForEach(visit);
}

void CContainerUI::Attach(CUiManager* manager, CControlUI* parent) {
  CControlUI::Attach(manager, parent);
  for (auto& item : m_items) item->Attach(manager, this);
}

}  // namespace corvane
