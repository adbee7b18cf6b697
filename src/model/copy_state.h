#pragma once
// The state of the copy composition that lives beside the panels: the page image's
// resolution and flags, the 4-in-1 quadrant, the remembered zone origins, the A3 sheet's
// bookkeeping.
#include <array>
#include <string>

#include "base/control_numbers.h"

namespace quillaro {

class Workspace;

// The copy's earlier names of its fields and check boxes.
namespace copyfield = field;
namespace copycheck = check;

struct CopyState {
  // Page image.
  int pageDpi = 0;         // resolution the page image was made at (0: none yet)
  bool freshCopy = false;  // a copy was made since the page was begun or sent to A3
  bool busy = false;
  bool askedOuterMargin = false;  // "Да - больше не спрашивать"
  int copyCounter = 0;     // copies drawn by the last run
  bool copyAsIsRunning = false;
  bool copyMade = false;   // a page image exists (copy-made flag)
  bool editingCopy = false;  // the page image was taken into the page view (Reload)
  bool maskLocked = false;   // records may not set the mask

  // 4-in-1.
  int quadrant = 0;
  int quadrantValue = 0;   // the last `4in1` value read from a record
  // Remembered zone origins (panel texts): four quadrants, then lower and upper A5.
  std::array<std::array<std::string, 2>, 6> zones{};
  std::array<bool, 6> zoneSet{};

  // A3 sheet (the pixels are Workspace::a3).
  int a3State = 0;  // 0 empty, 1 one A4, 2 full
  int a3Dpi = 0;
  int a3HalfWidth = 0;
  int a3Gap = 0;

  // Save panel.
  std::string lastSavedPicture;
  bool saveEnabled = true;   // ComSavEd
  bool printEnabled = false; // ComPrint

  // Imposition batch state seen by the copy (Part of the batch module).
  bool batchRunning = false;
};

// The workspace's copy state, made on first use.
CopyState& copyState(Workspace& ws);

}  // namespace quillaro
