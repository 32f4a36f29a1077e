// CProgressUI: a bar showing a value within 0–100 (or the layout's min/max).
#pragma once

#include "skin/label.h"

namespace corvane {

class CProgressUI : public CLabelUI {
 public:
  const wchar_t* GetClass() const override { return L"Progress"; }
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;

  int GetMinValue() const { return m_min; }
  int GetMaxValue() const { return m_max; }
  int GetValue() const { return m_value; }
  // Clamped into [min, max].
  void SetValue(int value);

 protected:
  void PaintStatusImage(IRenderTarget& render) override;

  int m_min = 0;
  int m_max = 100;
  int m_value = 0;
  UiColor m_foreColor = 0;
  std::wstring m_foreImage;
};

}  // namespace corvane
