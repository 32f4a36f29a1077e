// The uninstaller's progress bar: an animation on a timer, not a measure of the removal (which
// has finished before the first tick is handled).
#pragma once

namespace corvane {

struct ProgressStep {
  bool finished = false;  // the bar was full: stop the timer and show the end page
  int value = 0;          // otherwise the bar's new value
};

// One timer tick. The bar is read before it is set, so the values shown run 0, 1, 1, 2, 2, …:
// 100 on tick 200, the end on tick 201. `counter` only ever grows.
ProgressStep AdvanceProgress(int barValue, int& counter);

}  // namespace corvane
