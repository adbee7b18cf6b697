// The Windows-1251 codec, the number reader and writer, comma fields and key values.
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "base/fields.h"
#include "base/text_codec.h"
#include "fuzz_targets.h"

namespace quillaro::fuzz {

int textAndNumbers(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Every byte has a character and comes back.
  const std::string utf8 = cp1251ToUtf8(bytes);
  if (utf8ToCp1251(utf8) != bytes) fail("Windows-1251 bytes do not come back");
  if (utf8Length(utf8) != size) fail("one character per Windows-1251 byte");
  // Any bytes taken as UTF-8: offsets stay inside the text.
  const std::string back = utf8ToCp1251(bytes);
  if (back.size() > size) fail("UTF-8 to Windows-1251 grew");
  const std::size_t chars = utf8Length(bytes);
  if (utf8Offset(bytes, chars / 2) > size || utf8OffsetFromEnd(bytes, chars / 3) > size) fail("offset outside the text");
  const std::string crlf = toCrLf(bytes);
  for (std::size_t i = 0; i < crlf.size(); ++i) {
    if (crlf[i] == '\r' && (i + 1 == crlf.size() || crlf[i + 1] != '\n')) fail("a lone CR after toCrLf");
    if (crlf[i] == '\n' && (i == 0 || crlf[i - 1] != '\r')) fail("a lone LF after toCrLf");
  }
  if (toCrLf(crlf) != crlf) fail("toCrLf twice changes the text");

  // Numbers: what the reader reads, the writer writes so that the reader reads it again.
  const double v = parseNumber(bytes);
  if (!std::isfinite(v) || std::fabs(v) >= 1e8) fail("the number reader gave a value it never gives");
  isNumeric(bytes);
  double raw = 0;
  if (size >= sizeof raw) std::memcpy(&raw, data, sizeof raw);
  for (int decimals = 1; decimals <= 5; ++decimals) {
    const std::string text = formatNumber(v, decimals);
    const double again = parseNumber(text);
    if (std::fabs(again - v) > std::pow(10.0, -decimals) + 1e-7) fail("a written number reads back as another");
    formatNumber(raw, decimals);  // any double, NaN and infinities too
  }

  // Comma fields and key values never read outside the line.
  FieldReader reader;
  reader.setLine(utf8);
  for (std::size_t i = 0; i <= utf8.size() && (reader.nextField() || i < utf8.size()); ++i) reader.fieldValue();
  reader.prepareKeys(utf8);
  for (const char* key : {"SRC", "BW", "FS", "X", "TEXT"}) {
    reader.getKey(key);
    reader.getFlag(key);
  }
  return 0;
}

}  // namespace quillaro::fuzz

QUILLARO_FUZZ_ENTRY(textAndNumbers)
