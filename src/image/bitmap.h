#pragma once
// Layer image: the picture value types and the bitmap files (reading, writing, samples).
// It depends on base only.
//
// The bitmap record: the pixel rows of a picture exactly as they lie in a bitmap file
// (bottom row first, each row padded to a multiple of 4 bytes), and the image buffer that
// holds the opened picture with its header bytes, names and flags.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillaro {

// Largest pixel array the program allocates (2 GiB); larger pictures are refused.
inline constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 31;
// Smallest picture accepted, in dots, for width and for height.
inline constexpr int kMinPictureDots = 100;
// Largest picture a file may declare, in dots either way: an A2 sheet at 1200 dpi
// (19843 x 28063) fits; a larger side is a broken or hostile header.
inline constexpr int kMaxPictureDots = 32767;
// Pixels per metre written into saved files.
inline constexpr std::int32_t kPixelsPerMetre600 = 23622;
inline constexpr std::int32_t kPixelsPerMetre1200 = 47244;

// Bytes of one row without padding: (width + 7) div 8, width, or width x 3.
// 64-bit so that any header value can be checked without overflow; -1 for other depths.
std::int64_t rowBytesFor(std::int64_t width, int bits);
// Row bytes rounded up to a multiple of 4; -1 for other depths.
std::int64_t strideFor(std::int64_t width, int bits);

// 1-bit addressing: pixel x is the bit of value 2^(7 - x mod 8) in byte x div 8;
// 1 is white, 0 black.
inline std::uint8_t bitMask(int x) { return static_cast<std::uint8_t>(0x80u >> (x & 7)); }
inline bool bitIsWhite(const std::uint8_t* row, int x) { return (row[x >> 3] & bitMask(x)) != 0; }
inline void setBitWhite(std::uint8_t* row, int x, bool white) {
  if (white) row[x >> 3] |= bitMask(x);
  else row[x >> 3] &= static_cast<std::uint8_t>(~bitMask(x));
}

// Pixel arrays come from allocatePixels and go back through PixelFree. Large arrays are
// aligned for huge pages where the system offers them: a 100 MB page then costs a few
// dozen page faults instead of tens of thousands when it is first written.
struct PixelFree {
  void operator()(std::uint8_t* p) const noexcept;
};
using PixelArray = std::unique_ptr<std::uint8_t[], PixelFree>;
// Uninitialised bytes; null when the memory cannot be had.
PixelArray allocatePixels(std::size_t n);

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Bitmap {
public:
  int width = 0;
  int rowBytes = 0;
  int stride = 0;
  int height = 0;
  int bits = 0;  // 1, 8 or 24; 0 for an empty record
  PixelArray pixels;

  Bitmap() = default;
  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // A white picture (every byte 255). Returns an empty record when the size is not
  // positive, the depth is not 1, 8 or 24, the array would exceed kMaxPixelBytes or the
  // memory cannot be had.
  static Bitmap create(int width, int height, int bits);

  // Sets the geometry and allocates the pixel array without initialising it. On failure
  // (same reasons as create) returns false and leaves the record as it was.
  bool allocate(int width, int height, int bits);

  Bitmap clone() const;
  void fill(std::uint8_t byte);
  void release();

  bool empty() const { return !pixels; }
  std::size_t byteCount() const {
    return static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  }
  std::uint8_t* data() { return pixels.get(); }
  const std::uint8_t* data() const { return pixels.get(); }

  // Row s as it lies in the file (0 = bottom row of the picture).
  std::uint8_t* fileRow(int s) { return pixels.get() + static_cast<std::size_t>(s) * stride; }
  const std::uint8_t* fileRow(int s) const {
    return pixels.get() + static_cast<std::size_t>(s) * stride;
  }
  // Picture row r counted from the top (file row height - 1 - r).
  std::uint8_t* row(int r) { return fileRow(height - 1 - r); }
  const std::uint8_t* row(int r) const { return fileRow(height - 1 - r); }

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

  // Pixel access by picture coordinates (y = 0 at the top). The caller keeps x and y
  // inside the picture and uses the accessor of the record's depth.
  bool isWhite(int x, int y) const { return bitIsWhite(row(y), x); }  // 1 bit
  void setWhite(int x, int y, bool white) { setBitWhite(row(y), x, white); }
  std::uint8_t grey(int x, int y) const { return row(y)[x]; }  // 8 bits
  void setGrey(int x, int y, std::uint8_t v) { row(y)[x] = v; }
  Rgb rgb(int x, int y) const {  // 24 bits: bytes blue, green, red
    const std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
    return Rgb{p[2], p[1], p[0]};
  }
  void setRgb(int x, int y, Rgb c) {
    std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
  }
};

// True when the record holds pixels of a known depth with consistent row sizes.
bool wellFormed(const Bitmap& bm);

// The opened picture.
struct ImageBuffer {
  Bitmap bitmap;
  std::vector<std::uint8_t> header;  // header and palette bytes
  std::int32_t xPixelsPerMetre = 0;  // as read from the file (offset 38)
  std::int32_t yPixelsPerMetre = 0;  // offset 42
  std::string path;                  // file to open or last opened
  std::string lastPath;              // file whose picture is in memory
  std::string fileName;              // name part of the path
  std::int64_t fileTime = 0;         // modification time when read (fileTimeOf)
  bool loaded = false;
  int modified = 0;
  bool busy = false;
};

// Header template for a depth: 62, 1078 or 54 bytes with the fixed fields and the standard
// palette; file size, width, height, pixel count and resolution are left 0.
std::vector<std::uint8_t> headerTemplate(int bits);
void buildHeaderTemplate(std::vector<std::uint8_t>& header, int bits);
// 62, 1078 or 54; 0 for other depths.
int headerSizeFor(int bits);

}  // namespace quillaro
