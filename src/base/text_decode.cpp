#include "base/text_decode.h"

#include <algorithm>
#include <cctype>

#include "base/text_codec.h"

namespace quillaro {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kSampleCharacters = 5;

bool startsWithBom(std::string_view bytes) { return bytes.substr(0, 3) == kByteOrderMark; }

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// An HTML file that says it is UTF-8 within its first 1000 bytes.
bool htmlDeclaresUtf8(std::string_view bytes, std::string_view fileName) {
  const auto dot = fileName.rfind('.');
  const auto slash = fileName.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) return false;
  if (lowerAscii(fileName.substr(dot + 1)).find("htm") == std::string::npos) return false;
  return lowerAscii(bytes.substr(0, 1000)).find("utf-8") != std::string::npos;
}

void noteUnstorable(DecodedText& out, std::string_view character) {
  if (++out.unstorable <= kSampleCharacters) out.unstorableSample += character;
}

DecodedText decodeUtf8Bytes(std::string_view bytes) {
  DecodedText out;
  out.fromUtf8 = true;
  std::string& text = out.text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c;
    const std::size_t n = decodeUtf8(bytes, i, c);
    if (n == 0) {
      // "Р" is D0 A0; a no-break space A0 that became a blank leaves D0 followed by one.
      if (static_cast<unsigned char>(bytes[i]) == 0xD0 && i + 1 < bytes.size() && bytes[i + 1] == ' ') {
        text += "Р";
        i += 2;
      } else {
        ++out.droppedBytes;
        ++i;
      }
      continue;
    }
    const std::string_view character = bytes.substr(i, n);
    i += n;
    if (c == 0xFEFF || c == 0xAD) continue;  // byte order mark, soft hyphen
    if (cp1251Code(c) < 0) noteUnstorable(out, character);
    text += character;
  }
  return out;
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes) {
  bool high = false;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c;
    const std::size_t n = decodeUtf8(bytes, i, c);
    if (n == 0) return false;
    // Overlong forms and surrogates are not UTF-8 a program would write.
    if ((n == 2 && c < 0x80) || (n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
      return false;
    high = high || n > 1;
    i += n;
  }
  return high;
}

DecodedText decodeTextFile(std::string_view bytes, std::string_view fileName, EncodingSwitches switches) {
  const bool utf8 = !switches.win1251 && (switches.utf8 || startsWithBom(bytes) ||
                                           htmlDeclaresUtf8(bytes, fileName) || looksLikeUtf8(bytes));
  if (utf8) return decodeUtf8Bytes(bytes);
  DecodedText out;
  out.text = cp1251ToUtf8(bytes);
  return out;
}

std::size_t countUnstorable(std::string_view text, std::string* sample) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c;
    std::size_t n = decodeUtf8(text, i, c);
    if (n == 0) n = 1;  // a stray byte is stored as it is
    else if (cp1251Code(c) < 0 && ++count <= kSampleCharacters && sample) *sample += text.substr(i, n);
    i += n;
  }
  return count;
}

}  // namespace quillaro
