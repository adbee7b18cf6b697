#include "base/tables.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_codec.h"

namespace quillaro {
namespace {

// Each Windows-1251 byte as the text a UTF-8 page shows when read as Windows-1251 again;
// the no-break space and the soft hyphen are entities, 0x98 stays U+0098.
TEST(TablesUtf8Sequences, EveryItemFollowsTheRule) {
  const auto& u = tables().utf8Sequences;
  EXPECT_EQ(u[160 - 128], "&nbsp;");
  EXPECT_EQ(u[173 - 128], "&shy;");
  EXPECT_EQ(u[200 - 128], "Р\xC2\x98");  // И is D0 98: the unassigned byte as U+0098
  for (int code = 128; code < 256; ++code) {
    if (code == 160 || code == 173) continue;
    std::string utf8 = cp1251ToUtf8(std::string(1, static_cast<char>(code)));
    EXPECT_EQ(u[code - 128], cp1251ToUtf8(utf8)) << "code " << code;
  }
}

}  // namespace
}  // namespace quillaro
