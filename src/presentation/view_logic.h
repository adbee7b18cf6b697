#pragma once
// Layer presentation: what the window shows and how keys map to commands, without Qt, so
// that it is tested without a display.
//
// What the picture views show, without widgets: pointer readout, labels, the magnifier's
// rest counter, the mapping between picture pixels and view positions, the rectangles of
// the copy zone and of the drawing rectangle, arrow steps and the popup menu states.
#include <optional>
#include <string>

#include "model/rects.h"

namespace quillaro {

class Bitmap;
class ParamStore;

// A pixel coordinate as the pointer readout shows it: floor(p * 10 / d + 0.5) / 10 in
// millimetres, written by the number formatter.
std::string pointerMmText(double p, double dotsPerMm, int decimals);

// The value under the pointer: "Яркость =" + grey (8 bits), "RGB " + red, green, blue
// (24 bits); nothing for 1-bit pictures or positions outside the picture.
std::optional<std::string> pointerValueText(const Bitmap& picture, int x, int y);

// Dots and millimetres: dots + " точек, " + the length in mm (formatted, cut to at most
// two decimals) + " мм".
std::string dotsMmText(long long dots, double dotsPerMm, int decimals);

// The screen magnifier's rest counter, ticked every 50 ms with the pointer position in
// window units.
class Magnifier {
public:
  // One tick; true when the magnified view is to be shown now.
  bool tick(int x, int y);
  // The magnified view was closed (Esc or Q).
  void hide() { shown_ = false; }
  bool shown() const { return shown_; }
  int counter() const { return counter_; }

private:
  int counter_ = 0;
  int lastX_ = 0;
  int lastY_ = 0;
  bool shown_ = false;
};

// How a picture sits in a view: view = picture * scale + offset.
struct ViewMapping {
  double scale = 1.0;
  double offsetX = 0.0;
  double offsetY = 0.0;
  double toViewX(double px) const { return px * scale + offsetX; }
  double toViewY(double py) const { return py * scale + offsetY; }
  double toPictureX(double vx) const { return (vx - offsetX) / scale; }
  double toPictureY(double vy) const { return (vy - offsetY) / scale; }
};

enum class FitMode {
  Window,  // the whole picture in the view
  Width,   // the picture's width fills the view ("По ширине окна"); scrolled vertically
  Sheet,   // the whole sheet of paper (A4, twice as wide with two originals) in the view
};

// The mapping of a picture of pw x ph pixels into a view of vw x vh. `scroll` (picture
// pixels) moves a fitted-to-width picture up; it is kept inside the picture. The sheet is
// sheetW x sheetH pixels (used by FitMode::Sheet).
ViewMapping fitPicture(int pw, int ph, int vw, int vh, FitMode mode, double scroll = 0,
                       double sheetW = 0, double sheetH = 0);

// Free zoom of a view: the scale changes around a point of the view, which keeps showing
// the same picture point, and the picture is kept in the view.
inline constexpr double kMinZoom = 0.01;
inline constexpr double kMaxZoom = 16.0;
inline constexpr double kZoomStep = 1.25;  // one wheel notch or Ctrl+plus
ViewMapping zoomAround(const ViewMapping& m, double factor, double vx, double vy);
// Centres a picture of pw x ph along an axis where it is smaller than the view vw x vh;
// elsewhere no empty band is left at either edge.
ViewMapping keepInView(const ViewMapping& m, int pw, int ph, int vw, int vh);
// The mapping that shows picture pixels 1:1 (at `pixelRatio` device pixels per view unit)
// with the picture point (px, py) at the view point (vx, vy).
ViewMapping actualSize(double pixelRatio, double px, double py, double vx, double vy);

// The handles of a rectangle in a view: the eight on its corners and edge middles, and the
// inside that moves it.
enum class Handle { None, Move, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };
// The handle at the picture point (x, y); `reach` is the grip in picture pixels. Corners
// win over edges and edges over the inside.
Handle handleAt(const PixRect& r, double x, double y, double reach);
// The rectangle after the handle was dragged by (dx, dy) picture pixels from `start`.
// An edge stops `minSide` short of the opposite edge.
PixRect dragHandle(const PixRect& start, Handle h, double dx, double dy, double minSide = 1.0);
// The copy zone written back from picture pixels: origin TN(20), TN(21) and the frame size
// TN(18), TN(19), which the axis scales TN(60), TN(61) turn into the zone's size.
void setCopyZone(ParamStore& p, const PixRect& r, double dotsPerMm, int decimals);

// One arrow step of a field: the value is taken times 10, changed by `tenths` (1 tenth of
// a millimetre, 10 with Shift), divided by 10 and formatted.
std::string stepField(const std::string& text, int tenths, int decimals);

// Enabled states of the popup menu items that depend on the picture's depth.
struct MenuStates {
  bool to1bit = false;      // MuTo1bit (8 and 24 bits)
  bool lineWidth = false;   // MuLinePlus, MuLinPlus, MuLineMinus, MuLinMinus
  bool tone = false;        // MuBC, MuContrast
};
MenuStates menuStatesFor(int bits);

}  // namespace quillaro
