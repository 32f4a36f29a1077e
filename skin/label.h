// Text controls: CLabelUI (one line, aligned) and CTextUI (wrapping paragraphs).
#pragma once

#include "skin/control.h"

namespace corvane {

class CLabelUI : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Label"; }
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;

  UiColor GetTextColor() const { return m_textColor; }
  void SetTextColor(UiColor color);
  int GetFont() const { return m_font; }
  const UiTextStyle& GetTextStyle() const { return m_textStyle; }

 protected:
  void PaintText(IRenderTarget& render) override;
  // The colour for the current state; buttons pick hot/pushed/disabled variants.
  virtual UiColor TextColorForState() const;

  UiColor m_textColor = 0xFF000000u;
  UiColor m_disabledTextColor = 0;
  int m_font = -1;  // the window's default font
  UiRect m_textPadding;
  UiTextStyle m_textStyle;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI() {
    m_textStyle.wordWrap = true;
    m_textStyle.vertical = UiAlign::Near;
    m_textStyle.endEllipsis = false;
  }
  const wchar_t* GetClass() const override { return L"Text"; }
};

}  // namespace corvane
