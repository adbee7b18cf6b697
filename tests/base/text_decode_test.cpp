#include "base/text_decode.h"

#include <gtest/gtest.h>

#include "base/text_codec.h"

namespace quillaro {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

TEST(TextDecodeTest, DecoderCases) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* name;
    EncodingSwitches switches;
    std::string text;
    bool fromUtf8;
  };
  const std::string word = "Привет";  // 12 bytes of UTF-8
  const std::string wordCp1251 = utf8ToCp1251(word);
  const Case cases[] = {
      {"six-letter word, no mark", word, "a.txt", {}, word, true},
      {"byte order mark disappears", kBom + word, "a.txt", {}, word, true},
      {"UTF-8 switch", word, "a.txt", {false, true}, word, true},
      {"Win-1251 switch wins over the mark", kBom + "ab", "a.txt", {true, true}, cp1251ToUtf8(kBom) + "ab", false},
      {"Win-1251 switch keeps UTF-8 bytes as letters", word, "a.txt", {true, false}, cp1251ToUtf8(word), false},
      {"soft hyphen disappears", "пере\xC2\xADнос", "a.txt", {}, "перенос", true},
      {"no-break space stays", "a\xC2\xA0" "b", "a.txt", {}, "a\xC2\xA0" "b", true},
      {"lead byte of Р before a blank", kBom + "\xD0 " "ис", "a.txt", {}, "Рис", true},
      {"ASCII unchanged", "plain text\r\n", "a.txt", {}, "plain text\r\n", false},
      {"Windows-1251 text stays Windows-1251", wordCp1251, "a.txt", {}, word, false},
      {"html page declaring utf-8", "<meta charset=UTF-8>\xD0\xAF\xFF", "p.HTM", {}, "<meta charset=UTF-8>Я", true},
      {"same bytes in a .txt", "<meta charset=UTF-8>\xD0\xAF\xFF", "p.txt", {}, cp1251ToUtf8("<meta charset=UTF-8>\xD0\xAF\xFF"), false},
      {"empty file", "", "a.txt", {}, "", false},
  };
  for (const Case& c : cases) {
    const DecodedText d = decodeTextFile(c.bytes, c.name, c.switches);
    EXPECT_EQ(d.text, c.text) << c.what;
    EXPECT_EQ(d.fromUtf8, c.fromUtf8) << c.what;
  }
}

TEST(TextDecodeTest, CharactersWindows1251CannotStoreAreKeptAndCounted) {
  const DecodedText d = decodeTextFile(kBom + "α + β = γ, €", "a.txt", {});
  EXPECT_EQ(d.text, "α + β = γ, €");
  EXPECT_EQ(d.unstorable, 3u);  // the euro sign has a Windows-1251 code
  EXPECT_EQ(d.unstorableSample, "αβγ");
  std::string sample;
  EXPECT_EQ(countUnstorable(d.text, &sample), 3u);
  EXPECT_EQ(countUnstorable("Привет, €"), 0u);
}

TEST(TextDecodeTest, MalformedBytesOfAUtf8FileAreDroppedAndCounted) {
  const DecodedText d = decodeTextFile(kBom + "a\xFF" "b\xD0", "a.txt", {});
  EXPECT_EQ(d.text, "ab");
  EXPECT_EQ(d.droppedBytes, 2u);
  EXPECT_FALSE(looksLikeUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(looksLikeUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(looksLikeUtf8("ascii only"));
}

}  // namespace
}  // namespace quillaro
