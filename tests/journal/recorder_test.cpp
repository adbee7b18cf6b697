#include "journal/recorder.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_codec.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

using testing::ScriptedPrompts;

TEST(RecorderAppend, LinesGoToTheEndWithLineBreaks) {
  Workspace ws;
  EXPECT_TRUE(appendLine(ws, "Open, SRC=\"a.bmp\""));
  EXPECT_TRUE(appendLine(ws, "Copy, 0, 0, 202, 289, 4, 4, 100, 0"));
  EXPECT_EQ(ws.params.tz(0), "Open, SRC=\"a.bmp\"\r\nCopy, 0, 0, 202, 289, 4, 4, 100, 0\r\n");
  EXPECT_EQ(ws.recorder.lengthBeforeLastAppend, 19u);
  EXPECT_EQ(ws.params.tzCursor(0), utf8Length(ws.params.tz(0)));
  EXPECT_TRUE(ws.params.tzModified(0));
  // A multi-line text block follows an empty line.
  appendLine(ws, "X, 10, 10, 50, 20, <TEXT>first\r\nsecond</TEXT>");
  EXPECT_EQ(ws.params.tz(0), "Open, SRC=\"a.bmp\"\r\nCopy, 0, 0, 202, 289, 4, 4, 100, 0\r\n\r\n"
                             "X, 10, 10, 50, 20, <TEXT>first\r\nsecond</TEXT>\r\n");
}

TEST(RecorderAppend, UserEditsAreTakenAndGetALineBreak) {
  Workspace ws;
  appendLine(ws, "Right");
  ws.params.setTz(0, "New");  // typed by the user
  EXPECT_TRUE(appendLine(ws, "Over"));
  EXPECT_EQ(ws.params.tz(0), "New\r\nOver\r\n");
  EXPECT_EQ(ws.program.text, ws.params.tz(0));
  EXPECT_FALSE(ws.program.changed);
}

TEST(RecorderConditions, EmptyLinesSwitchRunsAndTheCommandReader) {
  Workspace ws;
  EXPECT_FALSE(appendLine(ws, ""));
  EXPECT_FALSE(appendLine(ws, "  \r\n \r\n"));
  EXPECT_FALSE(appendLineForced(ws, " "));
  ws.recorder.recordingAllowed = false;  // during runs
  EXPECT_FALSE(appendLine(ws, "New"));
  EXPECT_FALSE(appendLineForced(ws, "T, 0, 0, 1, 1, 1, 1, 1, 1"));
  ws.recorder.recordingAllowed = true;
  ws.readingMode = true;
  EXPECT_FALSE(appendLine(ws, "New"));
  EXPECT_FALSE(appendLineForced(ws, "X, 0, 0, 1, 1,"));
  EXPECT_EQ(ws.params.tz(0), "");
  EXPECT_FALSE(ws.params.tzModified(0));
  // With the switch off only forced lines are recorded, and the switch stays off.
  ws.readingMode = false;
  ws.params.setChb(30, false);
  EXPECT_FALSE(appendLine(ws, "Copy, 0, 0, 202, 289, 4, 4, 100, 0"));
  EXPECT_TRUE(appendLineForced(ws, "T, 0, 0, 100, 50, 5, 4, 4, 4"));
  EXPECT_EQ(ws.params.tz(0), "T, 0, 0, 100, 50, 5, 4, 4, 4\r\n");
  EXPECT_FALSE(ws.params.chb(30));
}

// In insertion mode a line goes right after the last picture line (Open, New, Reload after
// a line break, whatever their case), else at the start.
TEST(RecorderInsertion, EraseGoesRightAfterTheLastPictureLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"Open, SRC=\"a.bmp\"\r\nCopy, 1\r\n", "Open, SRC=\"a.bmp\"\r\nErase\r\nCopy, 1\r\n"},
      {"Copy, 0\r\nopen, SRC=\"a\"\r\nCopy, 1\r\nreload, R\r\nDBC, 1\r\n",
       "Copy, 0\r\nopen, SRC=\"a\"\r\nCopy, 1\r\nreload, R\r\nErase\r\nDBC, 1\r\n"},
      {"New, L\r\nT, 1\r\n", "New, L\r\nErase\r\nT, 1\r\n"},
      {"Copy, 1\r\nCopy, 2\r\n", "Erase\r\nCopy, 1\r\nCopy, 2\r\n"},
      {"Reload, R\r\nCopy, 1\r\n", "Erase\r\nReload, R\r\nCopy, 1\r\n"},
      {"", "Erase\r\n"},
      {"Copy, 1\r\nOpen, SRC=\"a\"", "Copy, 1\r\nOpen, SRC=\"a\"\r\nErase\r\n"}};
  for (const auto& [before, after] : cases) {
    Workspace ws;
    ws.params.setTz(0, before);
    ws.recorder.insertionMode = true;
    const auto length = ws.recorder.lengthBeforeLastAppend;
    EXPECT_TRUE(appendLine(ws, "Erase"));
    EXPECT_EQ(ws.params.tz(0), after);
    EXPECT_EQ(ws.recorder.lengthBeforeLastAppend, length);
  }
}

TEST(RecorderLimit, ThirtyThousandCharactersLineBreaksCounted) {
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  const std::string base = std::string(29990, 'a') + "\r\n";
  ws.params.setTz(0, base);
  EXPECT_FALSE(appendLine(ws, "Over123"));  // 29992 + 7 + CR LF = 30001
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "В текст нельзя ввести больше 30000 знаков");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::Ok);
  EXPECT_EQ(ws.params.tz(0), base);
  EXPECT_EQ(ws.program.text, base);  // the refused line is not kept anywhere
  EXPECT_TRUE(appendLine(ws, "Over12"));
  EXPECT_EQ(utf8Length(ws.params.tz(0)), 30000u);
  EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(RecorderLimit, CharactersNotBytes) {
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  std::string base;
  for (int i = 0; i < 14000; ++i) base += "я";  // 28000 bytes
  ws.params.setTz(0, base + "\r\n");
  EXPECT_TRUE(appendLine(ws, "Текст"));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(ws.params.tzCursor(0), 14002u + 7u);
}

}  // namespace
}  // namespace quillaro
