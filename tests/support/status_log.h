#pragma once
// A progress port for tests that keeps every status text.
#include <string>
#include <string_view>
#include <vector>

#include "base/ports.h"

namespace quillaro::testing {

struct StatusLog : Progress {
  std::vector<std::string> texts;
  void percent(int) override {}
  void status(std::string_view t) override { texts.emplace_back(t); }
  bool pump() override { return false; }
};

}  // namespace quillaro::testing
