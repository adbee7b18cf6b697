#pragma once
// Text files read from disk: Windows-1251 bytes, or UTF-8 (with or without a byte order
// mark) turned into the program's own UTF-8 text, with what Windows-1251 cannot store
// counted so the user can be told before a save would lose it.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillaro {

// The encoding switches of the text panel: "Win-1251" ChB(71) and "UTF-8" ChB(72).
struct EncodingSwitches {
  bool win1251 = false;  // never decode as UTF-8
  bool utf8 = false;     // always decode as UTF-8 (unless win1251)
};

struct DecodedText {
  std::string text;                 // UTF-8
  bool fromUtf8 = false;            // the bytes were read as UTF-8
  std::size_t unstorable = 0;       // characters Windows-1251 has no code for
  std::string unstorableSample;     // the first few of them
  std::size_t droppedBytes = 0;     // bytes that were not UTF-8 and were left out
};

// True when the bytes are well-formed UTF-8 and hold at least one byte of 128 or more.
bool looksLikeUtf8(std::string_view bytes);

// Decodes a text file. The bytes are read as UTF-8 unless "Win-1251" is on, when "UTF-8"
// is on, the text starts with the byte order mark, the file's extension contains "htm"
// and its first 1000 bytes contain "utf-8" (any case), or the bytes are well-formed UTF-8
// with some non-ASCII byte. Otherwise they are Windows-1251 and come through unchanged.
// Read as UTF-8: the byte order mark and soft hyphens (U+00AD) disappear; "Р" followed by
// a blank (the lead byte 0xD0 whose no-break-space continuation became a blank) gives "Р";
// other malformed bytes are dropped and counted; characters without a Windows-1251 code are
// kept and counted.
DecodedText decodeTextFile(std::string_view bytes, std::string_view fileName,
                           EncodingSwitches switches);

// Characters of a UTF-8 text that Windows-1251 cannot store (they would be saved as "?").
std::size_t countUnstorable(std::string_view text, std::string* sample = nullptr);

}  // namespace quillaro
