#pragma once
// Text files on disk are Windows-1251 with CR LF; inside the program text is UTF-8.
#include <string>
#include <string_view>

namespace quillaro {

// Windows-1251 bytes to UTF-8 (byte 152, unassigned, becomes U+0098).
std::string cp1251ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1251; characters without a Windows-1251 code become "?".
// Malformed UTF-8 bytes are taken as Windows-1251 bytes unchanged.
std::string utf8ToCp1251(std::string_view text);
// Number of characters (code points) of a UTF-8 text.
std::size_t utf8Length(std::string_view text);
// Byte offset of character `chars` of a UTF-8 text (its size when the text is shorter).
std::size_t utf8Offset(std::string_view text, std::size_t chars);
// Byte offset of the character `chars` characters before the end (0 when the text is
// shorter).
std::size_t utf8OffsetFromEnd(std::string_view text, std::size_t chars);
// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t c);
// Decodes one UTF-8 sequence at text[i] into c; returns its length, 0 when malformed.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c);
// The Windows-1251 code of a code point, -1 when it has none.
int cp1251Code(char32_t c);
// Lone LF (and lone CR) line ends become CR LF; CR LF stays.
std::string toCrLf(std::string_view text);

}  // namespace quillaro
