#include "base/ports.h"

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

}  // namespace quillaro
