#pragma once
// Prompts for tests: records every message and answers from a script (default button
// when the script is empty).
#include <deque>
#include <string>
#include <vector>

#include "base/ports.h"

namespace quillaro::testing {

struct ShownMessage {
  std::string text;
  Buttons buttons;
  Icon icon;
  Answer defaultButton;
};

class ScriptedPrompts : public Prompts {
public:
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override {
    shown.push_back({std::string(text), buttons, icon, defaultButton});
    if (answers.empty()) return defaultButton;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<Answer> answers;
  std::vector<ShownMessage> shown;
};

// Every message shown, as "[text] [text] ", for failure reports.
inline std::string shownText(const ScriptedPrompts& prompts) {
  std::string all;
  for (const auto& m : prompts.shown) all += "[" + m.text + "] ";
  return all;
}

}  // namespace quillaro::testing
