#pragma once
// The copy parameter set as the panel holds it: the paper and the page image, the values in
// millimetres and in dots, the exclusions between the copy check boxes, and the working
// resolution switch.
#include <string>

namespace quillaro {

class Workspace;
class ParamStore;

struct PaperSize {
  double width = 210;  // mm
  double height = 297;
};

// Paper of the current mode: A4 upright, 297 x 210 landscape, 216 x 370 with the form.
PaperSize currentPaper(const ParamStore& p);
// The printer margin TN(44) in mm, brought into 0..10.
double printerMarginMm(const ParamStore& p);
// The standard page image: the paper less the margin on every side; with the form
// (216 - 2 x margin) x (333.5 - margin).
PaperSize standardPageImage(const ParamStore& p);
// True when the page image size equals the standard one of the current orientation, or
// when the form is on. The record leaves the page image fields out then.
bool isPageImageStandard(const Workspace& ws);

// The copy parameter set as numbers (mm, percent, radians x 10000).
struct CopyValues {
  double zoneLeft = 0, zoneTop = 0;
  double frameWidth = 202, frameHeight = 289;
  double frameLeft = 4, frameTop = 4;
  double scale = 100, scaleX = 100, scaleY = 100;
  int angle = 0;
  int across = 1, down = 1;
  double stepAcross = 0, stepDown = 0;
  double pageWidth = 202, pageHeight = 289;
  double margin = 4;
  double middleOffset = 0;
};
CopyValues readCopyValues(const Workspace& ws);

// The copy geometry in dots at the working resolution (nearest, ties to even).
struct CopyDots {
  int margin = 0;
  int pageWidth = 0, pageHeight = 0;
  int frameLeft = 0, frameTop = 0, frameWidth = 0, frameHeight = 0;
  int zoneLeft = 0, zoneTop = 0;
  double sx = 1, sy = 1;  // factors; a scale below 1 % is taken as 1 %
  double a = 0;           // radians
};
CopyDots copyDots(const Workspace& ws, const CopyValues& v);

// Setters that keep the panel consistent.
void setScaleText(Workspace& ws, const std::string& text);  // TN(22) and both axis scales
void setPageImageSize(Workspace& ws, int which, const std::string& text);  // 0 width, 1 height
void setStandardPageImage(Workspace& ws);
// Fills empty copy fields with their defaults and, unless keepFrame, brings the frame inside
// the page image (a record read keeps its frame as written; the copy cuts it at the page).
void normalizeCopyFrame(Workspace& ws, bool keepFrame = false);
// Enabled states that follow the flags (Ch2of2, ChBackRotat, and those landscape excludes).
void refreshCopyEnables(Workspace& ws);

// Working resolution (Ch1200dpi): asks when "Напоминать" is on; No puts the box back.
// Then the dots per millimetre change and the page image is reset.
void switchResolution(Workspace& ws);
// Sets the shared values for 600 or 1200 dpi without asking.
void applyResolution(Workspace& ws, bool dpi1200);

// Registers the click and change handling of ChLand, Ch2in1, Ch2origin, Ch2of2, ChForm,
// ChBackRotat, "4 в 1", multi-copy, Ch1200dpi and the copy fields, and the workspace hooks
// setCopySize and recomputeCopyFrame.
void registerCopyHandlers(Workspace& ws);

}  // namespace quillaro
