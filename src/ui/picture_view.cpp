#include "ui/picture_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
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
  setMinimumSize(120, 120);
  hBar_ = new QScrollBar(Qt::Horizontal, this);
  vBar_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {hBar_, vBar_}) {
    bar->hide();
    bar->setCursor(Qt::ArrowCursor);
    connect(bar, &QScrollBar::valueChanged, this, [this] {
      if (syncing_) return;
      ViewMapping m = mapping_;
      m.offsetX = hBar_->isVisible() ? -hBar_->value() : m.offsetX;
      m.offsetY = vBar_->isVisible() ? -vBar_->value() : m.offsetY;
      free_ = free_ || mode_ != FitMode::Window;
      setMapping(m);
    });
  }
}

void PictureView::setPicture(const Bitmap* picture) {
  const QSize before = image_.size();
  image_ = picture ? toQImage(*picture) : QImage();
  still_ = QPixmap();
  // A picture of another size (turned, another file) is fitted again.
  if (image_.size() != before) free_ = false;
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
  free_ = false;
  remap();
}

QRect PictureView::pictureArea() const {
  QRect r = rect();
  if (vBar_ && vBar_->isVisible()) r.setRight(r.right() - vBar_->width());
  if (hBar_ && hBar_->isVisible()) r.setBottom(r.bottom() - hBar_->height());
  return r;
}

QPointF PictureView::centre() const { return QRectF(pictureArea()).center(); }

void PictureView::zoomBy(double factor, QPointF at) {
  if (image_.isNull()) return;
  if (at.x() < 0) at = centre();
  free_ = true;
  setMapping(zoomAround(mapping_, factor, at.x(), at.y()));
}

void PictureView::zoomActualSize(QPointF at) {
  if (image_.isNull()) return;
  if (at.x() < 0) at = centre();
  free_ = true;
  setMapping(actualSize(devicePixelRatioF(), mapping_.toPictureX(at.x()), mapping_.toPictureY(at.y()),
                        at.x(), at.y()));
}

void PictureView::panBy(QPointF delta) {
  ViewMapping m = mapping_;
  m.offsetX += delta.x();
  m.offsetY += delta.y();
  free_ = free_ || mode_ != FitMode::Window;
  setMapping(m);
}

void PictureView::setFrames(const PixRect& copyZone, const PixRect& drawing, bool drawingMode) {
  copy_ = copyZone;
  drawing_ = drawing;
  drawingMode_ = drawingMode;
  update();
}

double PictureView::handleReach() const { return mapping_.scale > 0 ? 6.0 / mapping_.scale : 6.0; }

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
  if (free_) {
    setMapping(mapping_);
    return;
  }
  if (mode_ == FitMode::Width) {
    // Fitted to the width less the vertical scroll bar, starting at the picture's top.
    const int bar = vBar_->sizeHint().width();
    ViewMapping top = fitPicture(image_.width(), image_.height(), width(), height(), mode_);
    if (image_.height() * top.scale > height())
      top = fitPicture(image_.width(), image_.height(), std::max(1, width() - bar), height(), mode_);
    top.offsetY = 0;
    setMapping(top);
    return;
  }
  setMapping(fitPicture(image_.width(), image_.height(), width(), height(), mode_, 0, sheetW_, sheetH_));
}

void PictureView::setMapping(const ViewMapping& m) {
  ViewMapping k = m;
  if (!image_.isNull() && mode_ != FitMode::Sheet) {
    const QRect area = QRect(0, 0, width(), height());
    const int pw = image_.width(), ph = image_.height();
    // Scroll bars appear where the picture does not fit and take their room from the view.
    const bool needH = pw * k.scale > area.width() + 0.5;
    const bool needV = ph * k.scale > area.height() + 0.5;
    syncing_ = true;
    hBar_->setVisible(needH);
    vBar_->setVisible(needV);
    syncing_ = false;
    const QRect inner = pictureArea();
    k = keepInView(k, pw, ph, inner.width(), inner.height());
  } else {
    hBar_->hide();
    vBar_->hide();
  }
  const bool rescaled = k.scale != mapping_.scale;
  mapping_ = k;
  if (rescaled || scaled_.isNull()) scaledStale_ = true;
  syncScrollBars();
  update();
  if (onMappingChanged) onMappingChanged();
}

void PictureView::syncScrollBars() {
  const QRect inner = pictureArea();
  const int extent = hBar_->sizeHint().height();
  hBar_->setGeometry(0, height() - extent, inner.width(), extent);
  vBar_->setGeometry(width() - vBar_->sizeHint().width(), 0, vBar_->sizeHint().width(), inner.height());
  syncing_ = true;
  if (hBar_->isVisible()) {
    const int content = static_cast<int>(image_.width() * mapping_.scale + 0.5);
    hBar_->setRange(0, std::max(0, content - inner.width()));
    hBar_->setPageStep(inner.width());
    hBar_->setSingleStep(std::max(1, inner.width() / 20));
    hBar_->setValue(static_cast<int>(-mapping_.offsetX + 0.5));
  }
  if (vBar_->isVisible()) {
    const int content = static_cast<int>(image_.height() * mapping_.scale + 0.5);
    vBar_->setRange(0, std::max(0, content - inner.height()));
    vBar_->setPageStep(inner.height());
    vBar_->setSingleStep(std::max(1, inner.height() / 20));
    vBar_->setValue(static_cast<int>(-mapping_.offsetY + 0.5));
  }
  syncing_ = false;
}

void PictureView::rebuildScaled() {
  scaledStale_ = false;
  scaled_ = QPixmap();
  scaledFor_ = 0;
  if (image_.isNull()) return;
  // The picture is scaled at device pixels, so that it is sharp at any screen scale. Only
  // reductions are kept; an enlarged picture is drawn straight from the image (paintEvent).
  const double dpr = devicePixelRatioF();
  const double deviceScale = mapping_.scale * dpr;
  if (deviceScale >= 1.0) return;
  const int w = std::max(1, static_cast<int>(image_.width() * deviceScale + 0.5));
  const int h = std::max(1, static_cast<int>(image_.height() * deviceScale + 0.5));
  // Smooth scaling keeps thin lines of a reduced scan visible as grey.
  QImage source = image_.format() == QImage::Format_Mono ? image_.convertToFormat(QImage::Format_Grayscale8)
                                                         : image_;
  scaled_ = QPixmap::fromImage(source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  scaled_.setDevicePixelRatio(dpr);
  scaledFor_ = deviceScale;
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!still_.isNull()) {
    p.drawPixmap(0, 0, still_);
    return;
  }
  if (image_.isNull()) return;
  if (scaledStale_ || std::abs(scaledFor_ - mapping_.scale * devicePixelRatioF()) > 1e-9) rebuildScaled();
  p.setClipRect(pictureArea());
  if (!scaled_.isNull()) {
    p.drawPixmap(QPointF(mapping_.offsetX, mapping_.offsetY), scaled_);
  } else {
    // Enlarged: the visible part of the picture, each pixel a sharp square.
    const QRectF area = pictureArea();
    QRectF src(mapping_.toPictureX(area.left()), mapping_.toPictureY(area.top()), area.width() / mapping_.scale,
               area.height() / mapping_.scale);
    src = src.intersected(QRectF(0, 0, image_.width(), image_.height()));
    const QRectF src2(std::floor(src.left()), std::floor(src.top()),
                      std::ceil(src.right()) - std::floor(src.left()), std::ceil(src.bottom()) - std::floor(src.top()));
    const QRectF dst(mapping_.toViewX(src2.left()), mapping_.toViewY(src2.top()), src2.width() * mapping_.scale,
                     src2.height() * mapping_.scale);
    p.drawImage(dst, image_, src2);
  }
  auto toView = [this](const PixRect& r) {
    return QRectF(mapping_.toViewX(r.x), mapping_.toViewY(r.y), r.w * mapping_.scale,
                  r.h * mapping_.scale);
  };
  auto handles = [&](const QRectF& r, const QColor& c) {
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(c);
    const double s = 6;
    for (double x : {r.left(), r.center().x(), r.right()})
      for (double y : {r.top(), r.center().y(), r.bottom()})
        if (x != r.center().x() || y != r.center().y()) p.drawRect(QRectF(x - s / 2, y - s / 2, s, s));
    p.setBrush(Qt::NoBrush);
  };
  if (!copy_.empty()) {
    QPen pen(QColor(0, 0, 255), drawingMode_ ? 1 : 2);
    p.setPen(pen);
    p.drawRect(toView(copy_));
    if (!drawingMode_) handles(toView(copy_), QColor(0, 0, 255));
  }
  if (!drawing_.empty()) {
    QPen pen(QColor(255, 0, 0), drawingMode_ ? 2 : 1, Qt::DashLine);
    pen.setDashOffset(dashOffset_);
    p.setPen(pen);
    p.drawRect(toView(drawing_));
    if (drawingMode_) handles(toView(drawing_), QColor(255, 0, 0));
  }
  if (magnify_) {
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
  if (panning_) {
    panBy(e->position() - panFrom_);
    panFrom_ = e->position();
    return;
  }
  if (onMove)
    onMove(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()), e->buttons());
}

void PictureView::mousePressEvent(QMouseEvent* e) {
  setFocus();
  if (e->button() == Qt::MiddleButton) {
    // The middle button drags the picture.
    panning_ = true;
    panFrom_ = e->position();
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (onPress)
    onPress(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()),
            e->button(), e->modifiers());
}

void PictureView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton && panning_) {
    panning_ = false;
    unsetCursor();
    return;
  }
  if (onRelease)
    onRelease(mapping_.toPictureX(e->position().x()), mapping_.toPictureY(e->position().y()),
              e->button(), e->modifiers());
}

void PictureView::wheelEvent(QWheelEvent* e) {
  if (image_.isNull() || mapping_.scale <= 0) return;
  const QPoint delta = e->angleDelta();
  if (e->modifiers() & Qt::ControlModifier) {
    // Ctrl+wheel zooms around the pointer.
    if (delta.y() != 0) zoomBy(std::pow(kZoomStep, delta.y() / 120.0), e->position());
    return;
  }
  // The wheel scrolls (with Shift sideways).
  const bool sideways = (e->modifiers() & Qt::ShiftModifier) || (delta.x() != 0 && delta.y() == 0);
  const double step = (delta.y() != 0 ? delta.y() : delta.x()) / 2.0;
  panBy(sideways ? QPointF(step, 0) : QPointF(0, step));
}
void PictureView::keyPressEvent(QKeyEvent* e) {
  if (onKey) onKey(e);
  else QWidget::keyPressEvent(e);
}

}  // namespace quillaro
