// AdvanceProgress.
#include "uninstall/progress_animation.h"

#include <algorithm>

namespace corvane {

ProgressStep AdvanceProgress(int barValue, int& counter) {
  ProgressStep step;
  if (barValue >= 100) {
    step.finished = true;
    return step;
  }
  step.value = counter;
  counter = std::max(counter, barValue + 1);
  return step;
}

}  // namespace corvane
