#pragma once
// A picture box: shows a bitmap scaled into the widget, with the copy frame and the
// drawing rectangle drawn over it, a dashed selection frame that moves with the
// TimerRGB phase, and the magnified view around the pointer.
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "presentation/view_logic.h"

namespace quillaro {

class Bitmap;

// The picture rows as a QImage (1 bit: Mono with black and white; 8 bits: Grayscale8;
// 24 bits: BGR888); a null image for an empty picture.
QImage toQImage(const Bitmap& picture);

class PictureView : public QWidget {
public:
  explicit PictureView(QWidget* parent = nullptr);

  // Takes the picture again (after every change of its pixels or size).
  void setPicture(const Bitmap* picture);
  // The size of the picture shown (empty when none).
  QSize pictureSize() const { return image_.size(); }
  void setStill(const QPixmap& pixmap);  // a snapshot instead of a picture
  void setFitMode(FitMode mode);
  FitMode fitMode() const { return mode_; }
  void setSheetSize(double w, double h) { sheetW_ = w; sheetH_ = h; update(); }
  const ViewMapping& mapping() const { return mapping_; }

  // Frames in picture pixels; empty rectangles are not drawn.
  void setFrames(const PixRect& copyZone, const PixRect& drawing, bool drawingMode);
  void stepDashes();  // one TimerRGB tick

  // The magnified view around a view position; hidden by hideMagnifier.
  void showMagnifier(QPoint at);
  void hideMagnifier();
  bool magnifierShown() const { return magnify_; }

  // Events in picture coordinates (x, y pixels); the button is Qt::MouseButton.
  std::function<void(double x, double y, Qt::MouseButtons held)> onMove;
  std::function<void(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m)> onPress;
  std::function<void(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m)> onRelease;
  std::function<void(QKeyEvent*)> onKey;

protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

private:
  void remap();
  void rebuildScaled();

  QImage image_;
  QPixmap still_;
  QPixmap scaled_;  // the picture at the view's scale, rebuilt when the mapping changes
  bool scaledStale_ = false;
  ViewMapping mapping_;
  FitMode mode_ = FitMode::Window;
  double scroll_ = 0;
  double sheetW_ = 0, sheetH_ = 0;
  PixRect copy_, drawing_;
  bool drawingMode_ = false;
  int dashOffset_ = 0;
  bool magnify_ = false;
  QPoint magnifyAt_;
};

}  // namespace quillaro
