#include <gtest/gtest.h>

#include "base/ports.h"

namespace quillaro {

TEST(Ports, SilentPromptsTakeTheDefaultButton) {
  SilentPrompts p;
  EXPECT_EQ(p.ask("x", Buttons::YesNoCancel, Icon::Question, Answer::Cancel), Answer::Cancel);
}

}  // namespace quillaro
