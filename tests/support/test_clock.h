#pragma once
// A clock for tests: the time of day is what the test sets, moved on by `step` at each look.
#include "base/ports.h"

namespace quillaro::testing {

struct TestClock final : Clock {
  double seconds = 1000;
  double step = 0;
  double secondsSinceMidnight() override { return seconds += step; }
};

}  // namespace quillaro::testing
