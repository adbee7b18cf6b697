#include "base/tables.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace quillaro {
namespace {

constexpr std::string_view kMaskLevels =
    "0000,0008,0208,020A,0A0A,0A4A,1A4A,1A5A,5A5A,5A5E,5B5E,5B5F,5F5F,5FDF,7FDF,7FFF";

// Windows-1251 characters 128..255 as their UTF-8 bytes read back in Windows-1251.
// The invisible characters U+0098, U+00A0 and U+00AD are written as escapes.
constexpr std::string_view kUtf8Sequences =
    "Р‚,Рѓ,вЂљ,С“,вЂћ,вЂ¦,вЂ" "\xC2\xA0" ",вЂЎ,"
    "в‚¬,вЂ°,Р‰,вЂ№,РЉ,РЊ,Р‹,РЏ,"
    "С’,вЂ" "\xC2\x98" ",вЂ™,вЂњ,вЂќ,вЂў,вЂ“,вЂ”,"
    "В" "\xC2\x98" ",в„ў,С™,вЂє,Сљ,Сњ,С›,Сџ,"
    "&nbsp;,РЋ,Сћ,Р€,В¤,Тђ,В¦,В§,"
    "РЃ,В©,Р„,В«,В¬,&shy;,В®,Р‡,"
    "В°,В±,Р†,С–,Т‘,Вµ,В¶,В·,"
    "С‘,в„–,С”,В»,С" "\xC2\x98" ",Р…,С•,С—,"
    "Рђ,Р‘,Р’,Р“,Р”,Р•,Р–,Р—,"
    "Р" "\xC2\x98" ",Р™,Рљ,Р›,Рњ,Рќ,Рћ,Рџ,"
    "Р" "\xC2\xA0" ",РЎ,Рў,РЈ,Р¤,РҐ,Р¦,Р§,"
    "РЁ,Р©,РЄ,Р«,Р¬,Р" "\xC2\xAD" ",Р®,РЇ,"
    "Р°,Р±,РІ,Рі,Рґ,Рµ,Р¶,Р·,"
    "Рё,Р№,Рє,Р»,Рј,РЅ,Рѕ,Рї,"
    "СЂ,СЃ,С‚,Сѓ,С„,С…,С†,С‡,"
    "С€,С‰,СЉ,С‹,СЊ,СЌ,СЋ,СЏ";

// Red, green, blue of colours 0..11; each item v gives the component clamp(v * 128, 0, 255).
constexpr std::string_view kSwatches =
    "2,0,2,2,0,1, 2,0,0,2,1,0,2,2,0,1,2,0, 0,2,0,0,2,1,0,2,2,0,1,2, 0,0,2,1,0,2";

std::vector<std::string_view> splitAtCommas(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      items.push_back(text.substr(start));
      return items;
    }
    items.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

int smallInteger(std::string_view item) {
  int v = 0;
  for (char c : item)
    if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
  return v;
}

Tables build() {
  Tables t;
  for (int p = 0; p < 8; ++p) {
    t.bitMask[p] = static_cast<std::uint8_t>(128 >> p);
    t.clearMask[p] = static_cast<std::uint8_t>(255 - t.bitMask[p]);
    t.tailMask[p] = static_cast<std::uint8_t>(255 >> p);
    t.headMask[p] = static_cast<std::uint8_t>(255 - t.tailMask[p]);
    t.pairMask[p] = p < 7 ? (192 >> p) : 1;
  }
  for (int b = 0; b < 256; ++b) {
    int r = 0;
    for (int q = 0; q < 8; ++q)
      if (b & (1 << q)) r |= 1 << (7 - q);
    t.bitReverse[b] = static_cast<std::uint8_t>(r);
  }
  t.greySteps = {packColour(255, 255, 255), packColour(192, 192, 192), packColour(128, 128, 128),
                 packColour(64, 64, 64), packColour(0, 0, 0)};
  t.markerColours = {packColour(255, 0, 0), packColour(255, 255, 0), packColour(0, 255, 0),
                     packColour(0, 0, 255)};
  t.columnAlign.fill(4);

  auto levels = splitAtCommas(kMaskLevels);
  for (std::size_t p = 0; p < t.maskLevels.size() && p < levels.size(); ++p)
    t.maskLevels[p] = std::string(levels[p]);

  auto sequences = splitAtCommas(kUtf8Sequences);
  for (std::size_t p = 0; p < t.utf8Sequences.size() && p < sequences.size(); ++p)
    t.utf8Sequences[p] = std::string(sequences[p]);

  auto items = splitAtCommas(kSwatches);
  for (int i = 0; i < 12; ++i) {
    int c[3];
    for (int k = 0; k < 3; ++k) {
      std::size_t n = static_cast<std::size_t>(3 * i + k);
      int v = n < items.size() ? smallInteger(items[n]) : 0;
      c[k] = std::clamp(v * 128, 0, 255);
    }
    t.swatches[0][i] = packColour(c[0], c[1], c[2]);
    if (i % 2 == 0) {
      t.swatches[1][i] = packColour(std::max(c[0], 128), std::max(c[1], 128), std::max(c[2], 128));
      t.swatches[1][i + 1] =
          packColour(std::min(c[0], 128), std::min(c[1], 128), std::min(c[2], 128));
    }
  }
  // Column 12 stays black in both rows (value-initialised above).
  return t;
}

}  // namespace

const Tables& tables() {
  static const Tables instance = build();
  return instance;
}

}  // namespace quillaro
