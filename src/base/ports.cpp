#include "base/ports.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include <cstdio>
#include <string>

namespace quillaro {

const char* answerName(Answer a) {
  switch (a) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "?";
}

Answer StderrPrompts::ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) {
  std::string shown(text);
  for (std::size_t p; (p = shown.find("\r\n")) != std::string::npos;) shown.replace(p, 2, "\n");
  if (buttons == Buttons::Ok && (icon == Icon::Stop || icon == Icon::Exclamation)) ++failures;
  if (buttons == Buttons::Ok)
    std::fprintf(stderr, "%s\n", shown.c_str());
  else
    std::fprintf(stderr, "%s -> %s\n", shown.c_str(), answerName(defaultButton));
  std::fflush(stderr);
  return defaultButton;
}

double SystemClock::secondsSinceMidnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto sub = std::chrono::duration<double>(now.time_since_epoch()).count();
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + (sub - std::floor(sub));
}

}  // namespace quillaro
