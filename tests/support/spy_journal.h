#pragma once
// A journal for tests that keeps what the operations reported, one short text per step, in
// the order they ran (the real journal writes command lines instead).
#include <string>
#include <vector>

#include "model/journal.h"
#include "model/workspace.h"

namespace quillaro::testing {

class SpyJournal final : public Journal {
public:
  std::vector<std::string> steps;

  void opened(Workspace&, const std::string& path, int, bool, long long) override { steps.push_back("open " + path); }
  void newSheet(Workspace&, int index) override { steps.push_back("new " + std::to_string(index)); }
  void turned(Workspace&, TurnDirection d) override {
    steps.push_back(d == TurnDirection::Over ? "over" : d == TurnDirection::Right ? "right" : "left");
  }
  void convertedTo1bit(Workspace&, const std::string& threshold) override { steps.push_back("to1bit " + threshold); }
  void reloaded(Workspace&, char d) override { steps.push_back(std::string("reload ") + (d ? d : '0')); }
  void masked(Workspace&, const std::string& pattern, int) override { steps.push_back("mask " + pattern); }
  void toned(Workspace& ws, ToneStep step) override {
    steps.push_back(step == ToneStep::BrightnessContrast ? "dbc" : "darkrelwhite " + ws.params.tn(57));
  }
  void densityChanged(Workspace& ws, bool plus) override {
    steps.push_back(std::string("density ") + (plus ? "plus " : "") + ws.params.tn(10));
  }
  void lineWidthChanged(Workspace&, bool thicker, bool variant) override {
    steps.push_back(std::string("width ") + (thicker ? "+" : "-") + (variant ? "/" : ""));
  }
  void printed(Workspace& ws, double copies) override { steps.push_back("print " + ws.format(copies)); }
  void copied(Workspace&, int) override { steps.push_back("copy"); }
  void copiedAsIs(Workspace&, bool landscape) override { steps.push_back(landscape ? "copy as is land" : "copy as is"); }
  void toA3Half(Workspace&, int half) override { steps.push_back("a3 " + std::to_string(half)); }
  void textReplaced(Workspace&, int field, const std::string& find, const std::string& by, const std::string&,
                    bool) override {
    steps.push_back("replace " + std::to_string(field) + " " + find + " " + by);
  }
  void tableDrawn(Workspace&) override { steps.push_back("table"); }
  void cellsMerged(Workspace&) override { steps.push_back("merge"); }
  void textDrawn(Workspace&, const std::string& text) override { steps.push_back("text " + text); }
  void batchStarted(Workspace&) override { steps.push_back("batch"); }
};

}  // namespace quillaro::testing
