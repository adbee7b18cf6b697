// The glyphs drawn into pictures are FreeType's own: each string is rendered a second time
// here, straight through FreeType from the font file fontconfig names, and the pixels must
// agree (1-bit exactly; 8-bit as 255 minus the coverage).
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <string>

#include "base/text_codec.h"
#include "image/bitmap.h"
#include "kernels/glyphs.h"

namespace quillaro {
namespace {

std::string fontFile(const std::string& family, bool bold, bool italic) {
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* m = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  std::string file;
  FcChar8* s = nullptr;
  if (m && FcPatternGetString(m, FC_FILE, 0, &s) == FcResultMatch) file = reinterpret_cast<char*>(s);
  if (m) FcPatternDestroy(m);
  return file;
}

struct Style {
  const char* family;
  bool bold, italic, grey;
  double points;
  int dpi;
};

TEST(Glyphs, AgreeWithFreeTypesOwnRendering) {
  const std::string text = utf8ToCp1251("Quillaro Жук ёЩ 1942 &%@");
  const Style styles[] = {
      {"Liberation Sans", false, false, false, 10, 600}, {"Liberation Serif", true, false, false, 12, 1200},
      {"Liberation Mono", false, true, false, 9, 600},   {"Liberation Sans", false, false, true, 11, 600},
      {"Liberation Serif", true, true, true, 14, 600},
  };
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  for (const Style& st : styles) {
    FontRequest req{st.family, st.points, st.dpi, st.bold, st.italic, st.grey};
    std::string error;
    auto font = openFont(req, &error);
    ASSERT_TRUE(font) << st.family << error;
    const std::string file = fontFile(st.family, st.bold, st.italic);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(lib, file.c_str(), 0, &face), 0) << file;
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(st.points * 64), st.dpi, st.dpi);

    const int bits = st.grey ? 8 : 1;
    Bitmap ours = Bitmap::create(4000, 600, bits), theirs = Bitmap::create(4000, 600, bits);
    const int top = 100, gap = 12;  // a gap keeps antialiased edges of neighbours apart
    const int baseline = top + font->ascent();
    const ClipBox all{0, 0, 4000, 600};
    int pen = 20, refPen = 20;
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      font->drawChar(ours, pen, top, c, Rgb{}, all);
      pen += font->advance(c) + gap;
      ASSERT_EQ(FT_Load_Char(face, unicodeOf1251(c), st.grey ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO), 0);
      ASSERT_EQ(FT_Render_Glyph(face->glyph, st.grey ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO), 0);
      const FT_Bitmap& b = face->glyph->bitmap;
      for (unsigned r = 0; r < b.rows; ++r)
        for (unsigned i = 0; i < b.width; ++i) {
          const int x = refPen + face->glyph->bitmap_left + static_cast<int>(i);
          const int y = baseline - face->glyph->bitmap_top + static_cast<int>(r);
          const std::uint8_t* row = b.buffer + static_cast<long>(r) * b.pitch;
          if (st.grey) theirs.setGrey(x, y, static_cast<std::uint8_t>(255 - row[i]));
          else if (row[i >> 3] & (0x80 >> (i & 7))) theirs.setWhite(x, y, false);
        }
      refPen += static_cast<int>((face->glyph->advance.x + 32) >> 6) + gap;
    }
    EXPECT_EQ(pen, refPen) << st.family;
    long long differ = 0, ink = 0;
    for (int y = 0; y < ours.height; ++y)
      for (int x = 0; x < ours.width; ++x) {
        const bool d = st.grey ? ours.grey(x, y) != theirs.grey(x, y) : ours.isWhite(x, y) != theirs.isWhite(x, y);
        differ += d;
        ink += st.grey ? ours.grey(x, y) < 255 : !ours.isWhite(x, y);
      }
    EXPECT_GT(ink, 500) << st.family;
    EXPECT_EQ(differ, 0) << st.family << " bold " << st.bold << " italic " << st.italic << " grey " << st.grey;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
}

// Wine's Tahoma has no italic face: the slant is made, so an "l" leans (its ink spreads
// wider than the upright one's).
TEST(Glyphs, AStyleTheFaceLacksIsMade) {
  auto inkWidth = [](bool italic) {
    std::string error;
    auto font = openFont({"Tahoma", 40, 600, false, italic, false}, &error);
    Bitmap b = Bitmap::create(600, 600, 1);
    font->drawChar(b, 100, 50, 'l', Rgb{}, ClipBox{0, 0, 600, 600});
    int x0 = 600, x1 = -1;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 600; ++x)
        if (!b.isWhite(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x);
    return x1 - x0;
  };
  EXPECT_GT(inkWidth(true), 2 * inkWidth(false));
}

TEST(Glyphs, FindsTheStandardFamiliesAndNamesSubstitutes) {
  EXPECT_EQ(matchedFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(matchedFamily("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(matchedFamily("Courier New"), "Liberation Mono");
  EXPECT_EQ(matchedFamily("Tahoma"), "Tahoma");  // Wine's, from its own folder
  EXPECT_TRUE(familyAsIntended("Arial", "Liberation Sans"));
  EXPECT_FALSE(familyAsIntended("Nosuchfamily", matchedFamily("Nosuchfamily")));
  std::string error;
  struct Size {
    double points;
    int dpi;
  };
  for (const Size s : {Size{0, 600}, Size{0.5, 600}, Size{600.5, 600}, Size{300.5, 1200}, Size{5000, 600}}) {
    EXPECT_FALSE(openFont({"Arial", s.points, s.dpi, false, false, false}, &error)) << s.points;
    EXPECT_EQ(error, "size");
  }
}

}  // namespace
}  // namespace quillaro
