#include "image/bmp_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/files.h"
#include "base/numeric.h"
#include "base/ports.h"

namespace quillaro {

namespace fs = std::filesystem;

namespace {

const char* const kLineBreak = "\r\n";

fs::path toPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::FILE* openFile(const fs::path& p, bool write) {
#ifdef _WIN32
  return _wfopen(p.c_str(), write ? L"wbx" : L"rb");
#else
  return std::fopen(p.c_str(), write ? "wbx" : "rb");
#endif
}

bool seekTo(std::FILE* f, std::int64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, offset, SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::int64_t lengthOf(std::FILE* f) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
  return _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  return static_cast<std::int64_t>(ftello(f));
#endif
}

// An open input file that knows its length and never reads beyond it.
class InFile {
public:
  explicit InFile(const std::string& path) : f_(openFile(toPath(path), false)) {
    if (f_) length_ = lengthOf(f_);
    if (length_ < 0) close();
  }
  ~InFile() { close(); }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  bool isOpen() const { return f_ != nullptr; }
  std::int64_t length() const { return length_; }
  bool failed() const { return failed_; }

  // Reads up to n bytes at offset, clipped to the end of the file; the rest of dst is
  // filled with `fill`. Returns the number of bytes read from the file.
  std::size_t readAt(std::int64_t offset, std::uint8_t* dst, std::size_t n, std::uint8_t fill) {
    std::size_t got = 0;
    if (offset >= 0 && offset < length_ && n > 0) {
      std::size_t want = static_cast<std::size_t>(
          std::min<std::int64_t>(static_cast<std::int64_t>(n), length_ - offset));
      if (!seekTo(f_, offset)) {
        failed_ = true;
      } else {
        got = std::fread(dst, 1, want, f_);
        if (got < want && std::ferror(f_)) failed_ = true;
      }
    }
    if (got < n) std::memset(dst + got, fill, n - got);
    return got;
  }

private:
  void close() {
    if (f_) std::fclose(f_);
    f_ = nullptr;
  }
  std::FILE* f_ = nullptr;
  std::int64_t length_ = -1;
  bool failed_ = false;
};

std::uint32_t get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
unsigned get16(const std::uint8_t* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string sizeLine(const BitmapFileInfo& info) {
  return "Этот - " + std::to_string(info.width) + " x " + std::to_string(info.height);
}

}  // namespace

std::string tooSmallMessage(const BitmapFileInfo& info) {
  if (info.width >= kMinPictureDots && info.height >= kMinPictureDots) return {};
  return std::string("Рисунки размером меньше 100 точек не открываются.") + kLineBreak + sizeLine(info);
}

namespace {

template <class R>
R refuse(R& r, ReadError e, std::string text, Prompts* messages) {
  r.error = e;
  r.message = std::move(text);
  if (messages && e != ReadError::BadOptions) messages->message(r.message, Icon::Exclamation);
  return std::move(r);
}

// Steps common to probing and reading: signature, basic header, depth, header kind,
// compression. Returns false with r.error/r.message set on a refusal (not yet shown).
bool checkHeader(InFile& file, const std::string& path, BitmapFileInfo& info, ReadError& error,
                 std::string& message) {
  const std::string name = bitmapFileName(path);
  if (!file.isOpen()) {
    error = ReadError::CannotOpen;
    std::error_code ec;
    message = fs::exists(toPath(path), ec) ? name + " - файл не открывается" : "Нет файла " + path;
    return false;
  }
  info.fileLength = file.length();
  std::uint8_t h[54];
  std::size_t got = file.readAt(0, h, sizeof h, 0);
  if (file.failed()) {
    error = ReadError::ReadFailed;
    message = name + " - ошибка чтения файла";
    return false;
  }
  if (got < 2 || get16(h) != 19778) {
    error = ReadError::NotBitmap;
    message = name + " - не битмап";
    return false;
  }
  if (got < sizeof h) {
    error = ReadError::ShortHeader;
    message = name + " - неполный заголовок битмапа";
    return false;
  }
  info.fileSize = get32(h + 2);
  info.pixelOffset = get32(h + 10);
  info.infoSize = get32(h + 14);
  info.width = static_cast<std::int32_t>(get32(h + 18));
  info.height = static_cast<std::int32_t>(get32(h + 22));
  info.bits = static_cast<int>(get16(h + 28));
  info.compression = get32(h + 30);
  info.pixelCount = get32(h + 34);
  info.xPixelsPerMetre = static_cast<std::int32_t>(get32(h + 38));
  info.yPixelsPerMetre = static_cast<std::int32_t>(get32(h + 42));
  info.coloursUsed = get32(h + 46);
  if (info.pixelCount != 0) {
    info.pixelBytes = info.pixelCount;
  } else {
    std::int64_t size = info.fileSize > info.pixelOffset ? info.fileSize : info.fileLength;
    info.pixelBytes = std::max<std::int64_t>(0, size - info.pixelOffset);
  }
  if (info.infoSize < 40) {
    error = ReadError::UnknownHeader;
    message = name + " - неизвестный заголовок битмапа";
    return false;
  }
  if (info.bits != 1 && info.bits != 8 && info.bits != 24) {
    error = ReadError::UnsupportedDepth;
    message = name + " -  " + std::to_string(info.bits) + "-бит";
    return false;
  }
  if (info.compression != 0) {
    error = ReadError::Compressed;
    message = name + " - сжатый битмап";
    return false;
  }
  return true;
}

// Number of palette entries a 1-bit or 8-bit file really has: the colours-used field when
// it is within range, else the full 2 or 256, never more than fit between the end of the
// info header and the pixel bytes.
int paletteEntries(const BitmapFileInfo& info) {
  const std::int64_t full = info.bits == 1 ? 2 : 256;
  std::int64_t n = (info.coloursUsed >= 1 && info.coloursUsed <= full) ? info.coloursUsed : full;
  std::int64_t gap =
      (static_cast<std::int64_t>(info.pixelOffset) - 14 - static_cast<std::int64_t>(info.infoSize)) / 4;
  return static_cast<int>(std::clamp<std::int64_t>(std::min(n, gap), 0, full));
}

// Applies the palette (and for 8 bits the byte map) to the n bytes read.
void applyPalette(InFile& file, const BitmapFileInfo& info, const std::uint8_t* byteMap,
                  std::uint8_t* px, std::size_t n) {
  const int full = info.bits == 1 ? 2 : 256;
  const int entries = paletteEntries(info);
  std::uint8_t pal[256 * 4];
  file.readAt(14 + static_cast<std::int64_t>(info.infoSize), pal, static_cast<std::size_t>(entries) * 4,
              0xFF);
  // Grey of each entry; entries the file lacks are the standard ones.
  std::uint8_t grey[256];
  bool standard = true;
  for (int i = 0; i < full; ++i) {
    const int level = info.bits == 1 ? 255 * i : i;
    if (i >= entries) {
      grey[i] = static_cast<std::uint8_t>(level);
      continue;
    }
    const std::uint8_t* e = pal + 4 * i;
    grey[i] = static_cast<std::uint8_t>(nearest((e[0] + e[1] + e[2]) / 3.0));
    if (e[0] != level || e[1] != level || e[2] != level) standard = false;
  }
  if (info.bits == 1) {
    if (!standard && grey[0] > grey[1]) {
      for (std::size_t i = 0; i < n; ++i) px[i] = static_cast<std::uint8_t>(~px[i]);
    }
    return;
  }
  if (standard && !byteMap) return;
  std::uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = byteMap ? byteMap[grey[v]] : grey[v];
  for (std::size_t i = 0; i < n; ++i) px[i] = table[px[i]];
}

}  // namespace

std::string bitmapFileName(std::string_view path) {
  std::size_t cut = path.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::int64_t fileTimeOf(const std::string& path) {
  std::error_code ec;
  auto t = fs::last_write_time(toPath(path), ec);
  return ec ? 0 : static_cast<std::int64_t>(t.time_since_epoch().count());
}

BitmapProbe probeBitmap(const std::string& path, Prompts* messages) {
  BitmapProbe r;
  InFile file(path);
  ReadError e = ReadError::None;
  std::string text;
  if (!checkHeader(file, path, r.info, e, text)) return refuse(r, e, std::move(text), messages);
  return r;
}

ReadResult readBitmap(const std::string& path, const ReadOptions& options, Prompts* messages) {
  ReadResult r;
  InFile file(path);
  BitmapFileInfo& info = r.info;
  {
    ReadError e = ReadError::None;
    std::string text;
    if (!checkHeader(file, path, info, e, text)) return refuse(r, e, std::move(text), messages);
  }
  const std::string name = bitmapFileName(path);
  if (std::string small = tooSmallMessage(info); !small.empty())
    return refuse(r, ReadError::TooSmall, std::move(small), messages);
  const bool reduce = info.bits == 24 && options.colour == ColourMode::Reduce;
  const int bits = reduce ? options.reducedBits : info.bits;
  if (reduce && ((bits != 1 && bits != 8) || !options.convertRow)) {
    return refuse(r, ReadError::BadOptions, "неверные параметры чтения", messages);
  }
  const std::int64_t stride = strideFor(info.width, bits);
  const std::int64_t fileStride = strideFor(info.width, info.bits);
  if (info.width > kMaxPictureDots || info.height > kMaxPictureDots ||
      stride * info.height > kMaxPixelBytes || fileStride * info.height > kMaxPixelBytes) {
    return refuse(r, ReadError::TooLarge,
                  std::string("Рисунок слишком большой.") + kLineBreak + sizeLine(info), messages);
  }
  // Nothing is allocated for pixels the file cannot hold: a few missing rows read white,
  // more refuse the file.
  const std::int64_t inFile = std::max<std::int64_t>(0, info.fileLength - info.pixelOffset);
  if (fileStride * info.height - inFile > fileStride * kMissingRowsAllowed) {
    return refuse(r, ReadError::Truncated,
                  name + " - файл неполный: в нём нет точек рисунка." + kLineBreak + sizeLine(info),
                  messages);
  }
  Bitmap& bm = r.image.bitmap;
  if (!bm.allocate(info.width, info.height, bits)) {
    return refuse(r, ReadError::OutOfMemory,
                  std::string("Не хватает памяти для рисунка.") + kLineBreak + sizeLine(info),
                  messages);
  }
  const std::size_t total = bm.byteCount();
  // Pixel bytes present: the count taken, clipped to the file's end.
  const std::int64_t present = std::max<std::int64_t>(
      0, std::min<std::int64_t>(info.pixelBytes, info.fileLength - info.pixelOffset));

  // Header bytes: the file's own over the template of the result depth.
  buildHeaderTemplate(r.image.header, bits);
  if (!reduce) {
    std::vector<std::uint8_t> fromFile(r.image.header.size());
    std::size_t got = file.readAt(0, fromFile.data(), fromFile.size(), 0);
    std::copy_n(fromFile.begin(), got, r.image.header.begin());
  }

  if (!reduce) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(present, total));
    std::size_t got = file.readAt(info.pixelOffset, bm.data(), want, 0xFF);
    if (info.bits != 24) applyPalette(file, info, options.byteMap, bm.data(), got);
    // Bytes the file lacks are white, after the palette so that they stay white.
    if (got < total) std::memset(bm.data() + got, 0xFF, total - got);
  } else {
    // Row by row through a block of a few rows, never the whole colour file.
    const std::int64_t rowsPerBlock =
        std::clamp<std::int64_t>((std::int64_t{1} << 20) / fileStride, 1, info.height);
    const std::size_t blockBytes = static_cast<std::size_t>(rowsPerBlock * fileStride);
    PixelArray block = allocatePixels(blockBytes);
    if (!block) {
      bm.release();
      return refuse(r, ReadError::OutOfMemory,
                    std::string("Не хватает памяти для рисунка.") + kLineBreak + sizeLine(info),
                    messages);
    }
    for (std::int64_t s0 = 0; s0 < info.height; s0 += rowsPerBlock) {
      const std::int64_t rows = std::min<std::int64_t>(rowsPerBlock, info.height - s0);
      const std::int64_t start = s0 * fileStride;
      const std::int64_t bytes = rows * fileStride;
      const std::int64_t avail = std::clamp<std::int64_t>(present - start, 0, bytes);
      file.readAt(info.pixelOffset + start, block.get(), static_cast<std::size_t>(avail), 0xFF);
      if (avail < bytes) std::memset(block.get() + avail, 0xFF, static_cast<std::size_t>(bytes - avail));
      for (std::int64_t i = 0; i < rows; ++i) {
        const int s = static_cast<int>(s0 + i);
        std::uint8_t* out = bm.fileRow(s);
        std::memset(out, 0xFF, static_cast<std::size_t>(stride));
        options.convertRow(block.get() + i * fileStride, info.width, out);
        if (options.progress && (s & 31) == 31) {
          options.progress->percent(static_cast<int>((s + 1) * std::int64_t{100} / info.height));
          options.progress->pump();
        }
      }
    }
  }
  if (file.failed()) {
    bm.release();
    return refuse(r, ReadError::ReadFailed, name + " - ошибка чтения файла", messages);
  }

  ImageBuffer& im = r.image;
  im.xPixelsPerMetre = info.xPixelsPerMetre;
  im.yPixelsPerMetre = info.yPixelsPerMetre;
  im.path = path;
  im.lastPath = path;
  im.fileName = name;
  im.fileTime = fileTimeOf(path);
  im.loaded = true;
  im.modified = 0;
  im.busy = false;
  return r;
}

namespace {

std::string writeFailure(const std::string& path, const std::string& reason) {
  return "Не удалось записать файл \"" + path + "\"" + kLineBreak + reason;
}

}  // namespace

bool writeBitmap(const std::string& path, const Bitmap& bitmap, std::int32_t pixelsPerMetre,
                 std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = writeFailure(path, reason);
    return false;
  };
  const int headerSize = headerSizeFor(bitmap.bits);
  if (headerSize == 0 || bitmap.empty() || bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.stride != strideFor(bitmap.width, bitmap.bits)) {
    return fail("нет рисунка для записи");
  }
  const std::uint64_t pixelBytes = bitmap.byteCount();
  std::vector<std::uint8_t> header = headerTemplate(bitmap.bits);
  put32(header.data() + 2, static_cast<std::uint32_t>(headerSize + pixelBytes));
  put32(header.data() + 18, static_cast<std::uint32_t>(bitmap.width));
  put32(header.data() + 22, static_cast<std::uint32_t>(bitmap.height));
  put32(header.data() + 34, static_cast<std::uint32_t>(pixelBytes));
  put32(header.data() + 38, static_cast<std::uint32_t>(pixelsPerMetre));
  put32(header.data() + 42, static_cast<std::uint32_t>(pixelsPerMetre));

  const auto bytes = [](const void* data, std::uint64_t size) {
    return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
  };
  std::string reason;
  if (!writeFileAtomic(path, {bytes(header.data(), header.size()), bytes(bitmap.data(), pixelBytes)}, &reason))
    return fail(reason);
  return true;
}

}  // namespace quillaro
