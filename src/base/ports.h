#pragma once
// The small interfaces through which the core reaches the platform: message boxes and
// questions, progress, and the clock. The window implements them with Qt; a hidden run
// writes to standard error and answers every question with its default button.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillaro {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Exclamation, Stop };
enum class Answer { Ok, Cancel, Yes, No };

const char* answerName(Answer a);

class Prompts {
public:
  virtual ~Prompts() = default;
  // Shows a modal message (lines joined by "\r\n") and returns the pressed button.
  virtual Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) = 0;

  void message(std::string_view text, Icon icon = Icon::Exclamation) {
    ask(text, Buttons::Ok, icon, Answer::Ok);
  }
};

// Hidden runs: every message goes to standard error followed by the answer taken.
class StderrPrompts : public Prompts {
public:
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override;
  int failures = 0;  // messages (OK only, not questions) with the stop or exclamation icon
};

// Nothing shown, the default button taken (message switch off, or tests that don't care).
class SilentPrompts : public Prompts {
public:
  Answer ask(std::string_view, Buttons, Icon, Answer defaultButton) override { return defaultButton; }
};

class Progress {
public:
  virtual ~Progress() = default;
  // Percentage of a long loop: shown as "<n> %" in the caption and the status label.
  virtual void percent(int value) = 0;
  // A plain status text for the status label.
  virtual void status(std::string_view text) = 0;
  // Lets pending window events run; returns true when the user asked to stop.
  virtual bool pump() = 0;
};

class NullProgress : public Progress {
public:
  void percent(int) override {}
  void status(std::string_view) override {}
  bool pump() override { return false; }
};

// The time of day, for the guard against printing twice in a row.
class Clock {
public:
  virtual ~Clock() = default;
  virtual double secondsSinceMidnight() = 0;  // local time, with fractions
};

class SystemClock final : public Clock {
public:
  double secondsSinceMidnight() override;
};

}  // namespace quillaro
