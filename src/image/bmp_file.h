#pragma once
// Reading and writing bitmap files of 1, 8 and 24 bits per pixel.
//
// Reading is done in block reads and trusts no header value: every size is checked before
// anything is allocated, nothing is read past the end of the file, and bytes that the file
// lacks (a short palette, a pixel count or file size field that says less, the last rows
// some writers leave off) read as white. A file that is really cut short is refused, so
// that a tiny file never makes the program allocate a huge white picture. A refused
// file leaves the caller's picture alone: the new picture comes back in the result and the
// caller takes it only on success.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "image/bitmap.h"

namespace quillaro {

class Prompts;
class Progress;

enum class ReadError {
  None,
  CannotOpen,        // missing or unreadable file
  NotBitmap,         // signature is not "BM"
  ShortHeader,       // the file ends inside the 54 bytes of the basic header
  UnknownHeader,     // info header shorter than 40 bytes (old formats)
  UnsupportedDepth,  // bits per pixel other than 1, 8, 24
  Compressed,        // compression field not 0
  TooSmall,          // width or height below 100 (a negative height too)
  TooLarge,          // a side above kMaxPictureDots or a pixel array above kMaxPixelBytes
  Truncated,         // the file holds far fewer pixel bytes than its picture needs
  OutOfMemory,       // the pixel array could not be allocated
  ReadFailed,        // the system reported an error while reading
  BadOptions,        // the caller asked for an impossible reduction
};

// Header values of a file as written in it (little-endian fields).
struct BitmapFileInfo {
  std::int64_t fileLength = 0;     // real length of the file on disk
  std::uint32_t fileSize = 0;      // offset 2
  std::uint32_t pixelOffset = 0;   // offset 10
  std::uint32_t infoSize = 0;      // offset 14
  std::int32_t width = 0;          // offset 18
  std::int32_t height = 0;         // offset 22
  int bits = 0;                    // offset 28
  std::uint32_t compression = 0;   // offset 30
  std::uint32_t pixelCount = 0;    // offset 34, as written
  std::int32_t xPixelsPerMetre = 0;  // offset 38
  std::int32_t yPixelsPerMetre = 0;  // offset 42
  std::uint32_t coloursUsed = 0;   // offset 46
  // The pixel byte count taken: the count at 34, or, when it is 0, file size - pixel
  // offset (the real length stands in for a file size field of 0 or not past the offset).
  std::int64_t pixelBytes = 0;
};

struct BitmapProbe {
  ReadError error = ReadError::None;
  std::string message;
  BitmapFileInfo info;
  bool ok() const { return error == ReadError::None; }
};

// Opens the file and checks signature, header length, depth and compression, without the
// size rule: the first checks of an opening, before its working depth is decided.
// messages == nullptr: the refusal is returned but not shown.
BitmapProbe probeBitmap(const std::string& path, Prompts* messages);

// The refusal of a picture smaller than kMinPictureDots either way ("Рисунки размером
// меньше 100 точек не открываются." and its size); empty when the size is allowed.
std::string tooSmallMessage(const BitmapFileInfo& info);

enum class ColourMode { Keep, Reduce };

// Turns one file row of a 24-bit picture (width pixels of blue, green, red) into one row
// of the result at its depth (8 or 1 bits). `out` holds stride bytes, all 255 (white) on
// entry.
using RowConverter = std::function<void(const std::uint8_t* bgr, int width, std::uint8_t* out)>;

struct ReadOptions {
  // 24-bit files: Keep reads them as they are; Reduce reads them row by row through
  // convertRow into a picture of reducedBits (8 or 1).
  ColourMode colour = ColourMode::Keep;
  int reducedBits = 8;
  RowConverter convertRow;
  // 8-bit files: 256 entries applied to every pixel byte after the palette (tone map).
  const std::uint8_t* byteMap = nullptr;
  // Percentage every 32 rows of a row-by-row reduction; nullptr for none.
  Progress* progress = nullptr;
};

struct ReadResult {
  ReadError error = ReadError::None;
  std::string message;  // the refusal as shown (or as it would be shown)
  BitmapFileInfo info;
  // On success: the picture, its header bytes, resolution, path, last path, file name and
  // file time; loaded set, modified 0, busy false.
  ImageBuffer image;
  bool ok() const { return error == ReadError::None; }
};

// Reads a bitmap file. Refusals, in the order checked:
//   name + " - не битмап"                 signature
//   name + " - неполный заголовок битмапа"  file shorter than 54 bytes
//   name + " - неизвестный заголовок битмапа"  info header under 40 bytes
//   name + " -  " + bits + "-бит"         depth
//   name + " - сжатый битмап"             compression
//   "Рисунки размером меньше 100 точек не открываются.\r\nЭтот - W x H"
//   "Рисунок слишком большой.\r\nЭтот - W x H"
//   name + " - файл неполный: в нём нет точек рисунка." + CR LF + "Этот - W x H"
//                                          (more than kMissingRowsAllowed rows missing)
//   "Не хватает памяти для рисунка.\r\nЭтот - W x H"
//   name + " - ошибка чтения файла"
// A missing file gives "Нет файла " + path.
ReadResult readBitmap(const std::string& path, const ReadOptions& options, Prompts* messages);

// Rows of pixel bytes a file may lack at its end and still be read (the missing rows read
// white): writers that drop the padding of the last row, or the last row itself, are met
// in practice; a file short by more is a cut-off copy or a hostile header.
inline constexpr int kMissingRowsAllowed = 2;

// Writes the record with the standard header of its depth and the given pixels per metre
// (kPixelsPerMetre600 / kPixelsPerMetre1200). The bytes go to a temporary file in the same
// folder which then replaces the target, so an existing file survives any failure. On
// failure returns false and sets *error to a message naming the file.
bool writeBitmap(const std::string& path, const Bitmap& bitmap, std::int32_t pixelsPerMetre,
                 std::string* error = nullptr);

// The name part of a path (after the last "\" or "/").
std::string bitmapFileName(std::string_view path);
// Modification time of a file as clock ticks, 0 when it cannot be read.
std::int64_t fileTimeOf(const std::string& path);

}  // namespace quillaro
