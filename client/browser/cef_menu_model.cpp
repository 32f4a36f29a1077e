// The in-memory context-menu model.
#include "client/browser/cef_menu_model.h"

#include <algorithm>

namespace corvane {

bool CMenuModel::Clear() {
  m_items.clear();
  return true;
}

bool CMenuModel::AddItem(int command_id, const CefString& label) {
  m_items.push_back({command_id, label});
  return true;
}

bool CMenuModel::AddSeparator() {
  m_items.push_back({MENU_ID_SEPARATOR, CefString()});
  return true;
}

int CMenuModel::GetCommandIdAt(size_t index) { return index < m_items.size() ? m_items[index].commandId : 0; }

CefString CMenuModel::GetLabelAt(size_t index) { return index < m_items.size() ? m_items[index].label : CefString(); }

bool CMenuModel::Remove(int command_id) {
  auto it = std::find_if(m_items.begin(), m_items.end(), [&](const Item& item) { return item.commandId == command_id; });
  if (it == m_items.end()) return false;
  m_items.erase(it);
  return true;
}

CefRefPtr<CefMenuModel> CreateDefaultContextMenu(bool editable) {
  CefRefPtr<CefMenuModel> model = new CMenuModel();
  if (editable) {
    model->AddItem(MENU_ID_UNDO, L"撤销");
    model->AddSeparator();
    model->AddItem(MENU_ID_CUT, L"剪切");
    model->AddItem(MENU_ID_COPY, L"复制");
    model->AddItem(MENU_ID_PASTE, L"粘贴");
    model->AddItem(MENU_ID_SELECT_ALL, L"全选");
  } else {
    model->AddItem(MENU_ID_BACK, L"后退");
    model->AddItem(MENU_ID_FORWARD, L"前进");
    model->AddItem(MENU_ID_RELOAD, L"重新加载");
  }
  return model;
}

}  // namespace corvane
