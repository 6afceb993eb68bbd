#include "install/progress_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "install/target_file.h"

namespace scrsetup {
namespace {

using Work = ProgressPacer::Work;

TEST(ProgressPacer, ANewValueOrTheIntervalMakesWork) {
  struct Step {
    int percent;
    uint64_t now;
    Work expected;
  };
  constexpr uint64_t kNearWrap = UINT64_MAX - 5;
  struct Case {
    const char* name;
    uint64_t start;
    std::vector<Step> steps;
  } cases[] = {
      {"same value within the interval", 1000, {{0, 1000, Work::kNone}, {0, 1014, Work::kNone}}},
      {"same value once the interval is up", 1000,
       {{0, 1015, Work::kMessages}, {0, 1029, Work::kNone}, {0, 1030, Work::kMessages}}},
      {"each new value at once", 1000,
       {{1, 1000, Work::kBarAndMessages}, {2, 1001, Work::kBarAndMessages}, {2, 1002, Work::kNone}}},
      {"a new value restarts the interval", 1000,
       {{0, 1010, Work::kNone}, {1, 1012, Work::kBarAndMessages}, {1, 1020, Work::kNone},
        {1, 1027, Work::kMessages}}},
      {"the tick count wraps around", kNearWrap,
       {{0, kNearWrap + 9, Work::kNone}, {0, kNearWrap + 15, Work::kMessages}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgressPacer pacer(c.start);
    for (const Step& step : c.steps) {
      EXPECT_EQ(pacer.After(step.percent, step.now), step.expected) << step.now;
    }
  }
}

// A copy of 300 chunks, 3 or so a visible value: never window work per
// chunk unless the disk is slow enough for the interval to be up each time.
TEST(ProgressPacer, WindowWorkFollowsTheVisibleValueAndTheClock) {
  struct Case {
    uint64_t milliseconds_per_chunk;
    int passes_from, passes_to;
  } cases[] = {
      {0, 100, 100},   // a fast disk: one pass per visible value
      {5, 100, 160},   // every third chunk or so has the interval up
      {20, 300, 300},  // a slow disk: the interval is up at every chunk
  };
  constexpr int kChunks = 300;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.milliseconds_per_chunk);
    uint64_t now = 0;
    ProgressPacer pacer(now);
    int passes = 0;
    std::vector<int> bar;
    for (int chunk = 1; chunk <= kChunks; ++chunk) {
      now += c.milliseconds_per_chunk;
      const int percent = ProgressPercent(chunk, kChunks);
      const Work work = pacer.After(percent, now);
      if (work == Work::kBarAndMessages) bar.push_back(percent);
      if (work != Work::kNone) ++passes;
    }
    EXPECT_GE(passes, c.passes_from);
    EXPECT_LE(passes, c.passes_to);
    ASSERT_EQ(bar.size(), 100u);  // each visible value once, in order
    for (int value = 1; value <= 100; ++value) EXPECT_EQ(bar[value - 1], value);
  }
}

}  // namespace
}  // namespace scrsetup
