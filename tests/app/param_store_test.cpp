#include "app/param_store.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/workspace.h"

namespace quillaro {
namespace {

TEST(ParamStoreInitial, FreshWindowValues) {
  ParamStore p;
  EXPECT_TRUE(p.chb(30));   // record actions
  EXPECT_TRUE(p.chb(47));   // save settings
  EXPECT_FALSE(p.chb(55));  // open as 1-bit
  EXPECT_EQ(p.tn(9), "1");
  EXPECT_EQ(p.tn(22), "100");
  EXPECT_EQ(p.tn(55), "0");  // the shared field shows the brightness text
  EXPECT_EQ(p.ttb(1), "-Print");
  EXPECT_EQ(p.held(Held::Threshold), "140");
  EXPECT_EQ(p.held(Held::MaskPattern), "5A5A");
  EXPECT_EQ(p.fontName(), "Arial");
}

TEST(ParamStoreInitial, LoadInitialValuesUndoesChanges) {
  ParamStore p;
  p.setChb(3, false);
  p.setTn(9, "4");
  p.setCaption(labId(7), "x");
  p.setEnabled(tnId(68), false);
  p.setTz(0, "New");
  p.loadInitialValues();
  EXPECT_TRUE(p.chb(3));
  EXPECT_EQ(p.tn(9), "1");
  EXPECT_EQ(p.caption(labId(7)), "Яркость");
  EXPECT_TRUE(p.enabled(tnId(68)));
  EXPECT_EQ(p.tz(0), "");
  EXPECT_FALSE(p.tzModified(0));
}

TEST(ParamStoreBounds, OutOfRangeIndicesAreIgnored) {
  ParamStore p;
  int told = 0;
  p.subscribe([&](const ControlId&) { ++told; });
  p.setChb(-1, true);
  p.setChb(kChbCount, true);
  p.setTn(kTnCount, "x");
  p.setTz(kTzCount, "x");
  p.setA3Text(8, "x");
  p.setOption(OptionGroup::HAlign, 4);  // only buttons 0..3 exist
  p.setListIndex(ListSel::ListFontName, 9);
  EXPECT_EQ(told, 0);
  EXPECT_FALSE(p.chb(kChbCount));
  EXPECT_EQ(p.tn(-3), "");
  EXPECT_EQ(p.option(OptionGroup::HAlign), 0);
}

TEST(ParamStoreObservers, ToldOncePerRealChange) {
  ParamStore p;
  std::vector<std::uint32_t> seen;
  const int token = p.subscribe([&](const ControlId& id) { seen.push_back(id.key()); });
  p.setTn(24, "12");
  p.setTn(24, "12");  // same value: nothing happens
  p.setCheck(Check::ChA3, true);
  p.setOption(OptionGroup::Placement, 3);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], tnId(24).key());
  EXPECT_EQ(seen[1], checkId(Check::ChA3).key());
  EXPECT_EQ(seen[2], optionId(OptionGroup::Placement).key());
  p.unsubscribe(token);
  p.setTn(24, "13");
  EXPECT_EQ(seen.size(), 3u);
  int calls = 0, self = 0;  // an observer may unsubscribe itself
  self = p.subscribe([&](const ControlId&) { ++calls; p.unsubscribe(self); });
  p.setTn(1, "2");
  p.setTn(1, "3");
  EXPECT_EQ(calls, 1);
  p.setTz(0, "New\r\n", /*markModified=*/false);
  EXPECT_FALSE(p.tzModified(0));
  p.setTz(0, "Over\r\n");
  EXPECT_TRUE(p.tzModified(0));
}

TEST(ParamStoreSharedField, OpenAsOneBitSwitchesFieldAndLabel) {
  ParamStore p;
  p.setHeld(Held::Threshold, "128");
  p.setChb(55, true);
  EXPECT_EQ(p.tn(55), "128");
  EXPECT_EQ(p.caption(labId(7)), "Порог Ч/Б");
  EXPECT_EQ(p.tooltip(labId(7)), "Если значение меньше, то чёрная точка");
  p.setChb(55, false);
  EXPECT_EQ(p.tn(55), "0");
  EXPECT_EQ(p.caption(labId(7)), "Яркость");
  EXPECT_EQ(p.tooltip(labId(7)), "Значение из файла +");
}

TEST(ParamStoreSharedField, EditGoesIntoTheTextShown) {
  ParamStore p;
  p.setTn(55, "-20");
  EXPECT_EQ(p.held(Held::Brightness), "-20");
  EXPECT_EQ(p.held(Held::Threshold), "140");
  p.setChb(55, true);
  EXPECT_EQ(p.tn(55), "140");
  p.setTn(55, "100");
  EXPECT_EQ(p.held(Held::Threshold), "100");
  EXPECT_EQ(p.held(Held::Brightness), "-20");
  p.setChb(55, false);
  EXPECT_EQ(p.tn(55), "-20");
}

TEST(ParamStoreRanges, EditedFieldsAreBroughtToTheNearestLimit) {
  ParamStore p;
  p.editTn(55, "-3000");
  EXPECT_EQ(p.tn(55), "-2500");
  p.editTn(55, "300");
  EXPECT_EQ(p.tn(55), "300");  // brightness allows it
  p.setChb(55, true);
  p.editTn(55, "300");
  EXPECT_EQ(p.tn(55), "255");
  EXPECT_EQ(p.held(Held::Threshold), "255");
  p.editTn(55, "-1");
  EXPECT_EQ(p.tn(55), "0");
  p.editTn(10, "1");
  EXPECT_EQ(p.tn(10), "2");
  p.editTn(10, "20,5");  // a typed comma is a decimal point
  EXPECT_EQ(p.tn(10), "20");
  p.editTn(10, "3.5");
  EXPECT_EQ(p.tn(10), "3.5");  // in range: the text stays as typed
  p.editTn(12, "6000");
  EXPECT_EQ(p.tn(12), "5000");
  p.editTn(58, "-40");
  EXPECT_EQ(p.tn(58), "-32");
  p.editTn(44, "12");
  EXPECT_EQ(p.tn(44), "10");
  p.editTn(24, "99999");  // no stated range
  EXPECT_EQ(p.tn(24), "99999");
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
  p.setCheck(Check::ChForm, false);
  EXPECT_EQ(clicks, 3);
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
  p.setHandler(tnId(22), nullptr);
  EXPECT_FALSE(p.hasHandler(tnId(22)));
}

TEST(ControlTable, RowsAreCompleteAndUnique) {
  for (int i = 0; i < kChbCount; ++i) EXPECT_NE(findControl(chbId(i)), nullptr) << i;
  for (int c = 0; c < kCheckCount; ++c)
    EXPECT_NE(findControl(checkId(static_cast<Check>(c))), nullptr) << c;
  for (int g = 0; g < kOptionGroupCount; ++g) {
    const ControlInfo* first = findControl(optionId(static_cast<OptionGroup>(g)), 0);
    ASSERT_NE(first, nullptr) << g;
    EXPECT_STREQ(first->initial, "0");
  }
  for (int h = 0; h < kHeldCount; ++h) EXPECT_NE(findControl(heldId(static_cast<Held>(h))), nullptr);
  std::set<std::tuple<int, int, int>> keys;
  for (const ControlInfo& row : controlTable())
    EXPECT_TRUE(keys.insert({static_cast<int>(row.kind), row.index, row.sub}).second)
        << row.name << " " << row.index << " " << row.sub;
  ASSERT_NE(findControlByName("ChA3"), nullptr);
  EXPECT_EQ(findControlByName("ChB"), nullptr);  // arrays are addressed by index
}

TEST(FieldNormalisation, TrailingPointsRemoved) {
  EXPECT_EQ(normalizeField("12."), "12");
  EXPECT_EQ(normalizeField("12..."), "12");
  EXPECT_EQ(normalizeField("1.5"), "1.5");
  EXPECT_EQ(normalizeField("."), "");
  EXPECT_EQ(normalizeField(""), "");
}

TEST(WorkspaceBasics, DecimalsFromTheField) {
  Workspace ws;
  EXPECT_EQ(ws.decimals(), 1);
  ws.params.setTn(9, "3");
  EXPECT_EQ(ws.decimals(), 3);
  EXPECT_EQ(ws.format(2.34567), "2.346");
  ws.params.setTn(9, "9");
  EXPECT_EQ(ws.decimals(), 5);
  ws.params.setTn(9, "abc");
  EXPECT_EQ(ws.decimals(), 1);
  ws.params.setTn(9, "2,6");
  EXPECT_EQ(ws.decimals(), 3);
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
