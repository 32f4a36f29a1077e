// Clickable controls: CButtonUI (normal, hot, pushed and disabled faces), COptionUI (selected
// state, one selected per group) and CCheckBoxUI (an option that toggles).
#pragma once

#include "skin/label.h"

namespace corvane {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI() { m_textStyle.horizontal = UiAlign::Center; }
  const wchar_t* GetClass() const override { return L"Button"; }
  bool IsClickable() const override { return true; }
  void Activate() override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;

  // Image names in the skin.
  void SetNormalImage(const CDuiString& image);
  void SetHotImage(const CDuiString& image);
  void SetPushedImage(const CDuiString& image);
  void SetDisabledImage(const CDuiString& image);
  const std::wstring& GetNormalImage() const { return m_normalImage; }
  const std::wstring& GetHotImage() const { return m_hotImage; }
  const std::wstring& GetPushedImage() const { return m_pushedImage; }
  const std::wstring& GetDisabledImage() const { return m_disabledImage; }
  UiColor GetHotBkColor() const { return m_hotBkColor; }
  UiColor GetPushedBkColor() const { return m_pushedBkColor; }

 protected:
  void PaintBkColor(IRenderTarget& render) override;
  void PaintStatusImage(IRenderTarget& render) override;
  UiColor TextColorForState() const override;
  // The face for the state; options put their selected faces first.
  virtual const std::wstring& ImageForState() const;
  virtual UiColor BkColorForState() const;

  std::wstring m_normalImage;
  std::wstring m_hotImage;
  std::wstring m_pushedImage;
  std::wstring m_disabledImage;
  UiColor m_hotBkColor = 0;
  UiColor m_pushedBkColor = 0;
  UiColor m_disabledBkColor = 0;
  UiColor m_hotTextColor = 0;
  UiColor m_pushedTextColor = 0;
};

class COptionUI : public CButtonUI {
 public:
  const wchar_t* GetClass() const override { return L"Option"; }
  // Selects it (unselecting the others of its group) and sends the click.
  void Activate() override;
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;

  const std::wstring& GetGroup() const { return m_group; }
  bool IsSelected() const { return m_selected; }
  // Shows the option selected or not; selecting unselects the rest of its group. Sends
  // "selectchanged" when the state changes.
  virtual void Selected(bool selected);

 protected:
  const std::wstring& ImageForState() const override;
  UiColor BkColorForState() const override;
  UiColor TextColorForState() const override;

  std::wstring m_group;
  bool m_selected = false;
  std::wstring m_selectedImage;
  std::wstring m_selectedHotImage;
  UiColor m_selectedBkColor = 0;
  UiColor m_selectedTextColor = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  const wchar_t* GetClass() const override { return L"CheckBox"; }
  void Activate() override;  // toggles, whatever group is set
  bool GetCheck() const { return IsSelected(); }
  void SetCheck(bool check) { Selected(check); }
};

}  // namespace corvane
