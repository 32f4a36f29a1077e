// Containers: CContainerUI stacks its children over its inner rectangle; CVerticalLayoutUI and
// CHorizontalLayoutUI line them up, fixed sizes first, the rest shared among the stretching
// children. Each child's outer margin (padding) and the container's inset are kept free.
#pragma once

#include <memory>
#include <vector>

#include "skin/control.h"

namespace corvane {

class CContainerUI : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Container"; }

  // Takes ownership; returns the control for convenience.
  CControlUI* Add(std::unique_ptr<CControlUI> control);
  int GetCount() const { return static_cast<int>(m_items.size()); }
  CControlUI* GetItemAt(int index) const;

  const UiRect& GetInset() const { return m_inset; }
  void SetInset(const UiRect& inset);
  int GetChildPadding() const { return m_childPadding; }

  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void SetPos(const UiRect& rc) override;
  void DoPaint(IRenderTarget& render) override;
  CControlUI* FindControl(const wchar_t* name) override;
  CControlUI* FindControlAt(UiPoint p) override;
  void ForEach(const std::function<void(CControlUI&)>& visit) override;
  void Attach(CUiManager* manager, CControlUI* parent) override;

 protected:
  // The room inside the inset where flowing children go.
  UiRect InnerRect() const { return m_pos.Deflated(m_inset); }
  void PlaceFloats();
  virtual void LayoutFlow(const UiRect& inner);

  std::vector<std::unique_ptr<CControlUI>> m_items;
  UiRect m_inset;
  int m_childPadding = 0;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"VerticalLayout"; }

 protected:
  void LayoutFlow(const UiRect& inner) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"HorizontalLayout"; }

 protected:
  void LayoutFlow(const UiRect& inner) override;
};

}  // namespace corvane
