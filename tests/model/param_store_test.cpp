#include "model/param_store.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/controls.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

TEST(ParamStoreBounds, OutOfRangeIndicesAreIgnored) {
  ParamStore p;
  int told = 0;
  p.subscribe([&](const ControlId&) { ++told; });
  p.setChb(-1, true);
  p.setChb(kChbCount, true);
  p.setTn(kTnCount, "x");
  p.setA3Text(8, "x");
  p.setOption(OptionGroup::HAlign, 4);  // only buttons 0..3 exist
  EXPECT_EQ(told, 0);
  EXPECT_EQ(p.tn(-3), "");
}

TEST(ParamStoreObservers, ToldOncePerRealChange) {
  ParamStore p;
  std::vector<std::uint32_t> seen;
  const int token = p.subscribe([&](const ControlId& id) { seen.push_back(id.key()); });
  p.setTn(24, "12");
  p.setTn(24, "12");  // same value: nothing happens
  p.setCheck(Check::ChA3, true);
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{tnId(24).key(), checkId(Check::ChA3).key()}));
  p.unsubscribe(token);
  p.setTn(24, "13");
  EXPECT_EQ(seen.size(), 2u);
  p.setTz(0, "New\r\n", /*markModified=*/false);
  EXPECT_FALSE(p.tzModified(0));
}

// TN(55) shows the brightness or, with "open as 1-bit" ChB(55), the threshold; an edit
// goes into the text shown, and the label follows.
TEST(ParamStoreSharedField, OpenAsOneBitSwitchesFieldAndLabel) {
  ParamStore p;
  p.setTn(55, "-20");
  p.setChb(55, true);
  EXPECT_EQ(p.tn(55), "140");
  EXPECT_EQ(p.caption(labId(7)), "Порог Ч/Б");
  EXPECT_EQ(p.tooltip(labId(7)), "Если значение меньше, то чёрная точка");
  p.setTn(55, "100");
  EXPECT_EQ(p.held(Held::Threshold), "100");
  EXPECT_EQ(p.held(Held::Brightness), "-20");
  p.setChb(55, false);
  EXPECT_EQ(p.tn(55), "-20");
  EXPECT_EQ(p.caption(labId(7)), "Яркость");
}

TEST(ParamStoreRanges, EditedFieldsAreBroughtToTheNearestLimit) {
  ParamStore p;
  struct Case { int field; bool oneBit; const char* typed; const char* kept; };
  const Case cases[] = {
      {55, false, "-3000", "-2500"}, {55, false, "300", "300"},  // brightness
      {55, true, "300", "255"},      {55, true, "-1", "0"},      // threshold
      {10, false, "20,5", "20"},     // a typed comma is a point
      {10, false, "3.5", "3.5"},     // in range: the text stays as typed
      {24, false, "99999", "99999"},  // no stated range
  };
  for (const Case& c : cases) {
    p.setChb(55, c.oneBit);
    p.editTn(c.field, c.typed);
    EXPECT_EQ(p.tn(c.field), c.kept) << c.field << " " << c.typed;
  }
  EXPECT_EQ(p.held(Held::Threshold), "0");
}

TEST(ParamStoreHandlers, RunningFlagKeepsHandlersPassive) {
  ParamStore p;
  bool running = false;
  p.setPassiveFlag(&running);
  int clicks = 0, told = 0;
  p.setHandler(checkId(Check::ChForm), [&](const ControlId&) { ++clicks; });
  p.subscribe([&](const ControlId&) { ++told; });
  p.setCheck(Check::ChForm, true);
  EXPECT_EQ(clicks, 1);
  running = true;
  p.setCheck(Check::ChForm, false);
  EXPECT_EQ(clicks, 1);  // passive
  EXPECT_EQ(told, 2);    // the window is told all the same
  p.runHandler(checkId(Check::ChForm));
  EXPECT_EQ(clicks, 2);  // an explicit call always runs
  running = false;
  {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChForm, true);
  }
  EXPECT_EQ(clicks, 2);
  p.setPassiveFlag(nullptr);
}

TEST(ParamStoreHandlers, HandlerChangingItsOwnControlDoesNotLoop) {
  ParamStore p;
  int calls = 0;
  p.setHandler(tnId(22), [&](const ControlId&) {
    ++calls;
    p.setTn(22, p.tn(22) + "0");  // would start itself again
  });
  p.setTn(22, "5");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(p.tn(22), "50");
}

TEST(ControlTable, RowsAreUnique) {
  std::set<std::tuple<int, int, int>> keys;
  for (const ControlInfo& row : controlTable())
    EXPECT_TRUE(keys.insert({static_cast<int>(row.kind), row.index, row.sub}).second)
        << row.name << " " << row.index << " " << row.sub;
  for (int i = 0; i < kChbCount; ++i) EXPECT_NE(findControl(chbId(i)), nullptr) << i;
}

TEST(WorkspaceBasics, DecimalsFromTheField) {
  Workspace ws;
  for (auto [text, want] : {std::pair{"3", 3}, {"9", 5}, {"abc", 1}, {"2,6", 3}}) {
    ws.params.setTn(9, text);
    EXPECT_EQ(ws.decimals(), want) << text;
  }
  ws.params.setTn(9, "3");
  EXPECT_EQ(ws.format(2.34567), "2.346");
  EXPECT_EQ(normalizeField("12..."), "12");
  EXPECT_EQ(normalizeField("."), "");
}

TEST(WorkspaceBasics, ProgramTextGoesStaleWhenTheFieldChanges) {
  Workspace ws;
  ws.program.changed = false;
  ws.params.setTz(1, "text body");
  EXPECT_FALSE(ws.program.changed);
  ws.params.setTz(0, "New");
  EXPECT_TRUE(ws.program.changed);
}

}  // namespace
}  // namespace quillaro
