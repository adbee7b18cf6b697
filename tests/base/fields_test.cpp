#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/fields.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
  FieldReader r;
  r.setLine(line);
  std::vector<std::string> out;
  for (int i = 0; i < 8; ++i) out.push_back(r.nextField() ? r.field() : "<" + r.field() + ">");
  while (!out.empty() && out.back() == "<>") out.pop_back();
  return out;
}

TEST(CommaFields, TrimmedEmptyIsAbsentTrailingCommaEnds) {
  using V = std::vector<std::string>;
  EXPECT_EQ(fieldsOf("Copy,,5"), (V{"Copy", "<>", "5"}));
  EXPECT_EQ(fieldsOf("  Open ,  a b  ,"), (V{"Open", "a b"}));
  EXPECT_EQ(fieldsOf("   "), V{});
}

TEST(CommaFields, NonNumericFieldIsConsumedByNextNumber) {
  FieldReader r;
  r.setLine("A3, x, 3, 1e2, -.5, 1.");
  EXPECT_FALSE(r.nextNumber());
  EXPECT_FALSE(r.nextNumber());
  for (double want : {3.0, 100.0, -0.5, 1.0}) {
    ASSERT_TRUE(r.nextNumber());
    EXPECT_EQ(r.fieldValue(), want);
  }
  EXPECT_FALSE(r.nextNumber());
}

TEST(NumericText, UsualNumbersOnly) {
  for (auto t : {"0", "+1", "-2.5", ".5", "5.", "1e3", "1E-3", " 7 ", "2,5"}) EXPECT_TRUE(isNumeric(t)) << t;
  for (auto t : {"", " ", "-", ".", "e5", "1e", "1e+", "12abc", "1 2", "--1", "0x10"}) EXPECT_FALSE(isNumeric(t)) << t;
}

TEST(NumberReader, LeadingNumberAndRest) {
  const std::pair<const char*, double> cases[] = {
      {"12abc", 12}, {"abc", 0}, {"", 0}, {"  -3.25xyz", -3.25}, {"1 2 3", 123} /* inner blanks skipped */,
      {"4,", 4} /* unquoted key value keeps its comma */, {"1.5.6", 1.5}, {"2e3", 2000}, {"2e", 2}, {"2e-", 2},
      {"-", 0}, {"99999999", 99999999}, {"100000000", 0}, {"-100000000", 0}, {"1e8", 0}};
  for (const auto& [text, want] : cases) EXPECT_EQ(parseNumber(text), want) << text;
}

TEST(NumberReader, OverflowShowsMessageAndGivesZero) {
  testing::ScriptedPrompts p;
  EXPECT_EQ(parseNumber("1e400", &p), 0);
  ASSERT_EQ(p.shown.size(), 1u);
  EXPECT_EQ(p.shown[0].text, "Неправильное число : \r\n1e400");
  EXPECT_EQ(p.shown[0].buttons, Buttons::Ok);
  // Garbage and underflow are 0 without a message; no prompts: no crash.
  EXPECT_EQ(parseNumber("abc", &p), 0);
  EXPECT_EQ(parseNumber("1e-400", &p), 0);
  EXPECT_EQ(p.shown.size(), 1u);
  EXPECT_EQ(parseNumber(std::string(400, '9')), 0);
}

TEST(NumberFormatter, HalfAwayFromZeroShortestFormOneToFiveDecimals) {
  struct Case { double v; int decimals; const char* want; };
  for (const Case c : {Case{2.25, 1, "2.3"}, {2.0, 1, "2"}, {-2.25, 1, "-2.3"}, {2.24, 1, "2.2"}, {0.04, 1, "0"},
                       {-0.04, 1, "0"}, {1.005, 2, "1.01"}, {12.5, 3, "12.5"}, {0.123456, 5, "0.12346"},
                       {3.05, 2, "3.05"}, {9.96, 1, "10"}, {94.488, 1, "94.5"}, {1.23456789, 0, "1.2"},
                       {1.23456789, 9, "1.23457"}, {1.0 / 0.0, 2, "0"}})
    EXPECT_EQ(formatNumber(c.v, c.decimals), c.want) << c.v << " " << c.decimals;
}

// The reader takes magnitudes of 1e8 and more as 0, so a value that rounds that far is
// written as the largest magnitude the reader keeps; just below, values are as usual.
TEST(NumberFormatter, NeverWritesANumberTheReaderTakesAsZero) {
  struct Case { double v; int decimals; const char* want; };
  for (const Case c : {Case{99999999.94, 1, "99999999.9"}, {99999999.95, 1, "99999999.9"},
                       {99999999.96, 1, "99999999.9"}, {-99999999.94, 1, "-99999999.9"},
                       {-99999999.96, 1, "-99999999.9"}, {99999999.994, 2, "99999999.99"},
                       {99999999.996, 2, "99999999.99"}, {-99999999.996, 2, "-99999999.99"},
                       {100000000.0, 1, "99999999.9"}, {-100000000.0, 3, "-99999999.999"},
                       {1e20, 5, "99999999.99999"}, {-1e20, 1, "-99999999.9"},
                       {99999998.96, 1, "99999999"}}) {
    const std::string text = formatNumber(c.v, c.decimals);
    EXPECT_EQ(text, c.want) << c.v << " " << c.decimals;
    EXPECT_EQ(parseNumber(text), std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(KeyValues, KeyNeedsABlankBeforeItAndEqualsAfter) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1", "Land", "1"}, {"Copy,Land=1", "Land", ""},
      {"Copy, Land =1", "land", "1"}, {"Copy, White=1", "W", ""}, {"hide=1", "hide", "1"},
      {"DenseThin, W=4, Plus=1", "W", "4,"} /* unquoted: ends at a blank */,
      {"Open, SRC=\"/home/u/My Scans/a.bmp\" X='a b'", "src", "/home/u/My Scans/a.bmp"},
      {"Open, X='a b'", "x", "a b"}, {"Open, SRC=\"/home/u/My Scans/a.bmp", "SRC", ""},
      {"A=   B=2", "A", "B=2"}, {"A=", "A", ""}, {"A=\"  padded  \"", "A", "padded"},
      {"OpenPath=\"/d/Скан\"\r\nmask=\"5a5a\"\r\nMaskLine=1", "MASKLINE", "1"},
      {"OpenPath=\"/d/Скан\"\r\nmask=\"5a5a\"", "OpenPath", "/d/Скан"},
      {"mask=\"5a5a\"\r\nMaskLine=1", "Mask", "5a5a"}, {"x=1\nТекст=Да", "текст", "Да"}};
  FieldReader r;
  for (const auto& [line, key, want] : cases) {
    r.prepareKeys(line);
    EXPECT_EQ(r.getKey(key), want) << line << " / " << key;
  }
}

TEST(KeyValues, RepeatedKeysAreReturnedInTurnThenWrap) {
  FieldReader r;
  r.prepareKeys("a=1 b=x a=2 a=3");
  for (const char* want : {"1", "2", "3", "1"}) EXPECT_EQ(r.getKey("a"), want);
  EXPECT_EQ(r.getKey("b"), "x");  // wraps from after the first a
  r.prepareKeys("a=9");
  EXPECT_EQ(r.getKey("a"), "9");  // prepare resets the position
}

TEST(KeyValues, FlagValuesRoundToNearestEven) {
  testing::ScriptedPrompts p;
  FieldReader r(&p);
  r.prepareKeys("a=0.5 b=1.5 c=0.6 d=abc e=-1 HIDE=1 f=1e999");
  for (const auto& [key, want] : {std::pair{"a", 0}, {"b", 1}, {"c", 1}, {"d", 0}, {"e", 1}, {"hide", 1}, {"exit", 0}})
    EXPECT_EQ(r.getFlag(key), want) << key;
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
