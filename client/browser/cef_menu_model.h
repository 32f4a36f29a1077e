// A context-menu model held in memory: what every backend fills with its default items and
// hands to the context-menu handler.
#pragma once

#include <vector>

#include "client/browser/cef_browser.h"

namespace corvane {

class CMenuModel final : public CefMenuModel {
 public:
  bool Clear() override;
  size_t GetCount() override { return m_items.size(); }
  bool AddItem(int command_id, const CefString& label) override;
  bool AddSeparator() override;
  int GetCommandIdAt(size_t index) override;
  CefString GetLabelAt(size_t index) override;
  bool Remove(int command_id) override;

 private:
  struct Item {
    int commandId;
    CefString label;
  };
  std::vector<Item> m_items;
  IMPLEMENT_REFCOUNTING(CMenuModel);
};

// The page menu the runtime offers before a handler changes it.
CefRefPtr<CefMenuModel> CreateDefaultContextMenu(bool editable);

}  // namespace corvane
