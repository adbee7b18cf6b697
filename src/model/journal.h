#pragma once
// What the operations did, told to the journal, which writes each step as its command line
// into the action program (the journal layer builds every recorded line). The operations
// reach the journal only through this interface; the composition root connects it.
#include <string>

namespace quillaro {

class Workspace;

enum class TurnDirection { Over, Right, Left };
enum class ToneStep { BrightnessContrast, DarkRelWhite };

class Journal {
public:
  virtual ~Journal() = default;
  // A picture was opened from `path` (a file of `fileBits` bits; `correction`: the tone map
  // was on; `usedValue` the threshold or brightness taken from the shared field).
  virtual void opened(Workspace& ws, const std::string& path, int fileBits, bool correction,
                      long long usedValue) = 0;
  // A blank sheet was made by the user (index bits: landscape, A5, grey).
  virtual void newSheet(Workspace& ws, int index) = 0;
  virtual void turned(Workspace& ws, TurnDirection direction) = 0;
  // The picture became 1 bit with the threshold text.
  virtual void convertedTo1bit(Workspace& ws, const std::string& threshold) = 0;
  // The page image became the picture: 0 as it is, 'R' or 'L' turned.
  virtual void reloaded(Workspace& ws, char direction) = 0;
  // The drawing rectangle was masked with the pattern (four hexadecimal digits).
  virtual void masked(Workspace& ws, const std::string& pattern, int pictureBits) = 0;
  virtual void toned(Workspace& ws, ToneStep step) = 0;
  virtual void densityChanged(Workspace& ws, bool plus) = 0;
  virtual void lineWidthChanged(Workspace& ws, bool thicker, bool variant) = 0;
  virtual void printed(Workspace& ws, double copies) = 0;
  // A copy was made (`copies` frames drawn by it).
  virtual void copied(Workspace& ws, int copies) = 0;
  // The picture was copied as it is onto a standard page (upright or landscape).
  virtual void copiedAsIs(Workspace& ws, bool landscape) = 0;
  // The page went into half 1 or 2 of the A3 sheet.
  virtual void toA3Half(Workspace& ws, int half) = 0;
  // Every match of `find` (up to `ending` when not empty) in TZ(field) became `replacement`.
  virtual void textReplaced(Workspace& ws, int field, const std::string& find, const std::string& replacement,
                            const std::string& ending, bool anyCase) = 0;
  // A table or lines were drawn from the table panel (recorded even with recording off).
  virtual void tableDrawn(Workspace& ws) = 0;
  // The cells inside the drawing rectangle were merged.
  virtual void cellsMerged(Workspace& ws) = 0;
  // A text was drawn with the text settings of the panels; `text` is the part drawn.
  virtual void textDrawn(Workspace& ws, const std::string& text) = 0;
  // The imposition batch was started from the automation panel.
  virtual void batchStarted(Workspace& ws) = 0;
};

// The journal of a workspace that the composition root has not connected: nothing is
// recorded (pixel-level tests of single operations).
class NoJournal final : public Journal {
public:
  void opened(Workspace&, const std::string&, int, bool, long long) override {}
  void newSheet(Workspace&, int) override {}
  void turned(Workspace&, TurnDirection) override {}
  void convertedTo1bit(Workspace&, const std::string&) override {}
  void reloaded(Workspace&, char) override {}
  void masked(Workspace&, const std::string&, int) override {}
  void toned(Workspace&, ToneStep) override {}
  void densityChanged(Workspace&, bool) override {}
  void lineWidthChanged(Workspace&, bool, bool) override {}
  void printed(Workspace&, double) override {}
  void copied(Workspace&, int) override {}
  void copiedAsIs(Workspace&, bool) override {}
  void toA3Half(Workspace&, int) override {}
  void textReplaced(Workspace&, int, const std::string&, const std::string&, const std::string&, bool) override {}
  void tableDrawn(Workspace&) override {}
  void cellsMerged(Workspace&) override {}
  void textDrawn(Workspace&, const std::string&) override {}
  void batchStarted(Workspace&) override {}
};

}  // namespace quillaro
