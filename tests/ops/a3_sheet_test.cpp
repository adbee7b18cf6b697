#include <gtest/gtest.h>

#include "base/tables.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "support/copy_test_util.h"

namespace quillaro {
namespace {

using testing::blockPicture;
using testing::CopyFixture;
namespace C = copycheck;

struct A3Sheet : ::testing::Test {
  CopyFixture fx;
  void SetUp() override { fx.p().setCheck(Check::ChA3, true); }
  // A page image made by "a copy": black pixel at column `x` of row 0.
  void page(int width, int height, int bits, int x) {
    fx.ws->page = blockPicture(width, height, bits, x, 0, 1, 1);
    fx.st().pageDpi = 600;
    fx.st().freshCopy = true;
    fx.st().copyMade = true;
  }
  const std::string& shown() { return fx.prompts.shown.back().text; }
};

TEST_F(A3Sheet, SecondPageByPixelsOrByBytes) {
  fx.p().setChb(C::kA4InA3Turned, false);
  page(4961, 40, 1, 3);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(189, fx.st().a3Gap) << "twice the margin";
  EXPECT_EQ(2 * 4961 + 189, fx.ws->a3.width);
  page(4961, 40, 1, 5);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(5150 + 5, 0)) << "x0 = 5150, mod 8 = 6: exact column";
  EXPECT_EQ("2 A4 в A3", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
  fx.prompts.answers = {Answer::Yes};
  ASSERT_TRUE(eraseA3(*fx.ws));
  fx.p().setTn(copyfield::kMargin, "3.4");  // gap 160.6 -> 161
  page(4959, 16, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  page(4959, 16, 1, 9);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(5120 + 9, 0)) << "x0 = 5120: whole bytes";
}

TEST_F(A3Sheet, TurnedFirstPageByBytesOrByPixels) {
  fx.p().setChb(C::kA4InA3Turned, true);
  fx.prompts.answers = {Answer::Yes, Answer::Yes};
  page(4961, 20, 1, 0);  // 4961 mod 8 = 1: byte copy, reversed bits
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(620 * 8 + 7, 19));
  ASSERT_TRUE(eraseA3(*fx.ws));
  page(4963, 20, 1, 0);  // mod 8 = 3: pixel by pixel, exact
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(4962, 19));
  ASSERT_TRUE(eraseA3(*fx.ws));
  page(100, 10, 8, 2);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(0, fx.ws->a3.grey(97, 9));
}

TEST_F(A3Sheet, RefusalsAndQuestions) {
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("Новый рисунок не копировался.\r\nСкопировать во вторую половину A3 тот же A4 ?", shown());
  page(200, 10, 8, 0);
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("В буфере A3 чёрно-белый 1-битный рисунок.\r\nВторой рисунок A4 должен быть таким же, а не серым 8-бит.",
            shown());
  page(200, 10, 1, 0);
  fx.st().pageDpi = 1200;
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("В буфере A3 рисунок 600 dpi.\r\nВторой рисунок A4 должен быть таким же, а не 1200 dpi.", shown());
  EXPECT_EQ(1, fx.st().a3State);
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  page(200, 10, 1, 0);
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("A3 заполнен", shown());
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(eraseA3(*fx.ws));
  EXPECT_EQ("Стереть A3 ?", shown());
  EXPECT_EQ(2, fx.st().a3State);
  fx.p().setChb(C::kRemind, false);
  EXPECT_TRUE(eraseA3(*fx.ws));
  EXPECT_TRUE(fx.ws->a3.empty());
  EXPECT_EQ("", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
  page(200, 10, 24, 0);
  const std::size_t asked = fx.prompts.shown.size();
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ(asked, fx.prompts.shown.size()) << "24-bit pages are silently not added";
}

TEST_F(A3Sheet, ConsistencyCheckBeforeOpening) {
  page(200, 10, 1, 0);
  fx.prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(checkComposition(*fx.ws, "открыть", 8, 600));
  EXPECT_EQ("Если открыть 8-битный рисунок, \r\n 1-битная копия будет стёрта.", shown());
  EXPECT_FALSE(fx.ws->page.empty());
  fx.prompts.answers = {Answer::Ok};
  EXPECT_TRUE(checkComposition(*fx.ws, "открыть", 8, 600));
  EXPECT_TRUE(fx.ws->page.empty()) << "the copy is given up";
}

}  // namespace
}  // namespace quillaro
