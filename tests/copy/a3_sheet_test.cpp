#include <gtest/gtest.h>

#include "app/tables.h"
#include "copy/a3_sheet.h"
#include "copy/copy_engine.h"
#include "copy_test_util.h"

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
};

TEST_F(A3Sheet, GapIsTwiceTheMarginAndSecondPageGoesPixelByPixel) {
  fx.p().setChb(C::kA4InA3Turned, false);
  page(4961, 40, 1, 3);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(189, fx.st().a3Gap);
  EXPECT_EQ(2 * 4961 + 189, fx.ws->a3.width);
  EXPECT_EQ("1 A4 в A3", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
  EXPECT_FALSE(fx.ws->a3.isWhite(3, 0));
  page(4961, 40, 1, 5);
  ASSERT_TRUE(toA3(*fx.ws));
  // x0 = 4961 + 189 = 5150, 5150 mod 8 = 6: pixel copy, exact column.
  EXPECT_FALSE(fx.ws->a3.isWhite(5150 + 5, 0));
  EXPECT_EQ(2, fx.st().a3State);
  EXPECT_EQ("2 A4 в A3", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
}

TEST_F(A3Sheet, SecondPageByBytesWhenTheStartIsNearlyAligned) {
  fx.p().setChb(C::kA4InA3Turned, false);
  fx.p().setTn(copyfield::kMargin, "3.4");  // 3.4 x 23.622 x 2 = 160.6 -> gap 161
  page(4959, 16, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(161, fx.st().a3Gap);
  page(4959, 16, 1, 9);
  ASSERT_TRUE(toA3(*fx.ws));
  // x0 = 5120, mod 8 = 0: whole bytes from byte 640.
  EXPECT_FALSE(fx.ws->a3.isWhite(5120 + 9, 0));
}

TEST_F(A3Sheet, TurnedFirstPageByBytesOrByPixels) {
  fx.p().setChb(C::kA4InA3Turned, true);
  page(4961, 20, 1, 0);  // 4961 mod 8 = 1: byte copy, reversed bits
  ASSERT_TRUE(toA3(*fx.ws));
  // Byte 0 goes to byte rowBytes - 1 = 620 reversed: pixel 0 lands on column 620 x 8 + 7.
  EXPECT_FALSE(fx.ws->a3.isWhite(620 * 8 + 7, 19));
  fx.prompts.answers = {Answer::Yes};
  ASSERT_TRUE(eraseA3(*fx.ws));
  page(4963, 20, 1, 0);  // mod 8 = 3: pixel by pixel, exact
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(4962, 19));
  ASSERT_TRUE(eraseA3(*fx.ws));
  fx.p().setChb(C::kByBytes, true);
  page(4963, 20, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(fx.ws->a3.isWhite(620 * 8 + 7, 19)) << "byte copy asked for: shifted by the padding";
}

TEST_F(A3Sheet, EightBitPagesGoBytePerPixel) {
  fx.p().setChb(C::kA4InA3Turned, true);
  page(100, 10, 8, 2);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(0, fx.ws->a3.grey(97, 9));
  page(100, 10, 8, 2);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(0, fx.ws->a3.grey(100 + 189 + 2, 0));
}

TEST_F(A3Sheet, RefusalsAndQuestions) {
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("Новый рисунок не копировался.\r\nСкопировать во вторую половину A3 тот же A4 ?",
            fx.prompts.shown.back().text);
  EXPECT_EQ(1, fx.st().a3State);
  fx.prompts.answers = {Answer::Yes};
  EXPECT_TRUE(toA3(*fx.ws));
  EXPECT_EQ(2, fx.st().a3State);
  page(200, 10, 1, 0);
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("A3 заполнен", fx.prompts.shown.back().text);
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("A3 заполнен", fx.prompts.shown.back().text) << "a full sheet keeps refusing";
  fx.st().freshCopy = false;
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("Новый рисунок не копировался.", fx.prompts.shown.back().text);
}

TEST_F(A3Sheet, DepthAndResolutionOfTheSecondPage) {
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  page(200, 10, 8, 0);
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("В буфере A3 чёрно-белый 1-битный рисунок.\r\nВторой рисунок A4 должен быть таким же, а не серым 8-бит.",
            fx.prompts.shown.back().text);
  page(200, 10, 1, 0);
  fx.st().pageDpi = 1200;
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_EQ("В буфере A3 рисунок 600 dpi.\r\nВторой рисунок A4 должен быть таким же, а не 1200 dpi.",
            fx.prompts.shown.back().text);
  EXPECT_EQ(1, fx.st().a3State);
  page(200, 10, 24, 0);
  fx.prompts.shown.clear();
  EXPECT_FALSE(toA3(*fx.ws));
  EXPECT_TRUE(fx.prompts.shown.empty()) << "24-bit pages are silently not added";
}

TEST_F(A3Sheet, EraseAsksWhenReminding) {
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(eraseA3(*fx.ws));
  EXPECT_EQ("Стереть A3 ?", fx.prompts.shown.back().text);
  EXPECT_EQ(1, fx.st().a3State);
  fx.p().setChb(C::kRemind, false);
  EXPECT_TRUE(eraseA3(*fx.ws));
  EXPECT_EQ(0, fx.st().a3State);
  EXPECT_TRUE(fx.ws->a3.empty());
  EXPECT_EQ("", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
}

TEST_F(A3Sheet, ConsistencyCheckBeforeOpening) {
  page(200, 10, 1, 0);
  fx.prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(checkComposition(*fx.ws, "открыть", 8, 600));
  EXPECT_EQ("Если открыть 8-битный рисунок, \r\n 1-битная копия будет стёрта.", fx.prompts.shown.back().text);
  EXPECT_EQ(Buttons::OkCancel, fx.prompts.shown.back().buttons);
  EXPECT_FALSE(fx.ws->page.empty());
  fx.prompts.answers = {Answer::Ok};
  EXPECT_TRUE(checkComposition(*fx.ws, "открыть", 8, 600));
  EXPECT_TRUE(fx.ws->page.empty()) << "the copy is given up";
  page(200, 10, 1, 0);
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(checkComposition(*fx.ws, "открыть", 1, 1200));
  EXPECT_EQ("Скопирован рисунок 600 dpi.\r\nДругой рисунок должен быть таким же, а не 1200 dpi.",
            fx.prompts.shown.back().text);
  EXPECT_TRUE(checkComposition(*fx.ws, "открыть", 1, 600));
}

}  // namespace
}  // namespace quillaro
