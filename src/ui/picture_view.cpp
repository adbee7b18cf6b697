#include "ui/picture_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstring>

#include "image/bitmap.h"

namespace quillaro {

QImage toQImage(const Bitmap& b) {
  if (b.empty() || b.width <= 0 || b.height <= 0) return {};
  QImage::Format format = b.bits == 1 ? QImage::Format_Mono
                        : b.bits == 8 ? QImage::Format_Grayscale8
                        : b.bits == 24 ? QImage::Format_BGR888
                                       : QImage::Format_Invalid;
  if (format == QImage::Format_Invalid) return {};
  QImage img(b.width, b.height, format);
  if (img.isNull()) return {};
  if (b.bits == 1) img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  const std::size_t n = static_cast<std::size_t>(std::min<qsizetype>(img.bytesPerLine(), b.rowBytes));
  for (int r = 0; r < b.height; ++r) std::memcpy(img.scanLine(r), b.row(r), n);  // rows are stored bottom-up
  return img;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(128, 128, 128));
  setPalette(p);
  setMinimumSize(200, 200);
}

void PictureView::setPicture(const Bitmap* picture) {
  image_ = picture ? toQImage(*picture) : QImage();
  still_ = QPixmap();
  remap();
}

void PictureView::setStill(const QPixmap& pixmap) {
  image_ = QImage();
  still_ = pixmap;
  scaled_ = QPixmap();
  update();
}

void PictureView::setFitMode(FitMode mode) {
  mode_ = mode;
  scroll_ = 0;
  remap();
}

void PictureView::setFrames(const PixRect& copyZone, const PixRect& drawing, bool drawingMode) {
  copy_ = copyZone;
  drawing_ = drawing;
  drawingMode_ = drawingMode;
  update();
}

void PictureView::stepDashes() {
  dashOffset_ = (dashOffset_ + 1) % 8;
  update();
}

void PictureView::showMagnifier(QPoint at) {
  magnify_ = true;
  magnifyAt_ = at;
  update();
}

void PictureView::hideMagnifier() {
  magnify_ = false;
  update();
}

void PictureView::remap() {
  mapping_ = fitPicture(image_.width(), image_.height(), width(), height(), mode_, scroll_,
                        sheetW_, sheetH_);
  // The scaled picture is made when the view is next painted: a view that is not on screen
  // (the edit view behind the page view, the A3 preview) costs nothing while a program runs.
  scaled_ = QPixmap();
  scaledStale_ = true;
  update();
}

void PictureView::rebuildScaled() {
  scaledStale_ = false;
  scaled_ = QPixmap();
  if (!image_.isNull()) {
    const int w = std::max(1, static_cast<int>(image_.width() * mapping_.scale + 0.5));
    const int h = std::max(1, static_cast<int>(image_.height() * mapping_.scale + 0.5));
    // Smooth scaling keeps thin lines of a reduced scan visible as grey.
    QImage source = image_.format() == QImage::Format_Mono
                        ? image_.convertToFormat(QImage::Format_Grayscale8)
                        : image_;
    scaled_ = QPixmap::fromImage(source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!still_.isNull()) {
    p.drawPixmap(0, 0, still_);
    return;
  }
  if (scaledStale_) rebuildScaled();
  if (scaled_.isNull()) return;
  p.drawPixmap(QPointF(mapping_.offsetX, mapping_.offsetY), scaled_);
  auto toView = [this](const PixRect& r) {
    return QRectF(mapping_.toViewX(r.x), mapping_.toViewY(r.y), r.w * mapping_.scale,
                  r.h * mapping_.scale);
  };
  if (!copy_.empty()) {
    QPen pen(QColor(0, 0, 255), drawingMode_ ? 1 : 2);
    p.setPen(pen);
    p.drawRect(toView(copy_));
  }
  if (!drawing_.empty()) {
    QPen pen(QColor(255, 0, 0), drawingMode_ ? 2 : 1, Qt::DashLine);
    pen.setDashOffset(dashOffset_);
    p.setPen(pen);
    p.drawRect(toView(drawing_));
  }
  if (magnify_ && !image_.isNull()) {
    // 4 times the picture's own scale, 240 x 240 pixels, centred on the pointer.
    constexpr int side = 240;
    const double factor = std::max(1.0, mapping_.scale * 4.0);
    const double srcSide = side / factor;
    const QRectF src(mapping_.toPictureX(magnifyAt_.x()) - srcSide / 2,
                     mapping_.toPictureY(magnifyAt_.y()) - srcSide / 2, srcSide, srcSide);
    QRect dst(magnifyAt_.x() - side / 2, magnifyAt_.y() - side / 2, side, side);
    dst.moveLeft(std::clamp(dst.left(), 0, std::max(0, width() - side)));
    dst.moveTop(std::clamp(dst.top(), 0, std::max(0, height() - side)));
    p.fillRect(dst, Qt::white);
    p.drawImage(dst, image_, src);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(dst);
  }
}

void PictureView::resizeEvent(QResizeEvent*) { remap(); }

void PictureView::mouseMoveEvent(QMouseEvent* e) {
  if (onMove)
    onMove(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()), e->buttons());
}

void PictureView::mousePressEvent(QMouseEvent* e) {
  setFocus();
  if (onPress)
    onPress(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()),
            e->button(), e->modifiers());
}

void PictureView::mouseReleaseEvent(QMouseEvent* e) {
  if (onRelease)
    onRelease(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()),
              e->button(), e->modifiers());
}

void PictureView::wheelEvent(QWheelEvent* e) {
  if (mode_ != FitMode::Width || mapping_.scale <= 0) return;
  scroll_ -= e->angleDelta().y() / mapping_.scale / 2.0;
  scroll_ = std::max(0.0, std::min(scroll_, image_.height() - height() / mapping_.scale));
  const double keepScroll = scroll_;
  mapping_ = fitPicture(image_.width(), image_.height(), width(), height(), mode_, keepScroll);
  update();
}

void PictureView::keyPressEvent(QKeyEvent* e) {
  if (onKey) onKey(e);
  else QWidget::keyPressEvent(e);
}

}  // namespace quillaro
