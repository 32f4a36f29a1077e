// Rounding rules of the logical-to-device conversions.
#include "skin/ui_scale.h"

#include <cmath>

namespace corvane {

UiPoint UiScale::ToLogical(UiPoint p) const {
  return UiPoint{static_cast<int>(std::floor(p.x / m_factor)), static_cast<int>(std::floor(p.y / m_factor))};
}

UiSize UiScale::ToLogical(UiSize s) const {
  return UiSize{static_cast<int>(std::lround(s.cx / m_factor)), static_cast<int>(std::lround(s.cy / m_factor))};
}

UiRect UiScale::ToDevice(const UiRect& rc) const {
  return UiRect{static_cast<int>(std::floor(rc.left * m_factor)), static_cast<int>(std::floor(rc.top * m_factor)),
                static_cast<int>(std::ceil(rc.right * m_factor)), static_cast<int>(std::ceil(rc.bottom * m_factor))};
}

UiSize UiScale::ToDevice(UiSize s) const { return UiSize{ToDevice(s.cx), ToDevice(s.cy)}; }

int UiScale::ToDevice(int logical) const { return static_cast<int>(std::lround(logical * m_factor)); }

}  // namespace corvane
