#pragma once
// Tone correction of grey and colour pictures: the linear tone map with protected black
// and white ("DBC" and the correction while opening), contrast relative to white
// ("DarkRelWhite"), the reduction of colour rows to grey or to black and white while a
// picture is read, and the captions of the two tone items of the page view's popup menu.
//
// Every kernel works on a Bitmap in place and leaves 1-bit pictures alone.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/bitmap.h"

namespace quillaro {

// A rectangle of picture pixels with inclusive bounds; rows count from the top of the
// picture (row 0 is the last file row).
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;
  bool empty() const { return right < left || bottom < top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels a selection of reals covers: columns nearest(x) .. nearest(x + w - 1) and
// rows nearest(y) .. nearest(y) + nearest(h - 1). Values beyond the int range are held
// at its limits; NaN reads as 0.
PixelRect selectionPixels(double x, double y, double w, double h);
// The part of a rectangle inside a picture of width x height pixels (may be empty).
PixelRect clipToPicture(const PixelRect& rect, int width, int height);
// The whole picture.
PixelRect wholePicture(const Bitmap& picture);

// ---- Tone map -----------------------------------------------------------------------

// One value through the tone map: clamp(nearest(p * k + b), 0, 255), computed in double
// precision from the single-precision contrast k (nearest: ties to even). A NaN result
// gives 0.
int toneValue(int p, float contrast, int brightness);
// The map is switched off when k = 1 and b = 0 (nothing is corrected or recorded then).
bool toneIsOff(float contrast, int brightness);

// The tone map as tables. `channel` maps any value; `grey` is the same with the value 0
// kept unless correctBlack and 255 kept unless correctWhite (the 8-bit protection, and
// the one applied to a grey value reduced from colour). Colour pixels are protected by
// their channel sum instead (see applyTone). The tables give exactly toneValue.
struct ToneMap {
  std::array<std::uint8_t, 256> channel{};
  std::array<std::uint8_t, 256> grey{};
  bool correctBlack = false;
  bool correctWhite = false;
  bool identity = true;  // no pixel of any depth would change
};

ToneMap makeToneMap(float contrast, int brightness, bool correctBlack, bool correctWhite);
// The map that changes nothing (correction off).
ToneMap identityToneMap();

// Brightness and contrast over a rectangle (clipped to the picture). 8 bits: each pixel
// through `grey`. 24 bits: black (all channels 0) kept unless correctBlack, white (all
// 255) kept unless correctWhite, every other pixel channel by channel through `channel`.
// Returns false, changing nothing, for an empty picture, a depth other than 8 or 24, or a
// rectangle with no pixel inside the picture; true otherwise.
bool applyTone(Bitmap& picture, const PixelRect& rect, const ToneMap& tone);
// The same over the whole picture (the correction while opening).
bool applyTone(Bitmap& picture, const ToneMap& tone);

// ---- Contrast relative to white -------------------------------------------------------

// o = nearest((kw - 1) x -255), in double precision from the single-precision kw.
int darkRelWhiteOffset(float kw);
// clamp(nearest(p x kw + o), 0, 255); 255 always stays 255 (the rounded offset alone would
// turn it into 254 for kw = 1.5, 3.5, ...). Black is not protected.
int darkRelWhiteValue(int p, float kw);
// Applies darkRelWhiteValue over a rectangle (clipped to the picture) of an 8-bit
// picture. Returns false, changing nothing, for an empty picture, a depth other than 8 or
// a rectangle with no pixel inside; true otherwise.
bool darkRelWhite(Bitmap& picture, const PixelRect& rect, float kw);

// ---- Colour to grey and to black and white while reading ------------------------------

enum class GreyReduction {
  Green,     // the green byte alone
  Weighted,  // red 30, green 60, blue 10 per cent
};

// The grey value of one colour pixel: green, or nearest(0.1 x blue + 0.6 x green +
// 0.3 x red) summed in double precision in that order.
int greyOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode);
// Whether a colour pixel becomes black at threshold t: green < t, or
// 0.6 x green + 0.1 x blue + 0.3 x red < t compared as a real (summed in that order).
bool isBlackAt(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode,
               int threshold);

// One file row of a 24-bit picture (width pixels of blue, green, red) to one row of an
// 8-bit grey picture: out[x] = tone.grey[greyOf(pixel x)]. Writes width bytes.
void greyRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                   const ToneMap& tone);
// One file row of a 24-bit picture to one row of a 1-bit picture by isBlackAt (no tone
// map). Writes (width + 7) / 8 bytes; the bits after the last pixel are 1.
void bitRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                  int threshold);

// ---- Popup menu items ------------------------------------------------------------------

// `MuBC`: "Яркость " + brightness text (with "+" before it when its value is above 0) +
// ", контрастность * " + contrast text + ",  <K>".
std::string brightnessMenuCaption(std::string_view brightnessText, std::string_view contrastText);
// Enabled for 8-bit and 24-bit pictures when the contrast text is not "1" or the
// brightness text is not "0".
bool brightnessMenuEnabled(int bits, std::string_view brightnessText,
                           std::string_view contrastText);
// `MuContrast`: "Контрастность * " + contrast-relative-to-white text + ",  <*>".
std::string contrastMenuCaption(std::string_view contrastWhiteText);
// Enabled for 8-bit and 24-bit pictures.
bool contrastMenuEnabled(int bits);

}  // namespace quillaro
