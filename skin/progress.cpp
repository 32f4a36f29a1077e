// Progress bar value bounds and the filled part.
#include "skin/progress.h"

#include <algorithm>

#include "skin/ui_manager.h"

namespace corvane {

bool CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"min") {
    m_min = ParseInt(value).value_or(0);
  } else if (name == L"max") {
    m_max = ParseInt(value).value_or(100);
  } else if (name == L"value") {
    m_value = ParseInt(value).value_or(0);
  } else if (name == L"forecolor") {
    m_foreColor = ParseColor(value).value_or(0);
  } else if (name == L"foreimage") {
    m_foreImage = value;
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  if (m_max < m_min) m_max = m_min;
  m_value = std::clamp(m_value, m_min, m_max);
  return true;
}

void CProgressUI::SetValue(int value) {
  value = std::clamp(value, m_min, m_max);
  if (value == m_value) return;
  m_value = value;
  Invalidate();
  if (m_manager) m_manager->AccessibleChanged(this, UiAccChange::Value);
}

void CProgressUI::PaintStatusImage(IRenderTarget& render) {
  if (m_max <= m_min || m_value <= m_min) return;
  UiRect fill = m_pos;
  fill.right = m_pos.left + static_cast<int>(static_cast<long long>(m_pos.Width()) * (m_value - m_min) / (m_max - m_min));
  if (fill.IsEmpty()) return;
  if (!m_foreImage.empty() && PaintImage(render, m_foreImage, fill)) return;
  if (m_foreColor != 0) render.FillRect(fill, m_foreColor, std::min(m_borderRound, fill.Width() / 2));
}

}  // namespace corvane
