#include "journal/line_journal.h"

#include "journal/record_lines.h"
#include "journal/recorder.h"
#include "ops/copy_record.h"

namespace quillaro {

void LineJournal::opened(Workspace& ws, const std::string& path, int fileBits, bool correction,
                         long long usedValue) {
  appendLine(ws, openLine(ws, path, fileBits, correction, usedValue));
}

void LineJournal::newSheet(Workspace& ws, int index) { appendLine(ws, newSheetLine(index)); }

void LineJournal::turned(Workspace& ws, TurnDirection direction) { appendLine(ws, turnLine(direction)); }

void LineJournal::convertedTo1bit(Workspace& ws, const std::string& threshold) {
  appendLine(ws, convertTo1bitLine(threshold));
}

void LineJournal::reloaded(Workspace& ws, char direction) { appendLine(ws, reloadLine(direction)); }

void LineJournal::masked(Workspace& ws, const std::string& pattern, int pictureBits) {
  appendLine(ws, maskLine(ws, pattern, pictureBits));
}

void LineJournal::toned(Workspace& ws, ToneStep step) {
  appendLine(ws, step == ToneStep::BrightnessContrast ? brightnessContrastLine(ws) : darkRelWhiteLine(ws));
}

void LineJournal::densityChanged(Workspace& ws, bool plus) { appendLine(ws, densityLine(ws, plus)); }

void LineJournal::lineWidthChanged(Workspace& ws, bool thicker, bool variant) {
  appendLine(ws, lineWidthLine(ws, thicker, variant));
}

void LineJournal::printed(Workspace& ws, double copies) { appendLine(ws, printLine(ws, copies)); }

void LineJournal::copied(Workspace& ws, int copies) { appendLine(ws, buildCopyRecord(ws, copies)); }

void LineJournal::copiedAsIs(Workspace& ws, bool landscape) { appendLine(ws, copyAsIsLine(landscape)); }

void LineJournal::toA3Half(Workspace& ws, int half) { appendLine(ws, a3Line(half)); }

void LineJournal::textReplaced(Workspace& ws, int field, const std::string& find, const std::string& replacement,
                               const std::string& ending, bool anyCase) {
  appendLine(ws, replaceTextLine(field, find, replacement, ending, anyCase));
}

void LineJournal::tableDrawn(Workspace& ws) { recordTable(ws); }

void LineJournal::cellsMerged(Workspace& ws) { appendLine(ws, mergeCellsLine(ws)); }

// Texts are recorded whenever they are drawn through the panel (the run forbids it anyway).
void LineJournal::textDrawn(Workspace& ws, const std::string& text) { appendLineForced(ws, textLine(ws, text)); }

void LineJournal::batchStarted(Workspace& ws) { appendLine(ws, batchLine(ws)); }

}  // namespace quillaro
