// Logical (96-DPI) to device pixels and back, the same for both hosts: points round down,
// rectangles grow to whole device pixels, sizes round to the nearest.
#pragma once

#include "skin/ui_types.h"

namespace corvane {

class UiScale {
 public:
  UiScale() = default;
  explicit UiScale(float factor) : m_factor(factor > 0 ? factor : 1.0f) {}

  float Factor() const { return m_factor; }
  UiPoint ToLogical(UiPoint device) const;
  UiSize ToLogical(UiSize device) const;
  UiRect ToDevice(const UiRect& logical) const;
  UiSize ToDevice(UiSize logical) const;
  int ToDevice(int logical) const;

 private:
  float m_factor = 1.0f;
};

}  // namespace corvane
