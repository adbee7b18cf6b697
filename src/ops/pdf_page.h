#pragma once
// A PDF document of one page made of pictures, written without any toolkit: each picture
// is one image XObject (1-bit pictures as an image mask, 8-bit as DeviceGray, 24-bit as
// DeviceRGB), its rows compressed with FlateDecode, drawn scaled into a rectangle of the
// page. The PDF file printer and the system printers send this document.
#include <string>
#include <vector>

namespace quillaro {

class Bitmap;

class PdfPage {
public:
  // A page of width x height points (1/72 inch). The page box is written in whole points,
  // the way printers and readers name the paper (A4 is 595 x 842).
  PdfPage(double widthPoints, double heightPoints);

  // Draws the picture with its top-left corner `left`, `top` points from the page's
  // top-left corner, scaled to width x height points. False, with the reason in *error,
  // for an empty or malformed picture, a size that is not positive, or no memory.
  bool addPicture(const Bitmap& picture, double left, double top, double width, double height,
                  std::string* error = nullptr);
  int pictureCount() const { return static_cast<int>(images_.size()); }

  // The whole PDF file.
  std::string document() const;

  int pageWidth() const { return width_; }
  int pageHeight() const { return height_; }

private:
  struct Image {
    int width = 0, height = 0, bits = 0;
    double left = 0, top = 0, drawWidth = 0, drawHeight = 0;
    std::string data;  // the rows, top first, deflated
  };
  int width_;
  int height_;
  std::vector<Image> images_;
};

}  // namespace quillaro
