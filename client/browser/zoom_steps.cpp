// The zoom steps.
#include "client/browser/zoom_steps.h"

#include <algorithm>
#include <iterator>

namespace corvane {
namespace {

constexpr int kSteps[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};

}  // namespace

int ZoomInStep(int percent) {
  const int* next = std::upper_bound(std::begin(kSteps), std::end(kSteps), percent);
  return next == std::end(kSteps) ? kSteps[std::size(kSteps) - 1] : *next;
}

int ZoomOutStep(int percent) {
  const int* at = std::lower_bound(std::begin(kSteps), std::end(kSteps), percent);
  return at == std::begin(kSteps) ? kSteps[0] : *(at - 1);
}

std::optional<int> ParseZoomLevel(const std::string& text) {
  // Digits only, at most three: no sign, no space, no "1e2", no overflow.
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < kSteps[0] || value > kSteps[std::size(kSteps) - 1]) return std::nullopt;
  return value;
}

}  // namespace corvane
