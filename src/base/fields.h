#pragma once
// Layer base: numbers and their text, the text codec, files, ports and the shared tables.
// It depends on the standard library only; every other layer builds on it.
//
// Reading comma fields, key values ("KEY=value") and numbers from every text the program
// reads as data: action-program lines, the copy and text records, the settings file and
// the command line. One reading state is shared by all callers; a caller prepares it,
// reads from it and leaves it.
#include <string>
#include <string_view>

namespace quillaro {

class Prompts;

// The program-wide number reader: the longest leading decimal number of the text (blanks
// before and inside it skipped, "." the decimal point, optional exponent); the rest is
// ignored, a text without a leading number is 0, magnitudes of 1e8 or more are 0. A number
// that cannot be converted (overflow) shows "Неправильное число : " + CR LF + the text when
// prompts is given, and gives 0.
double parseNumber(std::string_view text, Prompts* prompts = nullptr);

// True when the text (with every "," read as ".") is a number in the usual sense:
// optional blanks and sign, digits with an optional point, an optional exponent.
bool isNumeric(std::string_view text);

// The program-wide number formatter: rounded half away from zero to `decimals` (1..5)
// decimals, shortest form, "." as the point ("2.25" -> "2.3", "2.0" -> "2"). A value that
// rounds to a magnitude of 1e8 or more, which parseNumber would read as 0, is written as
// the largest magnitude kept at these decimals, sign kept ("-99999999.9" at one decimal).
std::string formatNumber(double value, int decimals);

// The noun after a number of copies: "копию", "копии" or "копий".
const char* copiesNoun(int n);

class FieldReader {
public:
  explicit FieldReader(Prompts* prompts = nullptr) : prompts_(prompts) {}
  void setPrompts(Prompts* prompts) { prompts_ = prompts; }
  Prompts* prompts() const { return prompts_; }

  // Starts reading a new line by fields (scan position 1).
  void setLine(std::string_view line);
  const std::string& line() const { return line_; }

  // Reads the next comma field (trimmed). False when there is none or it is empty;
  // an empty field is consumed all the same.
  bool nextField();
  // The next field, and whether it reads as a number; a non-numeric field is consumed.
  bool nextNumber();
  // The field last read by nextField/nextNumber.
  const std::string& field() const { return field_; }
  // The field last read, as a number (parseNumber of it, "," read as ".").
  double fieldValue() const;

  // Builds the key-search copies (a blank, then the text with CR LF turned into blanks).
  void prepareKeys(std::string_view text);
  // The value of " NAME=" (case-insensitive name, blanks allowed before "="); empty when
  // absent. Successive calls for the same name return later occurrences, then wrap.
  std::string getKey(std::string_view name);
  // 1 when the key's value, read as a number and rounded to nearest, is not 0.
  int getFlag(std::string_view name);

  // Position (0-based, in the key-search copy) of the "=" of the key found last; -1 after
  // prepareKeys.
  long lastKeyPosition() const { return lastKey_; }
  const std::string& keyCopy() const { return keys_; }
  const std::string& upperKeyCopy() const { return upperKeys_; }

private:
  Prompts* prompts_;
  std::string line_;
  std::size_t pos_ = 0;  // 0-based scan position
  std::string field_;
  std::string keys_;
  std::string upperKeys_;
  long lastKey_ = -1;
};

// Upper case of a UTF-8 text: ASCII and Cyrillic letters (byte lengths are kept, so
// positions in the original and in the upper-case copy agree).
std::string upperUtf8(std::string_view text);

}  // namespace quillaro
