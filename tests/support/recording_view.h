#pragma once
// A view for tests: keeps the name of every notice the workspace sends, in order.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/view_observer.h"

namespace quillaro::testing {

class RecordingView final : public ViewObserver {
public:
  std::vector<std::string> notices;
  std::vector<std::pair<int, std::string>> askedNames;

  int count(const std::string& name) const {
    return static_cast<int>(std::count(notices.begin(), notices.end(), name));
  }

  void pictureChanged() override { notices.push_back("picture"); }
  void editViewChanged() override { notices.push_back("edit"); }
  void pageImageChanged() override { notices.push_back("page"); }
  void copyFrameChanged() override { notices.push_back("frame"); }
  void drawingRectChanged() override { notices.push_back("rect"); }
  void sizeLabelsChanged() override { notices.push_back("size"); }
  void editListsCleared() override { notices.push_back("lists"); }
  void settingsApplied() override { notices.push_back("settings"); }
  void fileListChanged() override { notices.push_back("files"); }
  void showField(int field) override { notices.push_back("field " + std::to_string(field)); }
  void askFileName(int field, const std::string& name) override { askedNames.emplace_back(field, name); }
  void printPanelChanged() override { notices.push_back("printpanel"); }
  void printed() override { notices.push_back("printed"); }
  void automaticCopyWaiting() override { notices.push_back("autocopy"); }
  void programLine(const std::string& line, std::size_t, std::size_t) override { notices.push_back("line " + line); }
};

}  // namespace quillaro::testing
