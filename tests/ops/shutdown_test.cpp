#include "ops/shutdown.h"

#include <gtest/gtest.h>

#include "support/recording_view.h"
#include "base/files.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using testing::ScriptedPrompts;

struct ShutdownFixture : ::testing::Test {
  ScriptedPrompts prompts;
  Workspace ws{&prompts};
  testing::TempDir dir;
  testing::RecordingView view;
  void SetUp() override {
    ws.view = &view;
    ws.shared.settingsPath = dir.at("Quillaro.ini");
    ws.params.setChb(47, false);
  }
};

TEST_F(ShutdownFixture, UnmodifiedFieldsCloseWithoutQuestions) {
  ws.params.setTz(0, "Open", false);
  EXPECT_TRUE(requestShutdown(ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_FALSE(fileExists(ws.shared.settingsPath));  // settings are written only when chosen
}

TEST_F(ShutdownFixture, CancelKeepsTheWindowNoGoesOnToTheTextAndTheSettings) {
  ws.params.setTz(0, "Copy");
  ws.params.setTz(3, "text");
  ws.params.setChb(47, true);
  prompts.answers = {Answer::Cancel, Answer::No, Answer::No};
  EXPECT_FALSE(requestShutdown(ws));
  EXPECT_FALSE(fileExists(ws.shared.settingsPath));
  EXPECT_TRUE(requestShutdown(ws));
  ASSERT_EQ(prompts.shown.size(), 3u);
  EXPECT_EQ(prompts.shown[0].text, "Сохранить файл .pfp ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(prompts.shown[2].text, "Сохранить файл .txt ?");
  EXPECT_TRUE(fileExists(ws.shared.settingsPath));
}

TEST_F(ShutdownFixture, YesOnANamelessFieldAsksForAName) {
  ws.params.setTz(3, "text");
  prompts.answers = {Answer::Yes};
  EXPECT_FALSE(requestShutdown(ws));
  ASSERT_EQ(view.askedNames.size(), 1u);
  EXPECT_EQ(view.askedNames[0], std::make_pair(3, std::string(".txt")));
  EXPECT_TRUE(ws.params.tzModified(3));
}

TEST_F(ShutdownFixture, YesOnANamedFieldWritesIt) {
  const std::string path = dir.at("book.pfp");
  ws.params.setTz(0, "Open, SRC=\"a.bmp\"");
  ws.params.setTzName(0, path);
  prompts.answers = {Answer::Yes};
  EXPECT_TRUE(requestShutdown(ws));
  EXPECT_EQ(prompts.shown[0].text, "Сохранить файл " + path + " ?");
  EXPECT_EQ(readTextFile(path).value_or(""), "Open, SRC=\"a.bmp\"");
  EXPECT_FALSE(ws.params.tzModified(0));
}

TEST_F(ShutdownFixture, AFailedWriteRefusesTheClose) {
  ws.params.setTz(0, "Copy");
  ws.params.setTzName(0, dir.at("no-such-folder/book.pfp"));
  prompts.answers = {Answer::Yes};
  EXPECT_FALSE(requestShutdown(ws));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].icon, Icon::Stop);
  EXPECT_TRUE(ws.params.tzModified(0));
}

// Without reminding only texts longer than 1000 characters (not bytes) are asked about.
TEST_F(ShutdownFixture, WithoutRemindOnlyLongTextsAreAskedAbout) {
  ws.params.setChb(31, false);
  std::string cyrillic;
  for (int i = 0; i < 600; ++i) cyrillic += "ж";  // 1200 bytes
  ws.params.setTz(0, cyrillic);
  EXPECT_TRUE(saveFieldPrompt(ws, 0));
  EXPECT_TRUE(prompts.shown.empty());
  ws.params.setTz(0, std::string(1001, 'a'));
  prompts.answers = {Answer::No};
  EXPECT_TRUE(saveFieldPrompt(ws, 0));
  EXPECT_EQ(prompts.shown.size(), 1u);
}

}  // namespace
}  // namespace quillaro
