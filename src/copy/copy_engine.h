#pragma once
// The copy engine: maps the copy zone of the opened picture into a frame of the page
// image. The pixel kernels work on plain bitmaps (so tests and benchmarks can call them);
// copyPage() is the whole operation over the workspace.
#include <string>
#include <string_view>

#include "image/bitmap.h"

namespace quillaro {

class Progress;
class Workspace;

enum class CopyPath {
  WholeByte,   // 1:1, no turn, whole bytes at 1 bit ("Копировать по байтам")
  SmallAngle,  // |a| <= 0.05
  Fast,        // 1 bit, small angle and scale near 1, one mapping per destination byte
  General,     // any angle
};

// One frame in page coordinates.
// How frame cells map to picture pixels: the frame's size, the zone origin in the picture,
// the scale factors and the angle. Both the single frame and the two-originals half use it.
struct ZoneMapping {
  int width = 0;      // W, frame columns
  int height = 0;     // H, frame rows
  int zoneLeft = 0;   // picture column of the zone origin (may be negative)
  int zoneTop = 0;
  double sx = 1, sy = 1;  // scale factors
  double a = 0;           // radians
};

struct FrameSpec : ZoneMapping {
  int destLeft = 0;   // page column of frame column 0 (frame left - margin)
  int destTop = 0;    // page row, from the top, of frame row 0
};

struct PathChoice {
  bool byBytes = false;  // "Копировать по байтам"
  bool fast = false;     // "Копировать быстро"
  bool paste = false;    // ChPaste
};

CopyPath choosePath(const FrameSpec& f, int bits, const PathChoice& c);

// Draws the frame of `picture` into `page` (same depth) by the path. Positions outside the
// picture are skipped and positions outside the page are cut off. Rows are spread over
// `threads` threads (0: all cores); progress every 32 frame rows, with the stop request:
// returns false when the user asked to stop.
bool drawFrame(const Bitmap& picture, Bitmap& page, const FrameSpec& f, CopyPath path,
               Progress* progress = nullptr, int threads = 0);

// Two originals: the zone is turned by 90 degrees into an A5 half of the page.
struct TwoOriginalsSpec : ZoneMapping {
  int pageColumn0 = 0;  // page column of frame row 0 (frame top - margin)
  int rowBase = 0;      // middle - margin + frame left (lower) or - frame left (upper)
  bool upper = false;   // Ch2of2
  bool back = false;    // ChBackRotat
};
// The page row (from the top) and column of frame column i, frame row j.
int twoOriginalsRow(const TwoOriginalsSpec& s, int i);
int twoOriginalsColumn(const TwoOriginalsSpec& s, int j);
bool drawTwoOriginals(const Bitmap& picture, Bitmap& page, const TwoOriginalsSpec& s,
                      Progress* progress = nullptr, int threads = 0);

// Reverses the order of the rows (mirror).
void mirrorRows(Bitmap& page);

// Fill ratio of a 1-bit picture: black dots (0 bits of bytes below 255, padding included)
// over the dots of an A4 page at the resolution, in percent.
double fillRatio(const Bitmap& picture, int dpi);
// The button's text: the ratio by the number formatter and "%"; empty when the picture is
// not a loaded 1-bit one.
std::string fillRatioText(Workspace& ws);

// The page number at the end of a file name ("scan12.bmp" -> 12); 0 when there is none.
int pageNumberFromName(std::string_view fileName);

// Checks used when a copy adds to a page and by the A3 sheet. Each returns the message of
// a refusal, or an empty text. With a verb the depth message is the "Если ..." question.
std::string copyDepthMessage(Workspace& ws, int pictureBits, const std::string& verb = "");
std::string copyResolutionMessage(Workspace& ws, int pictureDpi);

// The copy operation (ComCopy, the command "COPY", the batch). True when a copy was made.
// While the copy button reads "Стоп" it stops the waiting automatic copy and the batch
// instead.
bool copyPage(Workspace& ws);

// "2 стороны": the frame position (left and top on the paper) is remembered after a copy for
// odd and for even page numbers (the settings' frame memory), and put back when a page of
// that parity is opened (parity 1 odd, 2 even; anything else does nothing).
void rememberParityFrame(Workspace& ws, int pageNumber);
void applyParityFrame(Workspace& ws, int parity);

// Captions of the copy button.
inline constexpr const char* kCopyButtonCopy = "Копировать";
inline constexpr const char* kCopyButtonStop = "Стоп";

// The automatic copy after an opening, on the start-up timer's fifth tick: the button reads
// "Копировать" again and the copy is made. Nothing when no automatic copy waits.
bool runAutomaticCopy(Workspace& ws);
// Stops the waiting automatic copy and the batch; the button reads "Копировать".
void stopAutomaticCopy(Workspace& ws);

// Puts the remembered zone origin of the next place into the panel ("Помнить положения
// рамки"); called when a picture is opened and when the upper A5 is switched.
void restoreRememberedZone(Workspace& ws);

// Editing a copy (MuEReload, MuEReloadR, MuEReloadL): the page image becomes the opened
// picture, turned right ('R') or left ('L') when asked. Records "Reload" / "Reload, R".
bool reloadCopy(Workspace& ws, char turn = 0);

}  // namespace quillaro
