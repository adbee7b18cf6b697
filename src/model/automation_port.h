#pragma once
// The one way up from the operations to the action interpreter and runner: the per-page
// actions after a copy, the actions and copy line after an opening, and the text-settings
// lines are action-program text. The composition root connects it.
#include <cstddef>
#include <string>

namespace quillaro {

class Workspace;

class AutomationPort {
public:
  virtual ~AutomationPort() = default;
  // Runs the text as an action program.
  virtual void runText(Workspace& ws, const std::string& text) = 0;
  // Applies one command line through the interpreter (sets the panels from it).
  virtual void applyLine(Workspace& ws, const std::string& line) = 0;
  // The reader of one command (F1, variant) applies the line at `cursor` (characters) of
  // the program text.
  virtual void readCommandAt(Workspace& ws, std::size_t cursor) = 0;
};

// A workspace not connected by the composition root runs no program text.
class NoAutomation final : public AutomationPort {
public:
  void runText(Workspace&, const std::string&) override {}
  void applyLine(Workspace&, const std::string&) override {}
  void readCommandAt(Workspace&, std::size_t) override {}
};

}  // namespace quillaro
