#include "kernels/glyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/text_codec.h"

namespace quillaro {
namespace {

// Folders of fonts that the system's font configuration may not list: Wine's fonts hold
// the Tahoma of the standard families.
constexpr const char* kExtraFontFolders[] = {"/usr/share/wine/fonts", "/usr/lib/wine/fonts",
                                             "/opt/wine/fonts"};

// Never destroyed: fonts kept until the process ends release their faces under it.
std::mutex& engineLock() {
  static auto* m = new std::mutex;
  return *m;
}

// FreeType and the font configuration, set up once for the process.
struct Engine {
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  Engine() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    config = FcInitLoadConfigAndFonts();
    if (config)
      for (const char* dir : kExtraFontFolders)
        FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(dir));
  }
};

Engine& engine() {
  static Engine e;
  return e;
}

struct Match {
  std::string file;
  int index = 0;
  std::string family;
};

Match findFace(const std::string& family, bool bold, bool italic) {
  Match m;
  Engine& e = engine();
  if (!e.config) return m;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(e.config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(e.config, pat, &result);
  FcPatternDestroy(pat);
  if (!found) return m;
  FcChar8* s = nullptr;
  if (FcPatternGetString(found, FC_FILE, 0, &s) == FcResultMatch) m.file = reinterpret_cast<char*>(s);
  if (FcPatternGetString(found, FC_FAMILY, 0, &s) == FcResultMatch) m.family = reinterpret_cast<char*>(s);
  int v = 0;
  if (FcPatternGetInteger(found, FC_INDEX, 0, &v) == FcResultMatch) m.index = v;
  FcPatternDestroy(found);
  return m;
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// One rendered glyph: its advance and its picture (1 bit per pixel, most significant bit
// first, or one coverage byte per pixel).
struct Glyph {
  bool ready = false;
  int advance = 0;
  int left = 0, top = 0;  // picture offset from the pen position and the baseline
  int width = 0, rows = 0, pitch = 0;
  std::vector<std::uint8_t> bits;
};

std::uint8_t blend(std::uint8_t dst, std::uint8_t ink, unsigned a) {
  return static_cast<std::uint8_t>((dst * (255u - a) + ink * a + 127u) / 255u);
}

class FtFont final : public Font {
public:
  FtFont(FT_Face face, const FontRequest& r, const Match& m) : face_(face), request_(r), family_(m.family) {
    // A style the face does not have itself is made: fontconfig reports such a match with
    // the requested weight and slant, so the face's own flags decide.
    fakeBold_ = r.bold && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
    fakeItalic_ = r.italic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC);
    const FT_Size_Metrics& sm = face_->size->metrics;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    // The line height of a font is its Windows ascent plus descent where the font has
    // them, as the page layouts that the program's lines come from were made with.
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent_ = ceil26(FT_MulFix(os2->usWinAscent, sm.y_scale));
      descent_ = ceil26(FT_MulFix(os2->usWinDescent, sm.y_scale));
    } else {
      ascent_ = ceil26(sm.ascender);
      descent_ = ceil26(-sm.descender);
    }
    const long thick = FT_MulFix(face_->underline_thickness, sm.y_scale);
    ruleThickness_ = std::max(1, static_cast<int>((thick + 32) >> 6));
    underline_ = static_cast<int>((-FT_MulFix(face_->underline_position, sm.y_scale) + 32) >> 6);
    if (os2 && os2->yStrikeoutSize > 0) {
      strikeout_ = static_cast<int>((FT_MulFix(os2->yStrikeoutPosition, sm.y_scale) + 32) >> 6);
      strikeThickness_ = std::max(1, static_cast<int>((FT_MulFix(os2->yStrikeoutSize, sm.y_scale) + 32) >> 6));
    } else {
      strikeout_ = ascent_ * 3 / 10;
      strikeThickness_ = ruleThickness_;
    }
    if (fakeBold_) embolden_ = FT_MulFix(face_->units_per_EM, sm.y_scale) / 24;
  }
  ~FtFont() override {
    std::lock_guard<std::mutex> g(engineLock());
    FT_Done_Face(face_);
  }

  const std::string& family() const override { return family_; }
  int lineHeight() const override { return ascent_ + descent_; }
  int ascent() const override { return ascent_; }
  int advance(unsigned char code) override { return glyph(code).advance; }

  void drawChar(Bitmap& pic, int x, int top, unsigned char code, Rgb ink, const ClipBox& clip) override {
    const Glyph& g = glyph(code);
    if (g.bits.empty()) return;
    const int gx = x + g.left;
    const int gy = top + ascent_ - g.top;
    const ClipBox c = clipTo(pic, clip);
    for (int r = 0; r < g.rows; ++r) {
      const int py = gy + r;
      if (py < c.y0 || py >= c.y1) continue;
      const std::uint8_t* src = g.bits.data() + static_cast<std::size_t>(r) * g.pitch;
      std::uint8_t* dst = pic.row(py);
      if (pic.bits == 1) monoRow(dst, src, g, gx, c);
      else greyRow(dst, src, g, gx, c, pic.bits, ink);
    }
  }

  void drawRule(Bitmap& pic, int x0, int x1, int top, bool strikeout, Rgb ink, const ClipBox& clip) override {
    const int thickness = strikeout ? strikeThickness_ : ruleThickness_;
    const int y0 = top + ascent_ - (strikeout ? strikeout_ : -underline_) - thickness / 2;
    const ClipBox c = clipTo(pic, clip);
    const int xa = std::max(x0, c.x0), xb = std::min(x1, c.x1);
    for (int y = std::max(y0, c.y0); y < std::min(y0 + thickness, c.y1); ++y) {
      std::uint8_t* row = pic.row(y);
      for (int x = xa; x < xb; ++x) {
        if (pic.bits == 1) setBitWhite(row, x, false);
        else if (pic.bits == 8) row[x] = ink.green;
        else { row[3 * x] = ink.blue; row[3 * x + 1] = ink.green; row[3 * x + 2] = ink.red; }
      }
    }
  }

private:
  static int ceil26(long v) { return static_cast<int>((v + 63) >> 6); }

  static ClipBox clipTo(const Bitmap& pic, const ClipBox& clip) {
    return {std::max(clip.x0, 0), std::max(clip.y0, 0), std::min(clip.x1, pic.width), std::min(clip.y1, pic.height)};
  }

  static void monoRow(std::uint8_t* dst, const std::uint8_t* src, const Glyph& g, int gx, const ClipBox& c) {
    if (gx >= c.x0 && gx + g.width <= c.x1) {
      // The whole row lies inside: the glyph's bits clear the picture's bits byte-wise.
      const int shift = gx & 7;
      std::uint8_t* d = dst + (gx >> 3);
      const int bytes = (g.width + 7) >> 3;
      for (int k = 0; k < bytes; ++k) {
        const unsigned s = src[k];
        if (!s) continue;
        d[k] &= static_cast<std::uint8_t>(~(s >> shift));
        if (shift) {
          const unsigned rest = (s << (8 - shift)) & 0xFFu;
          if (rest) d[k + 1] &= static_cast<std::uint8_t>(~rest);
        }
      }
      return;
    }
    for (int i = 0; i < g.width; ++i) {
      const int px = gx + i;
      if (px < c.x0 || px >= c.x1) continue;
      if (src[i >> 3] & (0x80u >> (i & 7))) setBitWhite(dst, px, false);
    }
  }

  static void greyRow(std::uint8_t* dst, const std::uint8_t* src, const Glyph& g, int gx, const ClipBox& c,
                      int bits, Rgb ink) {
    const int i0 = std::max(0, c.x0 - gx), i1 = std::min(g.width, c.x1 - gx);
    for (int i = i0; i < i1; ++i) {
      const unsigned a = src[i];
      if (!a) continue;
      const int px = gx + i;
      if (bits == 8) {
        dst[px] = blend(dst[px], ink.green, a);
      } else {
        std::uint8_t* p = dst + 3 * px;
        p[0] = blend(p[0], ink.blue, a);
        p[1] = blend(p[1], ink.green, a);
        p[2] = blend(p[2], ink.red, a);
      }
    }
  }

  const Glyph& glyph(unsigned char code) {
    Glyph& g = glyphs_[code];
    if (g.ready) return g;
    g.ready = true;
    std::lock_guard<std::mutex> lock(engineLock());
    const char32_t u = unicodeOf1251(code);
    if (u == 0 || code == '\t' || code == '\r' || code == '\n') return g;
    if (fakeItalic_) {
      FT_Matrix shear{0x10000, 0x5800 /* tan 19 degrees */, 0, 0x10000};
      FT_Set_Transform(face_, &shear, nullptr);
    }
    const FT_Int32 flags = request_.antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    const FT_Error err = FT_Load_Char(face_, u, FT_LOAD_DEFAULT | flags);
    if (fakeItalic_) FT_Set_Transform(face_, nullptr, nullptr);
    if (err != 0) return g;
    FT_GlyphSlot slot = face_->glyph;
    if (fakeBold_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Embolden(&slot->outline, embolden_);
      slot->advance.x += embolden_;
    }
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, request_.antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return g;
    const FT_Bitmap& b = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(b.width);
    g.rows = static_cast<int>(b.rows);
    g.pitch = request_.antialiased ? g.width : (g.width + 7) / 8;
    g.bits.assign(static_cast<std::size_t>(g.pitch) * g.rows, 0);
    for (int r = 0; r < g.rows; ++r) {
      const std::uint8_t* srow = b.buffer + static_cast<std::ptrdiff_t>(r) * b.pitch;
      std::memcpy(g.bits.data() + static_cast<std::size_t>(r) * g.pitch, srow, static_cast<std::size_t>(g.pitch));
    }
    if (g.rows == 0 || g.width == 0) g.bits.clear();
    return g;
  }

  FT_Face face_;
  FontRequest request_;
  std::string family_;
  bool fakeBold_ = false, fakeItalic_ = false;
  long embolden_ = 0;
  int ascent_ = 0, descent_ = 0;
  int underline_ = 0, ruleThickness_ = 1, strikeout_ = 0, strikeThickness_ = 1;
  std::array<Glyph, 256> glyphs_{};
};

}  // namespace

char32_t unicodeOf1251(unsigned char code) {
  static const std::array<char32_t, 256> table = [] {
    std::array<char32_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
      const char byte = static_cast<char>(c);
      const std::string u = cp1251ToUtf8(std::string_view(&byte, 1));
      const auto* s = reinterpret_cast<const unsigned char*>(u.data());
      char32_t v = 0;
      if (u.size() == 1) v = s[0];
      else if (u.size() == 2) v = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
      else if (u.size() == 3) v = ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
      t[static_cast<std::size_t>(c)] = (c == 152) ? 0 : v;
    }
    return t;
  }();
  return table[code];
}

std::string matchedFamily(const std::string& family) {
  std::lock_guard<std::mutex> g(engineLock());
  return findFace(family, false, false).family;
}

bool familyAsIntended(const std::string& requested, const std::string& used) {
  const std::string r = lower(requested), u = lower(used);
  if (r == u) return true;
  return (r == "arial" && u == "liberation sans") || (r == "times new roman" && u == "liberation serif") ||
         (r == "courier new" && u == "liberation mono");
}

std::shared_ptr<Font> openFont(const FontRequest& request, std::string* error) {
  static std::vector<std::pair<FontRequest, std::shared_ptr<Font>>> kept;  // most recent first
  if (!(request.points >= kMinFontPoints && request.points <= maxFontPoints(request.dpi))) {
    if (error) *error = "size";
    return nullptr;
  }
  std::unique_lock<std::mutex> lock(engineLock());
  for (std::size_t i = 0; i < kept.size(); ++i)
    if (kept[i].first == request) {
      std::rotate(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(i), kept.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      return kept.front().second;
    }
  Engine& e = engine();
  if (!e.library) {
    if (error) *error = "engine";
    return nullptr;
  }
  const Match m = findFace(request.family, request.bold, request.italic);
  FT_Face face = nullptr;
  if (m.file.empty() || FT_New_Face(e.library, m.file.c_str(), m.index, &face) != 0) {
    if (error) *error = "font";
    return nullptr;
  }
  const auto size26 = static_cast<FT_F26Dot6>(std::lround(request.points * 64));
  if (FT_Set_Char_Size(face, 0, size26, static_cast<FT_UInt>(request.dpi), static_cast<FT_UInt>(request.dpi)) != 0) {
    FT_Done_Face(face);
    if (error) *error = "font";
    return nullptr;
  }
  lock.unlock();
  auto font = std::make_shared<FtFont>(face, request, m);
  lock.lock();
  kept.insert(kept.begin(), {request, font});
  std::shared_ptr<Font> dropped;
  if (kept.size() > 4) {
    dropped = std::move(kept.back().second);
    kept.pop_back();
  }
  lock.unlock();  // a dropped font releases its face under the lock
  dropped.reset();
  return font;
}

}  // namespace quillaro
