#pragma once
// Layer ops: the operations over a workspace (open, save, copy, A3, print, adjustments,
// settings, file list). They report to the journal and reach upward only through model ports.
//
// Opening a picture: the one operation through which the file list, the next-file
// button, the imposition batch and the action runner turn a bitmap file into the opened
// picture. It guards an edited picture, skips an unchanged file asked for again, decides
// the working depth, applies the automatic corrections of the settings panel while
// reading (tone map, reduction to grey, conversion to 1 bit), restores the copy
// parameters that belong to the file and records one "Open" line.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

struct OpenState {
  bool byNameInProgress = false;
  // Open by name has follow-ups due (per-page actions, turn-over, density plus): the
  // opening leaves the view refresh to them.
  bool followUpsDue = false;
  // The automatic copy is to start (the start-up timer's fifth tick starts it).
  bool autoCopyPending = false;

  // Values of the last opening.
  std::string saveName;
  int pageParity = 0;  // 0 no number, 1 odd, 2 even
  std::string sizeX;   // the size labels: " X = 210 :  4961"
  std::string sizeY;
};

// The workspace's opening state, made on first use.
OpenState& openState(Workspace& ws);

// Opens the picture file at `path`. True when the picture of that file is in memory
// afterwards (read now, or unchanged since it was read). A refusal (missing file, not a
// bitmap, other depth, too small, the user's No, the composition check) shows its
// message while the message switch is on, leaves the previous picture and the working
// depth as they were and records nothing.
bool openPicture(Workspace& ws, const std::string& path);

// Opens a file of the picture folder by name, then runs the per-page action text, the
// turn-over and the density plus that are due. False when nothing was opened.
bool openByName(Workspace& ws, const std::string& name);

// "Автоматически копировать,": outside an action program the copy button reads "Стоп" and
// the automatic copy waits for the start-up timer (the batch calls it after a blank A5 too).
void awaitAutomaticCopy(Workspace& ws);

// The save name: the file name, or with the suffix it less its last 4 characters +
// suffix + ".bmp".
std::string saveNameFor(std::string_view fileName, bool addSuffix, std::string_view suffix);
// The number at the end of a name before its extension; -1 when there is none.
long long trailingNumber(std::string_view name);
// 0 without a number, 1 odd, 2 even.
int pageParityOf(std::string_view name);
// " X =" + " mm" + " : " + " dots" (each number with its leading space).
std::string sizeLabel(char axis, int dots, double dotsPerMm);
// Sets the size labels from the opened picture.
void refreshSizeLabels(Workspace& ws);
// Empties the per-picture edit lists and forgets the undo block.
void clearEditLists(Workspace& ws);
// The page image follows the working depth: a page of another depth is made anew
// (white, same size).
void matchPageToDepth(Workspace& ws);

// The per-page action text for a page number: TZ(5) or TZ(4) with every "N##" replaced by
// the number (by nothing for page 0 when `emptyForZero`: the copy's way).
std::string perPageActionText(const Workspace& ws, int pageNumber, bool emptyForZero);

// The copy line that belongs to a file in a program text: its byte position, or npos.
// `twoOrigins` (Ch2origin) and `upper` (Ch2of2) choose between the two lines of a file.
std::size_t findCopyLineFor(std::string_view program, std::string_view fileName, bool twoOrigins,
                            bool upper);

}  // namespace quillaro
