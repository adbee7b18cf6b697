#include "base/folders.h"

#include <cstdio>

#include "base/files.h"

namespace quillaro {
namespace {

std::string twoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v < 0 ? 0 : v % 100);
  return buf;
}

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string dateFolderName(int year, int month, int day) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", year < 0 ? 0 : year % 10000);
  return buf + twoDigits(month) + twoDigits(day);
}

std::string timeText(int hour, int minute, int second) {
  return twoDigits(hour) + twoDigits(minute) + twoDigits(second);
}

std::string todayFolderName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return dateFolderName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string fileTimeKey(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return dateFolderName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) + " " +
         timeText(local.tm_hour, local.tm_min, local.tm_sec);
}

std::string listPattern(int index, std::string_view textFileName) {
  switch (index) {
    case 0: return "*.pfp";
    case 2: return "*.ini";
    case 3:
      if (!textFileName.empty() && textFileName.front() == '*') return std::string(textFileName);
      return "*.txt";
    case 5: return "*.bmp";
    default: return "*";
  }
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative glob with one backtrack point for the last "*".
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string pictureFolderFor(const std::string& source, bool dateFolderOn,
                             const std::string& today) {
  if (dateFolderOn && !source.empty()) {
    const std::string dated = joinPath(source, today);
    if (folderExists(dated)) return dated;
  }
  return source;
}

}  // namespace quillaro
