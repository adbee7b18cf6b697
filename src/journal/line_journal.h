#pragma once
// Layer journal: every recorded command line is built here and added to the program text;
// it implements the model's journal interface over the operations' steps.
//
// The journal: every step an operation reports becomes its command line (record_lines.h),
// handed to the recorder (recorder.h), which adds it to the action program.
#include "model/journal.h"

namespace quillaro {

class LineJournal final : public Journal {
public:
  void opened(Workspace& ws, const std::string& path, int fileBits, bool correction,
              long long usedValue) override;
  void newSheet(Workspace& ws, int index) override;
  void turned(Workspace& ws, TurnDirection direction) override;
  void convertedTo1bit(Workspace& ws, const std::string& threshold) override;
  void reloaded(Workspace& ws, char direction) override;
  void masked(Workspace& ws, const std::string& pattern, int pictureBits) override;
  void toned(Workspace& ws, ToneStep step) override;
  void densityChanged(Workspace& ws, bool plus) override;
  void lineWidthChanged(Workspace& ws, bool thicker, bool variant) override;
  void printed(Workspace& ws, double copies) override;
  void copied(Workspace& ws, int copies) override;
  void copiedAsIs(Workspace& ws, bool landscape) override;
  void toA3Half(Workspace& ws, int half) override;
  void textReplaced(Workspace& ws, int field, const std::string& find, const std::string& replacement,
                    const std::string& ending, bool anyCase) override;
  void tableDrawn(Workspace& ws) override;
  void cellsMerged(Workspace& ws) override;
  void textDrawn(Workspace& ws, const std::string& text) override;
  void batchStarted(Workspace& ws) override;
};

}  // namespace quillaro
