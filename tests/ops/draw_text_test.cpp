// Text drawn through the operation and through action programs: what is recorded, what is
// left, continued texts, bad input, clipping, and record -> replay giving the same pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "automation/composition.h"
#include "automation/runner.h"
#include "image/bitmap.h"
#include "kernels/glyphs.h"
#include "model/workspace.h"
#include "ops/draw_text.h"
#include "support/scripted_prompts.h"
#include "support/status_log.h"

namespace quillaro {
namespace {

struct Session {
  testing::ScriptedPrompts prompts;
  testing::StatusLog status;
  Workspace ws{&prompts, &status};
  explicit Session(int bits = 1, int width = 2400, int height = 1800) {
    connectWorkspace(ws);
    ws.params.setChb(check::kRemind, false);
    ws.params.setTz(text::kProgram, "", false);
    picture(bits, width, height);
  }
  void picture(int bits, int width, int height) {
    ws.image.bitmap = Bitmap::create(width, height, bits);
    ws.image.loaded = true;
    ws.shared.bitDepth = bits;
  }
  void rect(const char* l, const char* t, const char* w, const char* h) {
    ws.params.setTn(field::kDrawLeft, l);
    ws.params.setTn(field::kDrawTop, t);
    ws.params.setTn(field::kDrawWidth, w);
    ws.params.setTn(field::kDrawHeight, h);
  }
  const std::string& program() const { return ws.params.tz(text::kProgram); }
};

long long inkCount(const Bitmap& b, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
  if (x1 < 0) x1 = b.width;
  if (y1 < 0) y1 = b.height;
  long long n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      n += b.bits == 1 ? !b.isWhite(x, y) : b.bits == 8 ? b.grey(x, y) < 255 : !(b.rgb(x, y) == Rgb{255, 255, 255});
  return n;
}

bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height || a.bits != b.bits) return false;
  for (int y = 0; y < a.height; ++y)
    if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.rowBytes)) != 0) return false;
  return true;
}

int lineHeightOf(const char* family, double points, bool antialiased = false) {
  FontRequest r;
  r.family = family;
  r.points = points;
  r.antialiased = antialiased;
  std::string error;
  auto f = openFont(r, &error);
  return f ? f->lineHeight() : 0;
}

TEST(DrawText, ThreeParagraphsIntoTwoLinesRecordOnlyWhatWasDrawn) {
  Session s;
  const int lh = lineHeightOf("Arial", 10);
  ASSERT_GT(lh, 0);
  s.rect("10", "10", "80", "9");  // 9 mm = 212 dots: two lines of about 96 dots fit
  ASSERT_LT(2 * lh, 212);
  ASSERT_GT(3 * lh, 212);
  s.ws.params.setTn(field::kFontSize, "10");
  s.ws.params.setTz(text::kBody, "Один\r\nДва\r\nТри");
  ASSERT_TRUE(drawText(s.ws));
  EXPECT_EQ(s.ws.params.tz(text::kBody), "Три");
  EXPECT_NE(s.program().find("X, 10, 10, 80, 9, FS=10 <TEXT>Один\r\nДва</TEXT>"), std::string::npos) << s.program();
  ASSERT_EQ(s.prompts.shown.size(), 1u);  // the user was asked about the rest
  EXPECT_EQ(s.prompts.shown[0].text, "Недостаточно места.\r\nНарисовать то, что поместится ?");
  // No to that question draws nothing.
  Session t;
  t.rect("10", "10", "80", "9");
  t.ws.params.setTn(field::kFontSize, "10");
  t.ws.params.setTz(text::kBody, "Один\r\nДва\r\nТри");
  t.prompts.answers.push_back(Answer::No);
  EXPECT_FALSE(drawText(t.ws));
  EXPECT_EQ(inkCount(t.ws.image.bitmap), 0);
  EXPECT_EQ(t.program(), "");
}

TEST(DrawText, XThenXMinusContinuesOnTheSameLine) {
  Session s;
  ASSERT_EQ(runText(s.ws, "X, 10, 10, 150, 30, FS=20 <TEXT>abc</TEXT>\r\n"), RunEnd::Finished);
  const int endX = s.ws.actions.textEndX, baseline = s.ws.actions.textEndBaseline;
  const long long first = inkCount(s.ws.image.bitmap);
  ASSERT_GT(first, 0);
  ASSERT_EQ(runText(s.ws, "X, 10, 10, 150, 30, FS=20 <TEXT>abc</TEXT>\r\nX-, FA=B <TEXT>def</TEXT>\r\n"),
            RunEnd::Finished);
  EXPECT_EQ(s.ws.actions.textEndBaseline, baseline);
  EXPECT_GT(s.ws.actions.textEndX, endX);
  // The bold letters lie right of the first text, on its line.
  const int lh = lineHeightOf("Arial", 20);
  EXPECT_GT(inkCount(s.ws.image.bitmap, endX, baseline - lh, s.ws.actions.textEndX, baseline + lh / 3), 0);
  EXPECT_EQ(inkCount(s.ws.image.bitmap, endX, baseline + lh / 3, s.ws.image.bitmap.width, s.ws.image.bitmap.height), 0);
}

TEST(DrawText, BadInputIsToldAndDrawsNothing) {
  struct Case {
    const char* text;
    const char* size;
    const char* left;
    const char* message;  // part of the message shown
  };
  const Case cases[] = {
      {"Смайлик ☺", "10", "10", "Windows-1251"},
      {"Текст", "0", "10", "Размер шрифта 0"},
      {"Текст", "5000", "10", "Размер шрифта 5000"},
      {"Текст", "10", "300", "вне рисунка"},
  };
  for (const Case& c : cases) {
    Session s;
    s.rect(c.left, "10", "50", "20");
    s.ws.params.setTn(field::kFontSize, c.size);
    s.ws.params.setTz(text::kBody, c.text);
    EXPECT_FALSE(drawText(s.ws)) << c.message;
    ASSERT_EQ(s.prompts.shown.size(), 1u) << c.message;
    EXPECT_NE(s.prompts.shown[0].text.find(c.message), std::string::npos) << s.prompts.shown[0].text;
    EXPECT_EQ(inkCount(s.ws.image.bitmap), 0) << c.message;
    EXPECT_EQ(s.program(), "") << c.message;
    EXPECT_EQ(s.ws.params.tz(text::kBody), c.text);
  }
}

TEST(DrawText, AFamilyNotInstalledIsNamedInTheStatus) {
  Session s;
  s.rect("10", "10", "80", "20");
  s.ws.params.setHeld(Held::FontFamily, "Nosuchfamily Sans");
  s.ws.params.setTn(field::kFontSize, "12");
  s.ws.params.setTz(text::kBody, "Проба");
  ASSERT_TRUE(drawText(s.ws));
  ASSERT_FALSE(s.status.texts.empty());
  EXPECT_NE(s.status.texts.back().find("\"Nosuchfamily Sans\" не установлен, рисуется \"" +
                                       matchedFamily("Nosuchfamily Sans") + "\""),
            std::string::npos)
      << s.status.texts.back();
  EXPECT_NE(s.program().find("FN=\"Nosuchfamily Sans\""), std::string::npos);
}

TEST(DrawText, PiecesGoIntoCellsAndThoseWithoutACellAreTold) {
  Session s;
  s.rect("5", "5", "60", "30");
  s.ws.params.setTn(field::kFontSize, "12");
  s.ws.params.setOption(OptionGroup::Placement, 1);  // column: pieces at line breaks into rows
  s.ws.params.setTn(field::kDown, "2");
  s.ws.params.setTz(text::kBody, "один\r\nдва\r\nтри");
  ASSERT_TRUE(drawText(s.ws));
  EXPECT_EQ(s.status.texts.back(), "Нет свободной ячейки");
  const std::vector<TextCell> cells = equalCells({118, 118, 1417, 709}, 1, 2);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[1].top, 118 + 354);  // half of 709 rounds to even
  EXPECT_GT(inkCount(s.ws.image.bitmap, 0, cells[0].top, 2400, cells[0].top + cells[0].height), 0);
  EXPECT_GT(inkCount(s.ws.image.bitmap, 0, cells[1].top, 2400, cells[1].top + cells[1].height), 0);
  EXPECT_NE(s.program().find(", 2, TA=C FS=12 <TEXT>один\r\nдва\r\nтри</TEXT>"), std::string::npos)
      << s.program();
}

TEST(DrawText, ClipsAtThePictureEdges) {
  for (const int bits : {1, 8, 24}) {
    Session s(bits, 1003, 501);  // 42.5 x 21.2 mm, a width that is no multiple of 8
    s.rect("-3", "-2", "60", "30");
    s.ws.params.setTn(field::kFontSize, "40");
    s.ws.params.setTz(text::kBody, "Жук WWW");
    ASSERT_TRUE(drawText(s.ws)) << bits;
    EXPECT_GT(inkCount(s.ws.image.bitmap), 0) << bits;
    EXPECT_TRUE(s.prompts.shown.empty() || s.prompts.shown[0].buttons == Buttons::YesNo) << bits;
  }
}

TEST(DrawText, RecordedSessionsReplayToTheSamePixels) {
  for (const int bits : {1, 8, 24}) {
    Session rec(bits);
    ParamStore& p = rec.ws.params;
    rec.rect("5", "5", "90", "60");
    p.setTn(field::kFontSize, "14");
    p.setListIndex(ListSel::ListFontName, 3);
    p.setChb(check::kItalic, true);
    p.setChb(check::kUnderline, true);
    p.setOption(OptionGroup::HAlign, 3);
    p.setTn(field::kRed, "200");
    p.setTz(text::kBody, "Съешь же ещё этих мягких французских булок, да выпей чаю. The quick brown fox.");
    ASSERT_TRUE(drawText(rec.ws)) << bits;
    p.setChb(check::kItalic, false);
    p.setChb(check::kUnderline, false);
    p.setChb(check::kBold, true);
    p.setChb(check::kStrikeOut, true);
    p.setOption(OptionGroup::HAlign, 2);
    p.setOption(OptionGroup::VAlign, 1);
    p.setListIndex(ListSel::ListFontName, 2);
    rec.rect("5", "40", "90", "30");
    p.setTz(text::kBody, "Tahoma: жирный, зачёркнутый");
    ASSERT_TRUE(drawText(rec.ws)) << bits;
    rec.ws.actions.fontAttributesOnly = true;
    p.setTz(text::kBody, " и дальше");
    ASSERT_TRUE(drawText(rec.ws)) << bits;
    rec.ws.actions.fontAttributesOnly = false;

    Session play(bits);
    ASSERT_EQ(runText(play.ws, rec.program()), RunEnd::Finished) << rec.program();
    EXPECT_GT(inkCount(play.ws.image.bitmap), 1000) << bits;
    EXPECT_TRUE(samePixels(rec.ws.image.bitmap, play.ws.image.bitmap)) << bits << "\n" << rec.program();
  }
}

}  // namespace
}  // namespace quillaro
