// The progress animation's sequence: 0, 1, 1, 2, 2, …, 100 on tick 200, the end on tick 201.
#include "uninstall/progress_animation.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

TEST(ProgressAnimation, OneUnitEverySecondTickThenTheEnd) {
  int bar = 0;
  int counter = 0;
  std::vector<int> shown;
  int endTick = 0;
  for (int tick = 1; tick <= 300 && endTick == 0; ++tick) {
    const ProgressStep step = AdvanceProgress(bar, counter);
    if (step.finished) {
      endTick = tick;
    } else {
      bar = step.value;
      shown.push_back(bar);
    }
  }
  ASSERT_GE(shown.size(), 5u);
  EXPECT_EQ((std::vector<int>(shown.begin(), shown.begin() + 5)), (std::vector<int>{0, 1, 1, 2, 2}));
  EXPECT_EQ(shown[199], 100) << "100 on tick 200";
  EXPECT_EQ(shown[198], 99);
  EXPECT_EQ(endTick, 201);
}

TEST(ProgressAnimation, CounterNeverFallsBack) {
  int counter = 50;
  const ProgressStep step = AdvanceProgress(10, counter);
  EXPECT_FALSE(step.finished);
  EXPECT_EQ(step.value, 50);
  EXPECT_EQ(counter, 50);
  EXPECT_TRUE(AdvanceProgress(150, counter).finished);
}

}  // namespace
}  // namespace corvane
