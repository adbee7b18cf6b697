// The frame of the main window around the views and panels: the menu bar with every
// command of the keys, the toolbar, the status bar, zoom, the A3 section and the window's
// fit to the screen.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "ops/print.h"
#include "ops/save.h"
#include "ops/settings_file.h"
#include "presentation/menu_commands.h"
#include "ui/form_a4.h"
#include "ui/picture_view.h"

namespace quillaro {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The A3 preview keeps the sheet's proportions (420 x 297) at the width it is given.
class SheetPreview : public PictureView {
public:
  SheetPreview() {
    QSizePolicy p(QSizePolicy::Expanding, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    setSizePolicy(p);
    setMinimumSize(160, 113);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Лист A3; щелчок — показать его в большом окне"));
  }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int w) const override { return w * 297 / 420; }
  QSize sizeHint() const override { return {320, 226}; }
  std::function<void()> onClick;

protected:
  void mousePressEvent(QMouseEvent*) override {
    if (onClick) onClick();
  }
};

// Double-click on the A3 label erases the sheet.
class DoubleClickFilter : public QObject {
public:
  DoubleClickFilter(QObject* parent, std::function<void()> fn) : QObject(parent), fn_(std::move(fn)) {}

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonDblClick) {
      fn_();
      return true;
    }
    return QObject::eventFilter(o, e);
  }

private:
  std::function<void()> fn_;
};

}  // namespace

void FormA4::buildToolBar() {
  toolBar_ = new QToolBar(QStringLiteral("Кнопки"), this);
  toolBar_->setObjectName(QStringLiteral("MainToolBar"));
  toolBar_->setMovable(false);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

QAction* FormA4::menuAction(Cmd c) const {
  return menuBar()->findChild<QAction*>(QStringLiteral("Menu") + QString::fromLatin1(commandName(c)));
}

void FormA4::buildMenuBar() {
  QMenuBar* bar = menuBar();
  QMenu* menus[5] = {};
  for (int g = 0; g < 5; ++g) {
    menus[g] = bar->addMenu(QString::fromUtf8(menuGroupCaption(static_cast<MenuGroup>(g))));
    menus[g]->setObjectName(QStringLiteral("MenuGroup%1").arg(g));
  }
  auto plain = [this](QMenu* m, const char* caption, const char* key, auto fn) {
    QAction* a = m->addAction(QString::fromUtf8(caption) + (*key ? QStringLiteral("\t") + QString::fromUtf8(key) : QString()));
    connect(a, &QAction::triggered, this, fn);
    return a;
  };
  QMenu* file = menus[static_cast<int>(MenuGroup::File)];
  QMenu* view = menus[static_cast<int>(MenuGroup::View)];
  QMenu* copy = menus[static_cast<int>(MenuGroup::Copy)];
  QMenu* panels = menus[static_cast<int>(MenuGroup::Panels)];

  // The key commands, each with the key that starts it. The keys themselves are read by the
  // page view (they depend on the mode); the menu shows them and runs the same command.
  MenuGroup last = MenuGroup::File;
  for (const MenuCommand& m : menuCommands()) {
    QMenu* menu = menus[static_cast<int>(m.group)];
    if (m.group != last) last = m.group;
    QString text = QString::fromUtf8(m.caption) + QStringLiteral("\t") + QString::fromUtf8(m.keyText);
    QAction* a = menu->addAction(text);
    a->setObjectName(QStringLiteral("Menu") + QString::fromLatin1(commandName(m.cmd)));
    a->setProperty("cmd", static_cast<int>(m.cmd));
    const Cmd c = m.cmd;
    connect(a, &QAction::triggered, this, [this, c] { runCommand({c}); });
  }

  file->addSeparator();
  plain(file, "Сохранить", "", [this] {
    showPanel(PanelId::Save);
    savePanel(ws_);
  });
  plain(file, "Печатать", "", [this] { printPicture(ws_); });
  file->addSeparator();
  plain(file, "Сбросить все значения", "", [this] { resetSettings(ws_); });
  plain(file, "Выход", "", [this] { close(); })->setShortcut(QKeySequence::Quit);

  // Zoom: real shortcuts (Ctrl with a key no single-letter command uses).
  view->addSeparator();
  auto zoom = [&](const char* name, const char* caption, QList<QKeySequence> keys, auto fn) {
    QAction* a = view->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, fn);
    return a;
  };
  // The zoom keys act on the view on show (page, result, snapshot or A3 sheet), around the
  // pointer when it is over the view.
  auto shown = [this] {
    auto* v = dynamic_cast<PictureView*>(views_->currentWidget());
    return v ? v : picA4_;
  };
  auto pointerOrCentre = [shown] {
    const QPoint p = shown()->mapFromGlobal(QCursor::pos());
    return shown()->rect().contains(p) ? QPointF(p) : QPointF(-1, -1);
  };
  QAction* in = zoom("ZoomIn", "Увеличить", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                     [shown, pointerOrCentre] { shown()->zoomBy(kZoomStep, pointerOrCentre()); });
  QAction* out = zoom("ZoomOut", "Уменьшить", {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                      [shown, pointerOrCentre] { shown()->zoomBy(1.0 / kZoomStep, pointerOrCentre()); });
  QAction* one = zoom("ZoomActual", "1:1 (точка в точку)", {QKeySequence(Qt::CTRL | Qt::Key_1)},
                      [shown, pointerOrCentre] { shown()->zoomActualSize(pointerOrCentre()); });
  QAction* page = zoom("ZoomFitPage", "Вся страница", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this, shown] {
    if (shown() == picA4_) ws_.params.setCheck(Check::ChBig, false);
    shown()->setFitMode(FitMode::Window);
  });
  QAction* width = zoom("ZoomFitWidth", "По ширине", {QKeySequence(Qt::CTRL | Qt::Key_9)}, [this, shown] {
    if (shown() == picA4_) ws_.params.setCheck(Check::ChBig, true);
    shown()->setFitMode(FitMode::Width);
  });
  for (QAction* a : {in, out, one, page, width}) a->setToolTip(a->text() + QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(")"));
  view->addSeparator();
  plain(view, "Результат копии", "", [this] { views_->setCurrentWidget(picE4_); });
  plain(view, "Лист A3", "", [this] { showA3Sheet(); });
  toolBar_->addSeparator();
  toolBar_->addActions({out, in, one, page, width});

  plain(copy, "В A3", "", [this] {
    toA3(ws_);
    showPageImage();
  });
  plain(copy, "Стереть A3", "", [this] {
    eraseA3(ws_);
    showPageImage();
  });

  // The panels of the dock, one entry each, and the dock itself.
  panels->addSeparator();
  for (int i = 0; i < kPanelCount; ++i) {
    const PanelId p = static_cast<PanelId>(i);
    plain(panels, panelCaption(p), "", [this, p] { showPanel(p); });
  }
  panels->addSeparator();
  QAction* dock = dock_->toggleViewAction();
  dock->setText(QStringLiteral("Показывать панели"));
  panels->addAction(dock);
}

void FormA4::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  auto add = [bar](QLabel* l, int stretch = 0) {
    l->setMinimumWidth(0);
    bar->addWidget(l, stretch);
    return l;
  };
  statusMode_ = add(new QLabel);
  statusMode_->setObjectName(QStringLiteral("StatusMode"));
  statusPicture_ = add(new QLabel);
  statusPicture_->setObjectName(QStringLiteral("StatusPicture"));
  for (int k : {49, 50, 51}) add(binder_->makeLabel(labId(k)));
  add(binder_->makeLabel(namedLabelId(NamedLabel::LabS)));
  add(binder_->makeLabel(namedLabelId(NamedLabel::LabCopies)));
  add(binder_->makeLabel(labId(55)));
  statusResult_ = new QLabel;
  statusResult_->setObjectName(QStringLiteral("StatusResult"));
  statusResult_->setMinimumWidth(0);
  statusResult_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(statusResult_, 1);

  progressClear_ = new QTimer(this);
  progressClear_->setSingleShot(true);
  progressClear_->setInterval(1500);
  connect(progressClear_, &QTimer::timeout, this, [this] {
    setWindowTitle(QStringLiteral("Редактор *.bmp для печати"));
    const ControlId s = namedLabelId(NamedLabel::LabS);
    const std::string& shown = ws_.params.caption(s);
    if (shown.size() >= 2 && shown.compare(shown.size() - 2, 2, " %") == 0) ws_.params.setCaption(s, "");
  });
}

QString FormA4::statusPicture() const { return statusPicture_->text(); }
QString FormA4::statusMode() const { return statusMode_->text(); }
QString FormA4::statusResult() const { return statusResult_->text(); }

void FormA4::updateStatusBar() {
  if (!statusPicture_) return;
  statusMode_->setText(drawingMode() ? QStringLiteral("Режим: рисование") : QStringLiteral("Режим: копирование"));
  statusMode_->setToolTip(QStringLiteral("Клавиша \"S\" переключает копирование и рисование"));
  const Bitmap& b = ws_.image.bitmap;
  if (!ws_.image.loaded || b.empty()) {
    statusPicture_->setText(QStringLiteral("Нет рисунка"));
    return;
  }
  const double d = ws_.shared.dotsPerMm;
  const QString name = qs(ws_.image.fileName.empty() ? ws_.image.path : ws_.image.fileName);
  statusPicture_->setText(QStringLiteral("%1 · %2 бит · %3 dpi · %4×%5 · %6 %")
                              .arg(name)
                              .arg(b.bits)
                              .arg(ws_.shared.resolution)
                              .arg(b.width)
                              .arg(b.height)
                              .arg(picA4_->zoomPercent(), 0, 'f', 0));
  statusPicture_->setToolTip(QStringLiteral("%1\n%2 × %3 мм")
                                 .arg(qs(ws_.image.path))
                                 .arg(d > 0 ? b.width / d : 0, 0, 'f', 0)
                                 .arg(d > 0 ? b.height / d : 0, 0, 'f', 0));
}

void FormA4::buildA3Section() {
  auto* box = new QWidget;
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  auto* preview = new SheetPreview;
  preview->setObjectName(QStringLiteral("PicA3"));
  preview->onClick = [this] { showA3Sheet(); };
  a3Preview_ = preview;
  v->addWidget(preview);
  auto* row = new QHBoxLayout;
  labA4inA3_ = binder_->makeLabel(namedLabelId(NamedLabel::LabA4inA3));
  labA4inA3_->installEventFilter(new DoubleClickFilter(labA4inA3_, [this] {
    eraseA3(ws_);
    showPageImage();
  }));
  labA4inA3_->setMinimumWidth(80);
  row->addWidget(new QLabel(QStringLiteral("A3")));
  row->addWidget(labA4inA3_, 1);
  auto* show = new QPushButton(QStringLiteral("Показать лист"));
  show->setObjectName(QStringLiteral("ComShowA3"));
  show->setToolTip(QStringLiteral("Лист A3 в большом окне, чтобы проверить его"));
  connect(show, &QPushButton::clicked, this, [this] { showA3Sheet(); });
  row->addWidget(show);
  v->addLayout(row);
  addPanel(QStringLiteral("Лист A3"), box, PanelId::Save, true);

  // Fill ratio of the opened 1-bit picture, shown on the button itself.
  command1_ = new QPushButton(QStringLiteral("Заполнение"));
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setToolTip(QStringLiteral("Заполнение - число чёрных точек / общее число точек в A4"));
  connect(command1_, &QPushButton::clicked, this, [this] {
    const std::string ratio = fillRatioText(ws_);
    command1_->setText(ratio.empty() ? QStringLiteral("Заполнение") : qs(ratio));
  });
  addPanel(QStringLiteral("Заполнение"), command1_, PanelId::Mask);
}

void FormA4::showA3Sheet() {
  picA3View_->setPicture(ws_.a3.empty() ? nullptr : &ws_.a3);
  views_->setCurrentWidget(picA3View_);
}

QWidget* FormA4::addPanel(const QString& title, QWidget* content, PanelId group, bool first) {
  auto* scroll = static_cast<QScrollArea*>(panels_->widget(static_cast<int>(group)));
  auto* column = static_cast<QVBoxLayout*>(scroll->widget()->layout());
  auto* box = new QGroupBox(title);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(4, 4, 4, 4);
  v->addWidget(content);
  column->insertWidget(first ? 0 : column->count() - 1, box);  // the end is the closing stretch
  return box;
}

void FormA4::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (dockSized_) return;
  // The panels take two fifths of the window at most: the page stays the larger part.
  dockSized_ = true;
  resizeDocks({dock_}, {std::clamp(width() * 2 / 5, 220, 480)}, Qt::Horizontal);
}

void FormA4::fitToScreen() {
  // A window placed by the settings for a larger screen is brought back onto this one.
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect avail = s->availableGeometry();
  QRect g = geometry();
  g.setWidth(std::min(g.width(), avail.width()));
  g.setHeight(std::min(g.height(), avail.height()));
  g.moveLeft(std::clamp(g.left(), avail.left(), avail.right() - g.width() + 1));
  g.moveTop(std::clamp(g.top(), avail.top(), avail.bottom() - g.height() + 1));
  if (g != geometry()) setGeometry(g);
}

}  // namespace quillaro
