#include "ops/pdf_page.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "image/bitmap.h"

namespace quillaro {

namespace {

// A number in a content stream: fixed notation with at most four decimals, independent of
// the locale (the window's toolkit switches LC_NUMERIC).
std::string number(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
  if (ec != std::errc()) return "0";
  std::string s(buf, end);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s == "-0" || s.empty() ? "0" : s;
}

// The picture's rows from the top, 24-bit rows as red, green, blue, through deflate.
bool deflateRows(const Bitmap& b, std::string& out) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(rowBytesFor(b.width, b.bits));
  std::vector<std::uint8_t> rgb(b.bits == 24 ? rowBytes : 0);
  std::size_t used = 0;
  bool ok = true;
  try {
    out.assign(std::max<std::size_t>(4096, rowBytes * static_cast<std::size_t>(b.height) / 16), '\0');
    for (int r = 0; r < b.height && ok; ++r) {
      const std::uint8_t* src = b.row(r);
      if (b.bits == 24) {
        for (std::size_t i = 0; i + 2 < rowBytes; i += 3) {
          rgb[i] = src[i + 2];
          rgb[i + 1] = src[i + 1];
          rgb[i + 2] = src[i];
        }
        src = rgb.data();
      }
      z.next_in = const_cast<Bytef*>(src);
      z.avail_in = static_cast<uInt>(rowBytes);
      const int flush = r + 1 == b.height ? Z_FINISH : Z_NO_FLUSH;
      for (;;) {
        if (out.size() - used < 65536) out.resize(out.size() + std::max<std::size_t>(65536, out.size() / 2));
        const std::size_t room = std::min<std::size_t>(out.size() - used, 1u << 30);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        z.avail_out = static_cast<uInt>(room);
        const int rc = deflate(&z, flush);
        used += room - z.avail_out;
        if (rc == Z_STREAM_ERROR) {
          ok = false;
          break;
        }
        if (flush == Z_FINISH ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0) break;
      }
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  deflateEnd(&z);
  if (!ok) {
    out.clear();
    return false;
  }
  out.resize(used);
  return true;
}

}  // namespace

PdfPage::PdfPage(double widthPoints, double heightPoints)
    : width_(std::isfinite(widthPoints) && widthPoints >= 1 ? static_cast<int>(std::lround(widthPoints)) : 1),
      height_(std::isfinite(heightPoints) && heightPoints >= 1 ? static_cast<int>(std::lround(heightPoints)) : 1) {}

bool PdfPage::addPicture(const Bitmap& picture, double left, double top, double width, double height,
                         std::string* error) {
  auto fail = [error](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (picture.empty() || !wellFormed(picture)) return fail("Invalid picture");
  if (!(std::isfinite(left) && std::isfinite(top) && std::isfinite(width) && std::isfinite(height)) ||
      width <= 0 || height <= 0)
    return fail("Invalid picture size");
  Image im;
  im.width = picture.width;
  im.height = picture.height;
  im.bits = picture.bits;
  im.left = left;
  im.top = top;
  im.drawWidth = width;
  im.drawHeight = height;
  if (!deflateRows(picture, im.data)) return fail("Out of memory");
  images_.push_back(std::move(im));
  return true;
}

std::string PdfPage::document() const {
  // Objects: 1 catalog, 2 page tree, 3 page, 4 contents, 5 document information, 6... the
  // pictures.
  std::string contents;
  for (std::size_t k = 0; k < images_.size(); ++k) {
    const Image& im = images_[k];
    const double y = height_ - im.top - im.drawHeight;  // PDF counts from the bottom
    contents += "q\n";
    if (im.bits == 1) contents += "0 g\n";  // the mask paints its black samples
    contents += number(im.drawWidth) + " 0 0 " + number(im.drawHeight) + " " + number(im.left) + " " +
                number(y) + " cm\n/Im" + std::to_string(k) + " Do\nQ\n";
  }

  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  auto begin = [&] {
    offsets.push_back(out.size());
    out += std::to_string(offsets.size()) + " 0 obj\n";
  };
  begin();
  out += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
  begin();
  out += "<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n";
  begin();
  out += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(width_) + " " + std::to_string(height_) +
         "] /Resources << /XObject <<";
  for (std::size_t k = 0; k < images_.size(); ++k)
    out += " /Im" + std::to_string(k) + " " + std::to_string(6 + k) + " 0 R";
  out += " >> >> /Contents 4 0 R >>\nendobj\n";
  begin();
  out += "<< /Length " + std::to_string(contents.size()) + " >>\nstream\n" + contents + "endstream\nendobj\n";
  begin();
  out += "<< /Producer (Quillaro) /Creator (Quillaro) >>\nendobj\n";
  for (const Image& im : images_) {
    begin();
    out += "<< /Type /XObject /Subtype /Image /Width " + std::to_string(im.width) + " /Height " +
           std::to_string(im.height);
    if (im.bits == 1)
      out += " /ImageMask true /BitsPerComponent 1";  // 0 black (painted), 1 white (left as paper)
    else
      out += im.bits == 8 ? " /ColorSpace /DeviceGray /BitsPerComponent 8" : " /ColorSpace /DeviceRGB /BitsPerComponent 8";
    out += " /Filter /FlateDecode /Length " + std::to_string(im.data.size()) + " >>\nstream\n";
    out += im.data;
    out += "\nendstream\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f\r\n";
  char entry[32];
  for (std::size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", off);
    out += entry;
  }
  out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R /Info 5 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace quillaro
