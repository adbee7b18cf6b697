#include "ops/find_replace.h"

#include <gtest/gtest.h>

#include "automation/composition.h"
#include "automation/runner.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

TEST(FindMatchTest, FindWithAndWithoutCaseAndEndingTexts) {
  struct Case {
    const char* text;
    std::size_t from;
    ReplaceSet set;
    bool anyCase;
    std::optional<std::pair<std::size_t, std::size_t>> match;
  };
  const Case cases[] = {
      {"ab AB ab", 0, {"AB", "", ""}, false, std::pair<std::size_t, std::size_t>{3, 5}},
      {"ab AB ab", 0, {"AB", "", ""}, true, std::pair<std::size_t, std::size_t>{0, 2}},
      {"ab AB ab", 1, {"ab", "", ""}, false, std::pair<std::size_t, std::size_t>{6, 8}},
      {"СЛОВО и слово", 0, {"слово", "", ""}, true, std::pair<std::size_t, std::size_t>{0, 10}},
      {"СЛОВО и слово", 0, {"слово", "", ""}, false, std::pair<std::size_t, std::size_t>{14, 24}},
      {"x <b>bold</b> y </b>", 0, {"<b>", "", "</b>"}, false, std::pair<std::size_t, std::size_t>{2, 13}},
      {"x <B>bold</b>", 0, {"<b>", "", "</B>"}, true, std::pair<std::size_t, std::size_t>{2, 13}},
      {"x <b>bold", 0, {"<b>", "", "</b>"}, false, std::nullopt},  // no ending, no match
      {"abc", 0, {"", "", ""}, false, std::nullopt},
      {"abc", 9, {"a", "", ""}, false, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto m = findMatch(c.text, c.from, c.set, c.anyCase);
    ASSERT_EQ(m.has_value(), c.match.has_value()) << c.text << " / " << c.set.find;
    if (m) {
      EXPECT_EQ(std::make_pair(m->begin, m->end), *c.match) << c.text << " / " << c.set.find;
    }
  }
}

TEST(FindMatchTest, ReplaceAllNeverSearchesAReplacementAgain) {
  std::string text = "aaa";
  EXPECT_EQ(replaceAllMatches(text, {"a", "aa", ""}, false), 3u);
  EXPECT_EQ(text, "aaaaaa");
  text = "Мама мыла РАМУ";
  EXPECT_EQ(replaceAllMatches(text, {"ма", "па", ""}, true), 2u);
  EXPECT_EQ(text, "папа мыла РАМУ");
  text = "a(1) b(2)";
  EXPECT_EQ(replaceAllMatches(text, {"(", "", ")"}, false), 2u);
  EXPECT_EQ(text, "a b");
  text = "none";
  EXPECT_EQ(replaceAllMatches(text, {"x", "y", ""}, false), 0u);
  EXPECT_EQ(text, "none");
}

struct FindReplaceFixture : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  void SetUp() override {
    connectWorkspace(ws);
    ws.params.setChb(30, true);  // record
    ws.params.setChb(31, true);  // remind
    ws.params.setTz(0, "", false);
  }
};

TEST_F(FindReplaceFixture, FindNextCountsCharactersAndTellsAboutNoMatch) {
  ws.params.setTz(3, "Дом, дом, ДОМ");
  const auto first = findNextInField(ws, 3, 0, {"дом", "", ""}, true);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->begin, 0u);
  const auto second = findNextInField(ws, 3, first->end, {"дом", "", ""}, true);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->begin, 5u);
  EXPECT_EQ(second->end, 8u);
  EXPECT_FALSE(findNextInField(ws, 3, 11, {"дом", "", ""}, false));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Нет  дом");
  EXPECT_FALSE(findNextInField(ws, 3, 0, {std::string(300, 'q'), "", "end"}, false));
  EXPECT_EQ(prompts.shown[1].text, "Нет  " + std::string(120, 'q') + " ... " + std::string(120, 'q') + " ... end");
}

TEST_F(FindReplaceFixture, ReplaceSelectionKeepsTheUndoCopy) {
  ws.params.setTz(3, "один два три");
  EXPECT_EQ(replaceSelection(ws, 3, {5, 8}, "2"), 5u);
  EXPECT_EQ(ws.params.tz(3), "один 2 три");
  EXPECT_TRUE(undoReplace(ws, 3));
  EXPECT_EQ(ws.params.tz(3), "один два три");
  EXPECT_FALSE(undoReplace(ws, 3));
}

TEST_F(FindReplaceFixture, ReplaceAllAsksRecordsAndCanBeUndone) {
  ws.params.setTz(3, "aaa");
  prompts.answers = {Answer::No};
  EXPECT_EQ(replaceAllInField(ws, 3, {"a", "aa", ""}, false), ReplaceOutcome::Refused);
  EXPECT_EQ(ws.params.tz(3), "aaa");
  EXPECT_EQ(replaceAllInField(ws, 3, {"a", "aa", ""}, false), ReplaceOutcome::Replaced);
  EXPECT_EQ(ws.params.tz(3), "aaaaaa");
  EXPECT_EQ(ws.params.tz(0), "ReplaceText, TZ=3, Find=\"a\", By=\"aa\"\r\n");
  EXPECT_EQ(replaceAllInField(ws, 3, {"z", "y", ""}, false), ReplaceOutcome::NoMatch);
  EXPECT_EQ(replaceAllInField(ws, 3, {"", "y", ""}, false), ReplaceOutcome::NoMatch);
  EXPECT_EQ(prompts.shown.size(), 3u);  // the empty find text asks nothing
  EXPECT_TRUE(undoReplace(ws, 3));
  EXPECT_EQ(ws.params.tz(3), "aaa");
}

TEST_F(FindReplaceFixture, ReplaceAllSetsAsksOnceAndNoStopsTheRun) {
  auto& sets = findReplaceState(ws).sets;
  sets[0] = {"кот", "пёс", ""};
  sets[2] = {"пёс", "волк", ""};  // set 1 is empty and passed over
  sets[3] = {"x", "y", ""};       // outside the range
  ws.params.setTz(3, "кот x");
  prompts.answers = {Answer::No};
  EXPECT_EQ(replaceAllSets(ws, 3, 0, 2, false), -1);
  EXPECT_EQ(ws.params.tz(3), "кот x");
  EXPECT_EQ(replaceAllSets(ws, 3, 0, 2, false), 2);
  EXPECT_EQ(ws.params.tz(3), "волк x");
  EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(FindReplaceFixture, RecordedLineReplaysThroughTheRunner) {
  const std::string find = "a \"b\"=%\r\nc";
  ws.params.setTz(3, "<" + find + ">");
  ws.params.setChb(31, false);
  ASSERT_EQ(replaceAllInField(ws, 3, {find, "Ж", ""}, true), ReplaceOutcome::Replaced);
  const std::string program = ws.params.tz(0);
  EXPECT_EQ(program.find('\n'), program.size() - 1);  // one line
  // The same program over another text.
  testing::ScriptedPrompts otherPrompts;
  Workspace other{&otherPrompts};
  connectWorkspace(other);
  other.params.setChb(31, false);
  other.params.setTz(3, "1 A \"B\"=%\r\nC 2");
  other.params.setTz(0, program + "ReplaceText, TZ=0, Find=\"R\", By=\"r\"\r\n");
  runAll(other);
  EXPECT_EQ(other.params.tz(3), "1 Ж 2");
  EXPECT_EQ(other.params.tz(0), program + "ReplaceText, TZ=0, Find=\"R\", By=\"r\"\r\n");
}

}  // namespace
}  // namespace quillaro
