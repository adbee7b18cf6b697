#include <gtest/gtest.h>

#include "actions/fields.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

TEST(CommaFields, EmptyFieldIsConsumedAndAbsent) {
  FieldReader r;
  r.setLine("Copy,,5");
  ASSERT_TRUE(r.nextField());
  EXPECT_EQ(r.field(), "Copy");
  EXPECT_FALSE(r.nextField());
  EXPECT_EQ(r.field(), "");
  ASSERT_TRUE(r.nextField());
  EXPECT_EQ(r.field(), "5");
  EXPECT_FALSE(r.nextField());
  EXPECT_FALSE(r.nextField());
}

TEST(CommaFields, FieldsAreTrimmedAndTrailingCommaEndsTheLine) {
  FieldReader r;
  r.setLine("  Open ,  a b  ,");
  ASSERT_TRUE(r.nextField());
  EXPECT_EQ(r.field(), "Open");
  ASSERT_TRUE(r.nextField());
  EXPECT_EQ(r.field(), "a b");
  EXPECT_FALSE(r.nextField());
  r.setLine("");
  EXPECT_FALSE(r.nextField());
  r.setLine("   ");
  EXPECT_FALSE(r.nextField());
}

TEST(CommaFields, NonNumericFieldIsConsumedByNextNumber) {
  FieldReader r;
  r.setLine("A3, x, 3, 1e2, -.5, 1.");
  ASSERT_FALSE(r.nextNumber());  // "A3"
  ASSERT_FALSE(r.nextNumber());  // "x"
  ASSERT_TRUE(r.nextNumber());
  EXPECT_EQ(r.fieldValue(), 3);
  ASSERT_TRUE(r.nextNumber());
  EXPECT_EQ(r.fieldValue(), 100);
  ASSERT_TRUE(r.nextNumber());
  EXPECT_EQ(r.fieldValue(), -0.5);
  ASSERT_TRUE(r.nextNumber());
  EXPECT_EQ(r.fieldValue(), 1);
  EXPECT_FALSE(r.nextNumber());
}

TEST(NumericText, UsualNumbersOnly) {
  for (auto t : {"0", "+1", "-2.5", ".5", "5.", "1e3", "1E-3", " 7 ", "2,5"}) EXPECT_TRUE(isNumeric(t)) << t;
  for (auto t : {"", " ", "-", ".", "e5", "1e", "1e+", "12abc", "1 2", "--1", "0x10"}) EXPECT_FALSE(isNumeric(t)) << t;
}

TEST(NumberReader, LeadingNumberAndRest) {
  EXPECT_EQ(parseNumber("12abc"), 12);
  EXPECT_EQ(parseNumber("abc"), 0);
  EXPECT_EQ(parseNumber(""), 0);
  EXPECT_EQ(parseNumber("  -3.25xyz"), -3.25);
  EXPECT_EQ(parseNumber("1 2 3"), 123);  // blanks inside are skipped
  EXPECT_EQ(parseNumber("4,"), 4);       // an unquoted key value keeps its comma
  EXPECT_EQ(parseNumber("1.5.6"), 1.5);
  EXPECT_EQ(parseNumber("2e3"), 2000);
  EXPECT_EQ(parseNumber("2e"), 2);
  EXPECT_EQ(parseNumber("2e-"), 2);
  EXPECT_EQ(parseNumber("-"), 0);
}

TEST(NumberReader, LargeMagnitudesAreZero) {
  EXPECT_EQ(parseNumber("99999999"), 99999999);
  EXPECT_EQ(parseNumber("100000000"), 0);
  EXPECT_EQ(parseNumber("-100000000"), 0);
  EXPECT_EQ(parseNumber("1e8"), 0);
}

TEST(NumberReader, OverflowShowsMessageAndGivesZero) {
  testing::ScriptedPrompts p;
  EXPECT_EQ(parseNumber("1e400", &p), 0);
  ASSERT_EQ(p.shown.size(), 1u);
  EXPECT_EQ(p.shown[0].text, "Неправильное число : \r\n1e400");
  EXPECT_EQ(p.shown[0].buttons, Buttons::Ok);
  // Plain garbage is 0 without a message; underflow is just 0.
  EXPECT_EQ(parseNumber("abc", &p), 0);
  EXPECT_EQ(parseNumber("1e-400", &p), 0);
  EXPECT_EQ(p.shown.size(), 1u);
  // Without prompts (message switch off) no crash, still 0.
  EXPECT_EQ(parseNumber(std::string(400, '9')), 0);
}

TEST(NumberFormatter, HalfAwayFromZeroShortestForm) {
  EXPECT_EQ(formatNumber(2.25, 1), "2.3");
  EXPECT_EQ(formatNumber(2.0, 1), "2");
  EXPECT_EQ(formatNumber(-2.25, 1), "-2.3");
  EXPECT_EQ(formatNumber(2.24, 1), "2.2");
  EXPECT_EQ(formatNumber(0.04, 1), "0");
  EXPECT_EQ(formatNumber(-0.04, 1), "0");
  EXPECT_EQ(formatNumber(1.005, 2), "1.01");
  EXPECT_EQ(formatNumber(12.5, 3), "12.5");
  EXPECT_EQ(formatNumber(0.123456, 5), "0.12346");
  EXPECT_EQ(formatNumber(3.05, 2), "3.05");
  EXPECT_EQ(formatNumber(9.96, 1), "10");
  EXPECT_EQ(formatNumber(94.488, 1), "94.5");
}

TEST(NumberFormatter, DecimalsAreLimitedToOneToFive) {
  EXPECT_EQ(formatNumber(1.23456789, 0), "1.2");
  EXPECT_EQ(formatNumber(1.23456789, 9), "1.23457");
  EXPECT_EQ(formatNumber(1.0 / 0.0, 2), "0");
}

TEST(KeyValues, KeyNeedsABlankBeforeItAndEqualsAfter) {
  FieldReader r;
  r.prepareKeys("Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1");
  EXPECT_EQ(r.getKey("Land"), "1");
  r.prepareKeys("Copy,Land=1");
  EXPECT_EQ(r.getKey("Land"), "");
  r.prepareKeys("Copy, Land =1");
  EXPECT_EQ(r.getKey("land"), "1");
  r.prepareKeys("Copy, White=1");
  EXPECT_EQ(r.getKey("W"), "");
  r.prepareKeys("hide=1");
  EXPECT_EQ(r.getKey("hide"), "1");
  EXPECT_EQ(r.getFlag("HIDE"), 1);
  EXPECT_EQ(r.getFlag("exit"), 0);
}

TEST(KeyValues, UnquotedValueEndsAtBlankAndKeepsComma) {
  FieldReader r;
  r.prepareKeys("DenseThin, W=4, Plus=1");
  EXPECT_EQ(r.getKey("W"), "4,");
  EXPECT_EQ(parseNumber(r.getKey("W")), 4);
  EXPECT_EQ(r.getKey("Plus"), "1");
}

TEST(KeyValues, QuotedValues) {
  FieldReader r;
  r.prepareKeys("Open, SRC=\"/home/u/My Scans/a.bmp\" X='a b'");
  EXPECT_EQ(r.getKey("src"), "/home/u/My Scans/a.bmp");
  EXPECT_EQ(r.getKey("x"), "a b");
  r.prepareKeys("Open, SRC=\"/home/u/My Scans/a.bmp");
  EXPECT_EQ(r.getKey("SRC"), "");
  r.prepareKeys("A=   B=2");
  EXPECT_EQ(r.getKey("A"), "B=2");
  r.prepareKeys("A=");
  EXPECT_EQ(r.getKey("A"), "");
  r.prepareKeys("A=\"  padded  \"");
  EXPECT_EQ(r.getKey("A"), "padded");
}

TEST(KeyValues, RepeatedKeysAreReturnedInTurnThenWrap) {
  FieldReader r;
  r.prepareKeys("a=1 b=x a=2 a=3");
  EXPECT_EQ(r.getKey("a"), "1");
  EXPECT_EQ(r.getKey("a"), "2");
  EXPECT_EQ(r.getKey("a"), "3");
  EXPECT_EQ(r.getKey("a"), "1");
  EXPECT_EQ(r.getKey("b"), "x");  // wraps from after the first a
  r.prepareKeys("a=9");
  EXPECT_EQ(r.getKey("a"), "9");  // prepare resets the position
}

TEST(KeyValues, LineBreaksCountAsBlanksAndCaseOfValuesIsKept) {
  FieldReader r;
  r.prepareKeys("OpenPath=\"/d/Скан\"\r\nmask=\"5a5a\"\r\nMaskLine=1\nТекст=Да");
  EXPECT_EQ(r.getKey("Mask"), "5a5a");
  EXPECT_EQ(r.getKey("MASKLINE"), "1");
  EXPECT_EQ(r.getKey("OpenPath"), "/d/Скан");
  EXPECT_EQ(r.getKey("текст"), "Да");
}

TEST(KeyValues, FlagValuesRoundToNearestEven) {
  testing::ScriptedPrompts p;
  FieldReader r(&p);
  r.prepareKeys("a=0.5 b=1.5 c=0.6 d=abc e=-1 f=1e999");
  EXPECT_EQ(r.getFlag("a"), 0);
  EXPECT_EQ(r.getFlag("b"), 1);
  EXPECT_EQ(r.getFlag("c"), 1);
  EXPECT_EQ(r.getFlag("d"), 0);
  EXPECT_EQ(r.getFlag("e"), 1);
  EXPECT_TRUE(p.shown.empty());
  EXPECT_EQ(r.getFlag("f"), 0);
  EXPECT_EQ(p.shown.size(), 1u);
}

TEST(UpperCase, CyrillicKeepsByteLength) {
  EXPECT_EQ(upperUtf8("abc абв ёжз яюэ"), "ABC АБВ ЁЖЗ ЯЮЭ");
  const std::string mixed = "Путь \xff\xfe x";
  EXPECT_EQ(upperUtf8(mixed).size(), mixed.size());
}

}  // namespace
}  // namespace quillaro
