#include "actions/recorder.h"

#include <gtest/gtest.h>

#include <string>

#include "app/text_codec.h"
#include "app/workspace.h"
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
}

TEST(RecorderAppend, TextWithoutFinalLineBreakGetsOne) {
  Workspace ws;
  ws.params.setTz(0, "New");
  EXPECT_TRUE(appendLine(ws, "Over"));
  EXPECT_EQ(ws.params.tz(0), "New\r\nOver\r\n");
}

TEST(RecorderAppend, UserEditsAreTakenBeforeAppending) {
  Workspace ws;
  appendLine(ws, "Right");
  ws.params.setTz(0, "Left\r\n");  // typed by the user
  appendLine(ws, "Over");
  EXPECT_EQ(ws.params.tz(0), "Left\r\nOver\r\n");
  EXPECT_EQ(ws.program.text, ws.params.tz(0));
  EXPECT_FALSE(ws.program.changed);
}

TEST(RecorderAppend, MultiLineTextBlockFollowsAnEmptyLine) {
  Workspace ws;
  appendLine(ws, "Open, SRC=\"a.bmp\"");
  appendLine(ws, "X, 10, 10, 50, 20, <TEXT>first\r\nsecond</TEXT>");
  EXPECT_EQ(ws.params.tz(0),
            "Open, SRC=\"a.bmp\"\r\n\r\nX, 10, 10, 50, 20, <TEXT>first\r\nsecond</TEXT>\r\n");
}

TEST(RecorderConditions, EmptyLinesAreNeverRecorded) {
  Workspace ws;
  EXPECT_FALSE(appendLine(ws, ""));
  EXPECT_FALSE(appendLine(ws, "  \r\n \r\n"));
  EXPECT_FALSE(appendLineForced(ws, " "));
  EXPECT_EQ(ws.params.tz(0), "");
}

TEST(RecorderConditions, SwitchOffRecordsOnlyForcedLines) {
  Workspace ws;
  ws.params.setChb(30, false);
  EXPECT_FALSE(appendLine(ws, "Copy, 0, 0, 202, 289, 4, 4, 100, 0"));
  EXPECT_EQ(ws.params.tz(0), "");
  EXPECT_TRUE(appendLineForced(ws, "T, 0, 0, 100, 50, 5, 4, 4, 4"));
  EXPECT_EQ(ws.params.tz(0), "T, 0, 0, 100, 50, 5, 4, 4, 4\r\n");
  EXPECT_FALSE(ws.params.chb(30));  // the switch keeps its value
}

TEST(RecorderConditions, NotDuringRunsOrTheCommandReader) {
  Workspace ws;
  ws.recorder.recordingAllowed = false;
  EXPECT_FALSE(appendLine(ws, "New"));
  EXPECT_FALSE(appendLineForced(ws, "T, 0, 0, 1, 1, 1, 1, 1, 1"));
  ws.recorder.recordingAllowed = true;
  ws.readingMode = true;
  EXPECT_FALSE(appendLine(ws, "New"));
  EXPECT_FALSE(appendLineForced(ws, "X, 0, 0, 1, 1,"));
  EXPECT_EQ(ws.params.tz(0), "");
  EXPECT_FALSE(ws.params.tzModified(0));
}

TEST(RecorderInsertion, EraseGoesRightAfterTheOpenLine) {
  Workspace ws;
  appendLine(ws, "Open, SRC=\"a.bmp\"");
  appendLine(ws, "Copy, 1");
  appendLine(ws, "Copy, 2");
  ws.recorder.insertionMode = true;
  const auto before = ws.recorder.lengthBeforeLastAppend;
  EXPECT_TRUE(appendLine(ws, "Erase, 1, 2, 3, 4"));
  EXPECT_EQ(ws.params.tz(0), "Open, SRC=\"a.bmp\"\r\nErase, 1, 2, 3, 4\r\nCopy, 1\r\nCopy, 2\r\n");
  EXPECT_EQ(ws.recorder.lengthBeforeLastAppend, before);
}

TEST(RecorderInsertion, LastPictureLineWinsWhateverItsCase) {
  Workspace ws;
  ws.params.setTz(0, "Copy, 0\r\nopen, SRC=\"a\"\r\nCopy, 1\r\nreload, R\r\nDBC, 1\r\n");
  ws.recorder.insertionMode = true;
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "Copy, 0\r\nopen, SRC=\"a\"\r\nCopy, 1\r\nreload, R\r\nErase\r\nDBC, 1\r\n");
}

TEST(RecorderInsertion, FirstLineOrStartOfText) {
  Workspace ws;
  ws.recorder.insertionMode = true;
  ws.params.setTz(0, "New, L\r\nT, 1\r\n");
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "New, L\r\nErase\r\nT, 1\r\n");
  ws.params.setTz(0, "Copy, 1\r\nCopy, 2\r\n");  // no picture line at all
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "Erase\r\nCopy, 1\r\nCopy, 2\r\n");
  ws.params.setTz(0, "Reload, R\r\nCopy, 1\r\n");  // RELOAD counts only after a line break
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "Erase\r\nReload, R\r\nCopy, 1\r\n");
  ws.params.setTz(0, "");
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "Erase\r\n");
}

TEST(RecorderInsertion, PictureLineWithoutLineBreakAtTheEnd) {
  Workspace ws;
  ws.recorder.insertionMode = true;
  ws.params.setTz(0, "Copy, 1\r\nOpen, SRC=\"a\"");
  appendLine(ws, "Erase");
  EXPECT_EQ(ws.params.tz(0), "Copy, 1\r\nOpen, SRC=\"a\"\r\nErase\r\n");
}

TEST(RecorderLimit, ThirtyThousandCharactersLineBreaksCounted) {
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  const std::string base = std::string(29990, 'a') + "\r\n";  // 29992 characters
  ws.params.setTz(0, base);
  // 7 characters and CR LF would make 30001.
  EXPECT_FALSE(appendLine(ws, "Over123"));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "В текст нельзя ввести больше 30000 знаков");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::Ok);
  EXPECT_EQ(ws.params.tz(0), base);
  EXPECT_EQ(ws.program.text, base);  // the refused line is not kept anywhere
  EXPECT_TRUE(appendLine(ws, "Over12"));  // exactly 30000
  EXPECT_EQ(utf8Length(ws.params.tz(0)), 30000u);
  EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(RecorderLimit, CharactersNotBytes) {
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  std::string base;
  for (int i = 0; i < 14000; ++i) base += "я";  // 28000 bytes, 14000 characters
  base += "\r\n";
  ws.params.setTz(0, base);
  EXPECT_TRUE(appendLine(ws, "Текст"));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(ws.params.tzCursor(0), 14002u + 7u);
}

}  // namespace
}  // namespace quillaro
