#include "base/text_codec.h"

#include <array>

namespace quillaro {
namespace {

// Unicode code points of Windows-1251 bytes 128..255 (152 is unassigned: kept as U+0098).
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  std::size_t n;
  if (b0 < 0x80) { c = b0; return 1; }
  if ((b0 & 0xE0) == 0xC0) { n = 2; c = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { n = 3; c = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { n = 4; c = b0 & 0x07; }
  else return 0;
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  return n;
}

int cp1251Code(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x410 && c <= 0x44F) return static_cast<int>(0xC0 + (c - 0x410));
  for (std::size_t k = 0; k < kHigh.size(); ++k)
    if (kHigh[k] == c) return static_cast<int>(0x80 + k);
  return -1;
}

std::string cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
      out += ch;
    else
      appendUtf8(out, kHigh[b - 0x80]);
  }
  return out;
}

std::string utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c;
    const std::size_t n = decodeUtf8(text, i, c);
    if (n == 0) {  // not UTF-8: keep the byte as it is
      out += text[i++];
      continue;
    }
    i += n;
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const int code = cp1251Code(c);
    out += code < 0 ? '?' : static_cast<char>(code);
  }
  return out;
}

std::size_t utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char ch : text)
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
  return n;
}

namespace {
bool continuationByte(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }
}  // namespace

std::size_t utf8Offset(std::string_view text, std::size_t chars) {
  std::size_t i = 0;
  for (; i < text.size() && chars > 0; --chars) {
    ++i;
    while (i < text.size() && continuationByte(text[i])) ++i;
  }
  return i;
}

std::size_t utf8OffsetFromEnd(std::string_view text, std::size_t chars) {
  std::size_t i = text.size();
  for (; i > 0 && chars > 0; --chars) {
    --i;
    while (i > 0 && continuationByte(text[i])) --i;
  }
  return i;
}

std::string toCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (ch == '\n') {
      out += "\r\n";
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace quillaro
