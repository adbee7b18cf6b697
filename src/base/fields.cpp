#include "base/fields.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "base/numeric.h"
#include "base/ports.h"

namespace quillaro {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string trimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

// Trims every character up to and including the blank (codes 0..32) at both ends.
std::string trimControls(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

double parseNumber(std::string_view text, Prompts* prompts) {
  // Collect the leading number with blanks removed, then convert it.
  std::string num;
  std::size_t i = 0;
  auto skipBlanks = [&] { while (i < text.size() && isBlank(text[i])) ++i; };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) num += text[i++];
  bool digits = false, point = false;
  for (;; ++i) {
    skipBlanks();
    if (i >= text.size()) break;
    if (isDigit(text[i])) { num += text[i]; digits = true; }
    else if (text[i] == '.' && !point) { num += '.'; point = true; }
    else break;
  }
  if (!digits) return 0.0;
  // Exponent: only when digits follow the letter (and its sign).
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    while (j < text.size() && isBlank(text[j])) ++j;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
    bool expDigits = false;
    for (;; ++j) {
      while (j < text.size() && isBlank(text[j])) ++j;
      if (j >= text.size() || !isDigit(text[j])) break;
      exp += text[j];
      expDigits = true;
    }
    if (expDigits) num += exp;
  }
  errno = 0;
  const double v = std::strtod(num.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(v)) {
    if (prompts) prompts->message("Неправильное число : \r\n" + std::string(text));
    return 0.0;
  }
  if (std::fabs(v) >= 100000000.0) return 0.0;
  return v;
}

bool isNumeric(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < n && isDigit(text[i])) { ++i; digits = true; }
  if (i < n && (text[i] == '.' || text[i] == ',')) {
    ++i;
    while (i < n && isDigit(text[i])) { ++i; digits = true; }
  }
  if (!digits) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool expDigits = false;
    while (i < n && isDigit(text[i])) { ++i; expDigits = true; }
    if (!expDigits) return false;
  }
  while (i < n && isBlank(text[i])) ++i;
  return i == n;
}

std::string formatNumber(double value, int decimals) {
  decimals = decimals < 1 ? 1 : (decimals > 5 ? 5 : decimals);
  if (!std::isfinite(value)) return "0";
  long long scale = 1;
  for (int k = 0; k < decimals; ++k) scale *= 10;
  // Half away from zero; a product that lies a hair below .5 only through binary
  // representation (2.25 * 10 is exact, 1.005 * 100 is not) still counts as a tie.
  const double scaled = std::fabs(value) * static_cast<double>(scale);
  // The reader takes magnitudes of 1e8 and more as 0, so a value that would be written
  // that large is written as the largest one it keeps at these decimals (99999999.9 at
  // one decimal): the text always reads back as the nearest value it can hold.
  const long long limit = 100000000LL * scale - 1;
  long long units = limit;
  if (scaled < static_cast<double>(limit)) {
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5 - 1e-9) whole += 1.0;
    units = std::min(static_cast<long long>(whole), limit);
  }
  if (units == 0) return "0";
  long long intPart = units / scale, frac = units % scale;
  std::string out = value < 0 ? "-" : "";
  out += std::to_string(intPart);
  if (frac != 0) {
    std::string digits = std::to_string(frac);
    digits.insert(0, static_cast<std::size_t>(decimals) - digits.size(), '0');
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    out += '.';
    out += digits;
  }
  return out;
}

std::string upperUtf8(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto b = static_cast<unsigned char>(out[i]);
    if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 32);
    } else if ((b == 0xD0 || b == 0xD1) && i + 1 < out.size()) {
      auto c = static_cast<unsigned char>(out[i + 1]);
      if (b == 0xD0 && c >= 0xB0 && c <= 0xBF) {  // а..п
        out[i + 1] = static_cast<char>(c - 0x20);
      } else if (b == 0xD1 && c >= 0x80 && c <= 0x8F) {  // р..я
        out[i] = static_cast<char>(0xD0);
        out[i + 1] = static_cast<char>(c + 0x20);
      } else if (b == 0xD1 && c >= 0x90 && c <= 0x9F) {  // ѐ..џ (ё among them)
        out[i] = static_cast<char>(0xD0);
        out[i + 1] = static_cast<char>(c - 0x10);
      }
      ++i;
    }
  }
  return out;
}

void FieldReader::setLine(std::string_view line) {
  line_.assign(line);
  pos_ = 0;
  field_.clear();
}

bool FieldReader::nextField() {
  field_.clear();
  if (pos_ >= line_.size()) return false;
  const std::size_t comma = line_.find(',', pos_);
  std::string_view rest(line_);
  if (comma == std::string::npos) {
    field_ = trimBlanks(rest.substr(pos_));
    pos_ = line_.size();
  } else {
    field_ = trimBlanks(rest.substr(pos_, comma - pos_));
    pos_ = comma + 1;
  }
  return !field_.empty();
}

bool FieldReader::nextNumber() { return nextField() && isNumeric(field_); }

double FieldReader::fieldValue() const {
  std::string t = field_;
  for (char& c : t)
    if (c == ',') c = '.';
  return parseNumber(t, prompts_);
}

void FieldReader::prepareKeys(std::string_view text) {
  keys_.clear();
  keys_.reserve(text.size() + 1);
  keys_ += ' ';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      keys_ += ' ';
      ++i;
    } else if (c == '\r' || c == '\n') {
      keys_ += ' ';
    } else {
      keys_ += c;
    }
  }
  upperKeys_ = upperUtf8(keys_);
  lastKey_ = -1;
}

std::string FieldReader::getKey(std::string_view name) {
  if (name.empty() || keys_.empty()) return {};
  const std::string pattern = " " + upperUtf8(name);
  const std::size_t size = upperKeys_.size();
  std::size_t start = static_cast<std::size_t>(lastKey_ + 1);
  for (int pass = 0; pass < 2; ++pass, start = 0) {
    for (std::size_t at = upperKeys_.find(pattern, start); at != std::string::npos;
         at = upperKeys_.find(pattern, at + 1)) {
      std::size_t j = at + pattern.size();
      while (j < size && static_cast<unsigned char>(upperKeys_[j]) <= ' ') ++j;
      if (j >= size || upperKeys_[j] != '=') continue;
      lastKey_ = static_cast<long>(j);
      std::size_t v = j + 1;
      while (v < size && static_cast<unsigned char>(keys_[v]) <= ' ') ++v;
      if (v >= size) return {};
      const char open = keys_[v];
      if (open == '"' || open == '\'') {
        const std::size_t close = keys_.find(open, v + 1);
        if (close == std::string::npos) return {};
        return trimControls(std::string_view(keys_).substr(v + 1, close - v - 1));
      }
      std::size_t e = v;
      while (e < size && static_cast<unsigned char>(keys_[e]) > ' ') ++e;
      return trimControls(std::string_view(keys_).substr(v, e - v));
    }
  }
  return {};
}

int FieldReader::getFlag(std::string_view name) {
  const std::string value = getKey(name);
  if (value.empty()) return 0;
  return nearest(parseNumber(value, prompts_)) != 0 ? 1 : 0;
}

const char* copiesNoun(int n) {
  n = std::abs(n);
  const int lastTwo = n % 100;
  if (lastTwo >= 10 && lastTwo <= 19) return "копий";
  switch (n % 10) {
    case 1: return "копию";
    case 2: case 3: case 4: return "копии";
    default: return "копий";
  }
}

}  // namespace quillaro
