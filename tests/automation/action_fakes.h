#pragma once
// Fake operations for the interpreter and runner tests: each call is logged as a short text
// (which operation, in which order, with which panel values).
#include <string>
#include <vector>

#include "model/workspace.h"

namespace quillaro::testing {

struct FakeOps {
  std::vector<std::string> calls;
  bool runningSeen = false;  // the running flag was on during an interpreter-started call

  void install(Workspace& ws) {
    Operations& o = ws.ops;
    o.open = [this](Workspace& w, const std::string& path) {
      runningSeen = w.running;
      calls.push_back("open " + path);
      return true;
    };
    o.newSheet = [this](Workspace&, int index, bool byProgram) {
      calls.push_back("new " + std::to_string(index) + (byProgram ? " program" : ""));
      return true;
    };
    o.turn = [this](Workspace&, TurnDirection d) {
      calls.push_back(d == TurnDirection::Over ? "over" : d == TurnDirection::Right ? "right" : "left");
    };
    o.reload = [this](Workspace&, char d) { calls.push_back(std::string("reload ") + (d ? d : '0')); };
    o.convertTo1bit = [this](Workspace& w) { calls.push_back("to1bit " + w.params.held(Held::Threshold)); return true; };
    o.readCopyRecord = [this](Workspace& w) {
      std::string first = w.reader.nextNumber() ? w.reader.field() : "-";
      calls.push_back("copyrecord " + first + " land=" + w.reader.getKey("Land"));
    };
    o.drawTable = [this](Workspace& w) { calls.push_back("table " + w.params.tn(0) + "x" + w.params.tn(1) + " flag=" + std::to_string(w.actions.lineFlag)); };
    o.drawText = [this](Workspace& w) { calls.push_back("text " + w.params.tz(1) + " fs=" + w.params.tn(33) + " flag=" + std::to_string(w.actions.lineFlag)); };
    o.copy = [this](Workspace&) { calls.push_back("copy"); return true; };
    o.mask = [this](Workspace&, const std::string& p) { calls.push_back("mask " + p); };
    o.density = [this](Workspace& w, bool plus) { calls.push_back(std::string("density ") + (plus ? "plus " : "") + w.params.tn(10)); };
    o.mergeCells = [this](Workspace&) { calls.push_back("merge"); };
    o.print = [this](Workspace& w) { calls.push_back("print " + w.params.tn(11)); return true; };
    o.lineWidth = [this](Workspace&, bool thicker, bool variant) {
      calls.push_back(std::string("width ") + (thicker ? "+" : "-") + (variant ? "/" : ""));
    };
    o.darkRelWhite = [this](Workspace& w) { calls.push_back("darkrelwhite " + w.params.tn(57)); };
    o.brightnessContrast = [this](Workspace&) { calls.push_back("dbc"); };
    o.toA3 = [this](Workspace&) { calls.push_back("a3"); };
    o.selectA3Half = [this](Workspace&, int half) { calls.push_back("half " + std::to_string(half)); };
  }
};

}  // namespace quillaro::testing
