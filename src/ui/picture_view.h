#pragma once
// A picture box: shows a bitmap scaled into the widget, with the copy frame and the
// drawing rectangle drawn over it, a dashed selection frame that moves with the
// TimerRGB phase, and the magnified view around the pointer.
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

class QScrollBar;

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
  // Free zoom: by a factor around a view point (the centre when none), and 1:1 (one picture
  // pixel on one device pixel). The zoom in per cent of picture pixels per device pixel.
  void zoomBy(double factor, QPointF at = QPointF(-1, -1));
  void zoomActualSize(QPointF at = QPointF(-1, -1));
  bool zoomed() const { return free_; }
  double zoomPercent() const { return mapping_.scale * devicePixelRatioF() * 100.0; }
  // Moves the picture by a view distance (panning).
  void panBy(QPointF delta);
  void setSheetSize(double w, double h) { sheetW_ = w; sheetH_ = h; update(); }
  const ViewMapping& mapping() const { return mapping_; }

  // Frames in picture pixels; empty rectangles are not drawn. The frame of the mode gets
  // handles to move and size it.
  void setFrames(const PixRect& copyZone, const PixRect& drawing, bool drawingMode);
  // The grip of a handle in picture pixels (a few view pixels at the current zoom).
  double handleReach() const;
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
  std::function<void()> onMappingChanged;  // zoom or scroll changed

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
  void setMapping(const ViewMapping& m);  // kept in view; scroll bars and listeners follow
  void syncScrollBars();
  QRect pictureArea() const;  // the view less its scroll bars
  QPointF centre() const;

  QImage image_;
  QPixmap still_;
  QPixmap scaled_;  // the picture at the view's scale, rebuilt when the mapping changes
  bool scaledStale_ = false;
  ViewMapping mapping_;
  FitMode mode_ = FitMode::Window;
  bool free_ = false;  // zoomed or panned by the user: kept until a fit mode is chosen
  bool panning_ = false;
  QPointF panFrom_;
  bool syncing_ = false;
  QScrollBar* hBar_ = nullptr;
  QScrollBar* vBar_ = nullptr;
  double scaledFor_ = 0;  // scale x device pixel ratio of scaled_
  double sheetW_ = 0, sheetH_ = 0;
  PixRect copy_, drawing_;
  bool drawingMode_ = false;
  int dashOffset_ = 0;
  bool magnify_ = false;
  QPoint magnifyAt_;
};

}  // namespace quillaro
