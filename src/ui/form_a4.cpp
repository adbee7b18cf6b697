#include "ui/form_a4.h"
#include "ui/desktop_opener.h"
#include "ui/edit_text_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "automation/interpreter.h"
#include "base/fields.h"
#include "base/files.h"
#include "kernels/density.h"
#include "kernels/mask.h"
#include "kernels/tone.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/auto_frame.h"
#include "ops/batch_run.h"
#include "ops/copy_engine.h"
#include "ops/density_ops.h"
#include "ops/open.h"
#include "ops/picture_commands.h"
#include "ops/print.h"
#include "ops/save.h"
#include "ops/settings_file.h"
#include "ops/shutdown.h"
#include "ops/tone_ops.h"
#include "ui/picture_view.h"
#include "ui/batch_panel.h"
#include "ui/print_panel.h"
#include "ui/table_panel.h"
#include "ops/draw_table.h"
#include "ops/merge_cells.h"
#include "ui/text_dialog.h"
#include "ops/a3_sheet.h"
#include <QToolBar>

namespace quillaro {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }

const char* const kCaption = "Редактор *.bmp для печати";
const char* const kFolderCaptions[6] = {"Программы", "Исходные", "Файлы настроек", "Тексты",
                                        "Сохранённые", "Открыть"};

KeyPress fromQt(const QKeyEvent* e) {
  KeyPress k;
  const Qt::KeyboardModifiers m = e->modifiers();
  k.shift = m & Qt::ShiftModifier;
  k.ctrl = m & Qt::ControlModifier;
  k.alt = m & Qt::AltModifier;
  k.keypad = m & Qt::KeypadModifier;
  const int q = e->key();
  if (q >= Qt::Key_A && q <= Qt::Key_Z) k.key = 'A' + (q - Qt::Key_A);
  else if (q >= Qt::Key_0 && q <= Qt::Key_9) k.key = '0' + (q - Qt::Key_0);
  else if (q >= Qt::Key_F1 && q <= Qt::Key_F12) k.key = kKeyF1 + (q - Qt::Key_F1);
  else if (q >= 0x410 && q <= 0x44F) k.key = latinKeyForCyrillic(static_cast<char32_t>(q));
  else {
    switch (q) {
      case Qt::Key_Escape: k.key = kKeyEsc; break;
      case Qt::Key_Return: case Qt::Key_Enter: k.key = kKeyEnter; break;
      case Qt::Key_Space: k.key = kKeySpace; break;
      case Qt::Key_Backspace: k.key = kKeyBackspace; break;
      case Qt::Key_Delete: k.key = kKeyDelete; break;
      case Qt::Key_Left: k.key = kKeyLeft; break;
      case Qt::Key_Right: k.key = kKeyRight; break;
      case Qt::Key_Up: k.key = kKeyUp; break;
      case Qt::Key_Down: k.key = kKeyDown; break;
      case Qt::Key_Comma: k.key = kKeyComma; break;
      case Qt::Key_Period: k.key = kKeyPeriod; break;
      case Qt::Key_BracketLeft: k.key = kKeyBracketLeft; break;
      case Qt::Key_BracketRight: k.key = kKeyBracketRight; break;
      case Qt::Key_Asterisk: k.key = kKeyAsterisk; break;
      default: break;
    }
  }
  return k;
}

// The pattern editor PicMask: 4 x 4 cells, left button paints, right button drags the
// density level.
class MaskBox : public QWidget {
public:
  MaskBox(Workspace& ws, QWidget* parent = nullptr) : QWidget(parent), ws_(ws) {
    setFixedSize(4 * kMaskEditorCellUnits * kZoom, 4 * kMaskEditorCellUnits * kZoom);
    setObjectName(QStringLiteral("PicMask"));
    setToolTip(qs(kMaskButtonTooltip));
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const MaskPattern m = current();
    const int cell = kMaskEditorCellUnits * kZoom;
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c)
        p.fillRect(c * cell, r * cell, cell, cell, m.cell(r, c) ? Qt::white : Qt::black);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, width() - 1, height() - 1);
  }
  void mousePressEvent(QMouseEvent* e) override {
    MaskPattern m = current();
    const double x = e->position().x() / kZoom, y = e->position().y() / kZoom;
    if (e->button() == Qt::LeftButton) {
      if (editor_.leftDown(m, x, y)) store(m);
    } else if (e->button() == Qt::RightButton) {
      editor_.rightDown(m, x, y);
    }
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    MaskPattern m = current();
    const double x = e->position().x() / kZoom, y = e->position().y() / kZoom;
    if (e->buttons() & Qt::LeftButton) {
      if (editor_.leftDrag(m, x, y)) store(m);
    } else if (e->buttons() & Qt::RightButton) {
      if (editor_.rightDrag(m, x, y) >= 0) store(m);
    }
  }
  void mouseReleaseEvent(QMouseEvent*) override {
    editor_.leftUp();
    editor_.rightUp();
  }

private:
  static constexpr int kZoom = 3;
  MaskPattern current() const {
    return MaskPattern::fromText(ws_.params.held(Held::MaskPattern)).value_or(MaskPattern{});
  }
  void store(const MaskPattern& m) {
    ws_.setMaskPattern(m.text());
    update();
  }
  Workspace& ws_;
  MaskEditor editor_;
};

}  // namespace

FormA4::FormA4(Workspace& ws, QWidget* parent) : QMainWindow(parent), ws_(ws) {
  setObjectName(QStringLiteral("FormA4"));
  setWindowTitle(QString::fromUtf8(kCaption));
  progress_ = std::make_unique<QtProgress>(
      [this](std::string_view caption, std::string_view status) { setStatus(caption, status); });
  ws_.progress = progress_.get();
  binder_ = std::make_unique<PanelBinder>(ws_.params, ws_.prompts);
  files_ = &quillaro::fileList(ws_);
  buildUi();
  ws_.view = this;
  observer_ = ws_.params.subscribe([this](const ControlId& id) { storeChanged(id); });

  // The window's place from the settings.
  const WindowRect r = ws_.params.window();
  if (r.width >= 400 && r.height >= 300) {
    syncingWindow_ = true;
    setGeometry(r.left, r.top, r.width, r.height);
    syncingWindow_ = false;
  } else {
    resize(1200, 800);
  }
  fitToScreen();
  applyTextFont();
  updateFitMode();
  showPicture();
  showPageImage();
}

FormA4::~FormA4() {
  // Children are deleted after the members: none of their signals may reach us then.
  QObject::disconnect(panels_, nullptr, this, nullptr);
  ws_.params.unsubscribe(observer_);
  static NoView none;  // the workspace outlives its window
  if (ws_.view == this) ws_.view = &none;
  if (ws_.progress == progress_.get()) ws_.progress = nullptr;
}

void FormA4::buildUi() {
  auto* central = new QWidget;
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(2, 2, 2, 2);

  // The buttons over the views, on the toolbar (what does not fit goes behind its arrow).
  buildToolBar();
  QToolBar* buttons = toolBar_;
  for (int k = 0; k < 6; ++k) {
    comPath_[k] = new QPushButton(QString::fromUtf8(kFolderCaptions[k]));
    comPath_[k]->setObjectName(QStringLiteral("ComPath_%1").arg(k));
    comPath_[k]->setFocusPolicy(Qt::NoFocus);
    connect(comPath_[k], &QPushButton::clicked, this, [this, k] { folderButton(k); });
    buttons->addWidget(comPath_[k]);
  }
  for (int k = 0; k < 6; ++k)
    comPath_[k]->setToolTip(k == 2 ? QStringLiteral("Открыть файл с настройками — клавиша \"I\"")
                            : k == 5 ? QStringLiteral("Открыть рисунок из папки «Исходные» — клавиша \"O\"")
                                     : QStringLiteral("Показать файлы папки «%1»").arg(QString::fromUtf8(kFolderCaptions[k])));
  auto addButton = [&](const char* name, const char* caption, const char* tip, auto fn) {
    auto* b = new QPushButton(QString::fromUtf8(caption));
    b->setObjectName(QString::fromUtf8(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, fn);
    buttons->addWidget(b);
    return b;
  };
  buttons->addSeparator();
  comNextPage_ = addButton("ComNextPage", "Следующий", "Следующий файл — клавиша \".\" или \">\"",
                           [this] { runCommand({Cmd::NextFile}); });
  comCopy_ = addButton("ComCopy", kCopyButtonCopy, "Копировать зону в страницу — клавиша \"C\"",
                       [this] { runCommand({Cmd::Copy}); });
  comCopy_->setText(qs(ws_.params.caption(namedLabelId(NamedLabel::ComCopy))));
  comA3_ = addButton("ComA3", "В A3", "Поместить страницу в следующую половину листа A3", [this] {
    toA3(ws_);
    showPageImage();
  });
  comA3_->setEnabled(ws_.params.check(Check::ChA3));
  addButton("ComPrint", "Печатать", "Печатать страницу (или полный лист A3)", [this] { printPicture(ws_); });
  comUnDo_ = addButton("ComUnDo", "Отменить", "Клавиша \"Z\"", [this] { runCommand({Cmd::Undo}); });
  addButton("ComView", "Оригинал", "Показать исходный рисунок — клавиша \"F1\"", [this] { runCommand({Cmd::ShowSource}); });
  addButton("ComSett", "Настройки", "Панель настроек — клавиша \"N\"", [this] { runCommand({Cmd::SettingsPanel}); });
  addButton("ComTable", "Действия", "Панель действий — клавиша \"D\"", [this] { runCommand({Cmd::ToggleActions}); });
  buttons->addSeparator();
  addButton("ComReset", "Сброс", "Вернуть все первоначальные значения", [this] {
    resetSettings(ws_);
  });
  addButton("ComExit", "Выход", "Закрыть программу", [this] { close(); });

  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(buildFilePanel());
  auto* middle = new QWidget;
  auto* mid = new QVBoxLayout(middle);
  mid->setContentsMargins(0, 0, 0, 0);
  buildStatusBar();
  views_ = new QStackedWidget;
  picA4_ = new PictureView;
  picA4_->setObjectName(QStringLiteral("PicA4"));
  picDubl_ = new PictureView;
  picDubl_->setObjectName(QStringLiteral("PicDubl"));
  picE4_ = new PictureView;
  picE4_->setObjectName(QStringLiteral("PicE4"));
  picA3View_ = new PictureView;
  picA3View_->setObjectName(QStringLiteral("PicA3View"));
  views_->addWidget(picA4_);
  views_->addWidget(picDubl_);
  views_->addWidget(picE4_);
  views_->addWidget(picA3View_);
  mid->addWidget(views_, 1);
  split->addWidget(middle);
  split->setStretchFactor(1, 1);
  split->setCollapsible(1, false);
  outer->addWidget(split, 1);
  setCentralWidget(central);

  picA4_->onMove = [this](double x, double y, Qt::MouseButtons b) { mouseMove(x, y, b); };
  picA4_->onPress = [this](double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m) {
    mousePress(x, y, b, m);
  };
  picA4_->onRelease = [this](double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m) {
    mouseRelease(x, y, b, m);
  };
  auto keys = [this](QKeyEvent* e) { dispatchKey(fromQt(e), e->text()); };
  picA4_->onKey = keys;
  picDubl_->onKey = keys;
  picE4_->onKey = keys;
  picA3View_->onKey = keys;
  picA4_->onMappingChanged = [this] { updateStatusBar(); };

  // The panels, in a dock on the right.
  panels_ = new QTabWidget;
  panels_->setObjectName(QStringLiteral("Panels"));
  // Tabs down the side: every group stays in reach however narrow the dock is.
  panels_->setTabPosition(QTabWidget::West);
  panels_->setUsesScrollButtons(true);
  for (int i = 0; i < kPanelCount; ++i) {
    const PanelId p = static_cast<PanelId>(i);
    panels_->addTab(binder_->buildPanel(p), QString::fromUtf8(panelCaption(p)));
  }
  extendPanels();
  buildA3Section();
  connect(panels_, &QTabWidget::currentChanged, this, [this](int) { applyTextFont(); });
  dock_ = new QDockWidget(QStringLiteral("Панели"), this);
  dock_->setObjectName(QStringLiteral("PanelDock"));
  dock_->setWidget(panels_);
  dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::RightDockWidgetArea, dock_);
  dock_->setMinimumWidth(200);

  buildMenu();
  buildMenuBar();

  timerCom_ = new QTimer(this);
  timerCom_->setObjectName(QStringLiteral("TimerCom"));
  timerCom_->setInterval(500);
  connect(timerCom_, &QTimer::timeout, this, [this] {
    switch (startup_.tick()) {
      case StartupTimer::Action::None:
        if (!startup_.enabled) timerCom_->stop();
        return;
      case StartupTimer::Action::AutoCopy:
        // A program still waiting gets its own five ticks afterwards.
        if (startup_.programPending) startup_.start();
        else timerCom_->stop();
        if (runAutomaticCopy(ws_)) showPageImage();
        return;
      case StartupTimer::Action::RunProgram:
        timerCom_->stop();
        if (runProgram_) runProgram_();
        if (startup_.exitAfterProgram) QApplication::exit(0);
        return;
    }
  });
  timerRgb_ = new QTimer(this);
  timerRgb_->setObjectName(QStringLiteral("TimerRGB"));
  timerRgb_->setInterval(250);
  connect(timerRgb_, &QTimer::timeout, this, [this] {
    if (drawingMode()) picA4_->stepDashes();
  });
  timerRgb_->start();
  timerMagni_ = new QTimer(this);
  timerMagni_->setObjectName(QStringLiteral("TimerMagni"));
  timerMagni_->setInterval(50);
  connect(timerMagni_, &QTimer::timeout, this, [this] { magnifierTick(); });
  if (ws_.params.chb(check::kMagnifier)) timerMagni_->start();
}

QWidget* FormA4::buildFilePanel() {
  auto* panel = new QWidget;
  auto* box = new QVBoxLayout(panel);
  box->setContentsMargins(0, 0, 0, 0);
  listOpen_ = new QListWidget;
  listOpen_->setObjectName(QStringLiteral("ListOpen"));
  connect(listOpen_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    files_->openEntry(listOpen_->row(item));
  });
  connect(listOpen_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    files_->openEntry(listOpen_->row(item));
  });
  box->addWidget(listOpen_, 2);

  dirBox_ = new QWidget;
  auto* dirLayout = new QVBoxLayout(dirBox_);
  dirLayout->setContentsMargins(0, 0, 0, 0);
  dirPath_ = new QLabel;
  dirPath_->setWordWrap(true);
  dir1_ = new QListWidget;
  dir1_->setObjectName(QStringLiteral("Dir1"));
  connect(dir1_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    enterFolder(item->data(Qt::UserRole).toString());
  });
  dirLayout->addWidget(dirPath_);
  dirLayout->addWidget(dir1_);
  box->addWidget(dirBox_, 1);
  panel->setMinimumWidth(0);
  normalFileMode();
  return panel;
}

void FormA4::extendPanels() {
  auto layoutOf = [this](PanelId p) {
    auto* scroll = static_cast<QScrollArea*>(panels_->widget(static_cast<int>(p)));
    auto* v = static_cast<QVBoxLayout*>(scroll->widget()->layout());
    return v;
  };
  auto insert = [&](PanelId p, QWidget* w, int stretch = 0) {
    QVBoxLayout* v = layoutOf(p);
    v->insertWidget(v->count() - 1, w, stretch);
  };

  // Masks: the pattern editor and the quick buttons.
  {
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    picMask_ = new MaskBox(ws_);
    h->addWidget(picMask_);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
      const auto fixed = quickMaskPattern(i);
      QString caption = i == 5 ? qs(kEraseButtonCaption)
                      : fixed ? qs(fixed->text())
                              : QStringLiteral("M");
      auto* b = new QPushButton(caption);
      b->setObjectName(QStringLiteral("ComMask_%1").arg(i));
      b->setToolTip(i == 5 ? qs(kEraseButtonTooltip) : i == 4 ? qs(kMaskButtonTooltip)
                                                      : QStringLiteral("Маска %1").arg(caption));
      connect(b, &QPushButton::clicked, this, [this, i] {
        const QuickMaskStep step = quickMaskClick(i, drawingMode(), views_->currentWidget() == picE4_);
        switch (step.action) {
          case QuickMaskAction::SetCurrent:
            ws_.setMaskPattern(step.pattern.text());
            picMask_->update();
            break;
          case QuickMaskAction::MaskWithCurrent:
            maskWith(ws_.params.held(Held::MaskPattern));
            break;
          case QuickMaskAction::ApplyOnce:
            maskWith(step.pattern.text());
            break;
          default:
            break;
        }
      });
      grid->addWidget(b, i / 2, i % 2);
    }
    h->addLayout(grid);
    insert(PanelId::Mask, row);
  }
  // "Чётные наоборот" twice: each goes into the side group it reverses.
  for (auto [chb, group] : {std::pair{check::kEvenReverseLR, "OptAuLeftGroup"},
                            std::pair{check::kEvenReverseTB, "OptAuTopGroup"}}) {
    QWidget* box = binder_->widgetFor(chbId(chb));
    auto* g = panels_->findChild<QGroupBox*>(QString::fromLatin1(group));
    if (box && g && g->layout()) g->layout()->addWidget(box);
  }
  // Copy panel: the mode label ("Копия" or "Форма").
  {
    QLabel* mode = binder_->makeLabel(namedLabelId(NamedLabel::LabMode));
    mode->setObjectName(QStringLiteral("LabMode"));
    layoutOf(PanelId::Copy)->insertWidget(0, mode);
  }
  // Automation: the numbering field that "++" numbering names saved pages after.
  {
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    QLineEdit* number = binder_->makeHeldField(Held::PageNumber);
    number->setObjectName(QStringLiteral("PageNumber"));
    number->setMaximumWidth(80);
    h->addWidget(new QLabel(QStringLiteral("NUM-")));
    h->addWidget(number);
    h->addWidget(new QLabel(qs(ws_.params.caption(heldId(Held::PageNumber)))));
    h->addStretch(1);
    insert(PanelId::Print, row);
  }
  // Table panel: draw the table, new blank sheets.
  layoutOf(PanelId::Table)->insertWidget(0, new TablePanel(ws_));
  // Automation: the imposition batch and the renaming of scans; BTN 0 "Авто" opens it.
  batchPanel_ = new BatchPanel(ws_);
  insert(PanelId::Print, batchPanel_);
  {
    auto* btn0 = new QPushButton(QStringLiteral("Авто"));
    btn0->setObjectName(QStringLiteral("BTN0"));
    btn0->setToolTip(QStringLiteral("Спуск полос и автоматизация повторяющихся действий (клавиша -)"));
    connect(btn0, &QPushButton::clicked, this, [this] { showPanel(PanelId::Print); });
    insert(PanelId::Copy, btn0);
  }
  // Print panel: the printer, paper, tray, quality and orientation lists.
  printPanel_ = new PrintPanel(ws_);
  insert(PanelId::Print, printPanel_);
  // Save panel.
  {
    auto* row = new QWidget;
    auto* v = new QVBoxLayout(row);
    textFileName_ = binder_->makeHeldField(Held::TextFileName);
    textFileName_->setPlaceholderText(QStringLiteral("Имя файла: копия .bmp, программа .pfp, текст .txt, настройки .ini"));
    v->addWidget(textFileName_);
    comSavEd_ = new QPushButton(QStringLiteral("Сохранить"));
    comSavEd_->setObjectName(QStringLiteral("ComSavEd"));
    auto* table = new QPushButton(QStringLiteral("Сохранить нарисованное"));
    table->setObjectName(QStringLiteral("ComSaveTable"));
    comSavEd_->setToolTip(QStringLiteral("Сохранить копию, лист A3, программу (.pfp), текст (.txt) или настройки (.ini) под этим именем"));
    table->setToolTip(QStringLiteral("Сохранить открытый рисунок с нарисованным"));
    v->addWidget(comSavEd_);
    v->addWidget(table);
    // The save operations decide by the name's extension what is written.
    connect(comSavEd_, &QPushButton::clicked, this, [this] { savePanel(ws_); });
    connect(textFileName_, &QLineEdit::returnPressed, this, [this] { savePanel(ws_); });
    connect(table, &QPushButton::clicked, this, [this] { saveTable(ws_); });
    insert(PanelId::Save, row);
  }
  // Actions panel: the program text and the run and read buttons.
  {
    tz_[text::kProgram] = binder_->makeTextArea(text::kProgram);
    insert(PanelId::Actions, tz_[text::kProgram], 1);
    comTabAll_ = new QPushButton(QStringLiteral("Выполнить всё (выделенную часть)  Ctrl+Alt+A"));
    comTabAll_->setObjectName(QStringLiteral("ComTabAll"));
    comRead_ = new QPushButton(QStringLiteral("Считать"));
    comRead_->setObjectName(QStringLiteral("ComRead"));
    comTabAll_->setToolTip(QStringLiteral("Выполнить программу действий (или её выделенную часть)"));
    comRead_->setToolTip(QStringLiteral("Считать команду у курсора — клавиша \"F4\""));
    connect(comTabAll_, &QPushButton::clicked, this, [this] {
      if (runProgram_) runProgram_();
    });
    connect(comRead_, &QPushButton::clicked, this, [this] { readCommandAtCursor(false); });
    tz_[text::kProgram]->installEventFilter(this);
    comTabAll_->setEnabled(false);
    insert(PanelId::Actions, comTabAll_);
    insert(PanelId::Actions, comRead_);
  }
  // Text panel: the text file TZ(3) and the other text areas.
  for (int k = text::kProgram + 1; k < kTzCount; ++k) {
    tz_[k] = binder_->makeTextArea(k);
    if (k != text::kFile) {
      tz_[k]->setMaximumHeight(60);
      tz_[k]->setPlaceholderText(QStringLiteral("TZ(%1)").arg(k));
    }
    insert(PanelId::Text, tz_[k], k == text::kFile ? 1 : 0);
  }
  editText_ = new EditTextWindow(ws_, [this](int k) { return k >= 0 && k < 8 ? tz_[k] : nullptr; }, this);
  insert(PanelId::Text, editText_->makeToolRow());
  insert(PanelId::Text, makeTextButtons([this] { runCommand(KeyCommand{Cmd::DrawText}); },
                                        [this] { runCommand(KeyCommand{Cmd::TextDialog}); }));
}

void FormA4::buildMenu() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu"));
  auto item = [this](QMenu* m, const char* name, const char* caption, std::function<void()> fn) {
    QAction* a = m->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromUtf8(name));
    connect(a, &QAction::triggered, this, [fn] {
      if (fn) fn();
    });
    return a;
  };
  auto tell = [this](Cmd c) { return [this, c] { runCommand({c}); }; };
  item(popup_, "MuPaste", "Вставить", tell(Cmd::PasteText));
  item(popup_, "MuEditText", "Править текст", nullptr);
  item(popup_, "MuEditLine", "Править линии", nullptr);
  item(popup_, "MuSC", "Масштаб по выделенному", nullptr);
  item(popup_, "MuCC", "Объединить ячейки", tell(Cmd::MergeCells));
  QMenu* lineW = popup_->addMenu(QStringLiteral("Плотность"));
  lineW->setObjectName(QStringLiteral("MuLineW"));
  item(lineW, "MuLinePlus", "+ 1 (/0.7, \\ 1.4), <+>", tell(Cmd::LineWidthPlus));
  item(lineW, "MuLinPlus", "+ 1 (\\ 0.7, / 1.4), <]>", tell(Cmd::LineWidthPlus));
  item(lineW, "MuLineMinus", "- 1 (/0.7, \\ 1.4), <->", tell(Cmd::LineWidthMinus));
  item(lineW, "MuLinMinus", "- 1 (\\ 0.7, / 1.4), <[>", tell(Cmd::LineWidthMinus));
  item(lineW, "MuDenseThin1", "", tell(Cmd::DenseThinPlus));
  item(lineW, "MuDenseThinMax", "", nullptr);
  item(lineW, "MuBC", "", tell(Cmd::BrightnessContrast));
  item(lineW, "MuContrast", "", tell(Cmd::DarkRelWhite));
  QMenu* rec = popup_->addMenu(QStringLiteral("Объекты"));
  rec->setObjectName(QStringLiteral("MuRec"));
  item(rec, "MuRX", "Вырезать", nullptr);
  item(rec, "MuRC", "Копировать", nullptr);
  item(rec, "MuRV", "Вставить", nullptr);
  rec->addSeparator()->setObjectName(QStringLiteral("MuREmpty"));
  item(rec, "MuRD", "Удалить", nullptr);
  QMenu* pic = popup_->addMenu(QStringLiteral("Рисунок"));
  pic->setObjectName(QStringLiteral("MuPic"));
  item(pic, "MuTurn", "Перевернуть", [this] { turn(TurnDirection::Over); });
  item(pic, "MuTurnRight", "Повернуть вправо", [this] { turn(TurnDirection::Right); });
  item(pic, "MuTurnLeft", "Повернуть влево", [this] { turn(TurnDirection::Left); });
  item(pic, "MuCopyAsIs", "Копировать как есть", nullptr);
  item(pic, "MuTo1bit", "Преобразовать в 1-битный", [this] {
    if (ws_.image.busy) return;
    pictureOperation(convertPictureTo1bit(ws_));
  });
  item(pic, "MuDublimg", "Дублировать (перекл. - F2)", [this] { takeSnapshot(); });
  auto reload = [this](char d) {
    reloadCopy(ws_, d);
    showPicture();
  };
  item(popup_, "MuEReload", "Редактировать", [reload] { reload(0); });
  item(popup_, "MuEReloadR", "Редактировать с поворотом на 90 вправо", [reload] { reload('R'); });
  item(popup_, "MuEReloadL", "Редактировать с поворотом на 90 влево", [reload] { reload('L'); });
  item(popup_, "MuEFrame", "Рамка копирования по выделенной рамке", tell(Cmd::ZoneFromRect));
  item(popup_, "MuEShowR", "Показать результат - кл. R", [this] {
    views_->setCurrentWidget(views_->currentWidget() == picE4_ ? static_cast<QWidget*>(picA4_) : picE4_);
  });
  // The keys of the items, in the column Qt keeps for them.
  using NameKey = std::pair<const char*, const char*>;
  for (auto [name, key] : {NameKey{"MuPaste", "V"}, NameKey{"MuCC", "2"}, NameKey{"MuTurn", "T"},
                           NameKey{"MuTurnRight", "Ctrl+."}, NameKey{"MuTurnLeft", "Ctrl+,"}, NameKey{"MuEFrame", "F6"}}) {
    QAction* a = popup_->findChild<QAction*>(QString::fromLatin1(name));
    a->setText(a->text() + QStringLiteral("\t") + QString::fromUtf8(key));
  }
  connect(popup_, &QMenu::aboutToShow, this, [this] { prepareMenu(); });
}

void FormA4::prepareMenu() {
  const ParamStore& p = ws_.params;
  auto action = [this](const char* name) { return popup_->findChild<QAction*>(QString::fromUtf8(name)); };
  action("MuDenseThin1")->setText(qs(denseThinPlusCaption(p.tn(field::kDensityWidth))) + QStringLiteral("\tP"));
  action("MuDenseThinMax")->setText(qs(denseThinMaxCaption(p.tn(field::kDensityWidth))));
  action("MuBC")->setText(qs(brightnessMenuCaption(p.held(Held::Brightness), p.tn(field::kContrast))) + QStringLiteral("\tK"));
  action("MuContrast")->setText(qs(contrastMenuCaption(p.tn(field::kContrastRelWhite))) + QStringLiteral("\t* (цифр. кл.)"));
  const int bits = ws_.image.loaded ? ws_.image.bitmap.bits : 0;
  const MenuStates s = menuStatesFor(bits);
  action("MuTo1bit")->setEnabled(s.to1bit);
  for (const char* n : {"MuLinePlus", "MuLinPlus", "MuLineMinus", "MuLinMinus"}) action(n)->setEnabled(s.lineWidth);
  action("MuBC")->setEnabled(s.tone && brightnessMenuEnabled(bits, p.held(Held::Brightness), p.tn(field::kContrast)));
  action("MuContrast")->setEnabled(s.tone);
  const bool page = !ws_.page.empty();
  for (const char* n : {"MuEReload", "MuEReloadR", "MuEReloadL"}) action(n)->setEnabled(page);
}

bool FormA4::drawingMode() const { return ws_.params.check(Check::ChSelSize); }

void FormA4::setStatus(std::string_view caption, std::string_view status) {
  setWindowTitle(caption.empty() ? QString::fromUtf8(kCaption)
                                 : QString::fromUtf8(kCaption) + QStringLiteral(" ") + qs(caption));
  ws_.params.setCaption(namedLabelId(NamedLabel::LabS), std::string(status));
  // A percentage leaves the caption once the work has stopped for a moment.
  if (progressClear_ && !caption.empty()) progressClear_->start();
}

namespace {
// TZ(0) holds CR LF line ends in the store and "\n" in the widget; positions in the store
// count characters (code points), positions in the widget UTF-16 units.
std::size_t storePosition(const QString& shown, int pos) {
  std::size_t chars = 0;
  for (int i = 0; i < pos && i < shown.size(); ++i) {
    if (shown[i].isLowSurrogate()) continue;
    chars += shown[i] == QLatin1Char('\n') ? 2 : 1;
  }
  return chars;
}
int shownPosition(const QString& shown, std::size_t chars) {
  int i = 0;
  for (std::size_t c = 0; i < shown.size() && c < chars; ++i) {
    if (shown[i].isLowSurrogate()) continue;
    c += shown[i] == QLatin1Char('\n') ? 2 : 1;
  }
  while (i < shown.size() && shown[i].isLowSurrogate()) ++i;
  return i;
}
}  // namespace

void FormA4::readCommandAtCursor(bool variant) {
  const QString shown = tz_[text::kProgram]->toPlainText();
  const ReadCommand r =
      readOneCommand(ws_, storePosition(shown, tz_[text::kProgram]->textCursor().position()), variant);
  if (!r.found) return;
  QTextCursor c = tz_[text::kProgram]->textCursor();
  c.setPosition(shownPosition(shown, r.start));
  c.setPosition(shownPosition(shown, r.start + r.length), QTextCursor::KeepAnchor);
  tz_[text::kProgram]->setTextCursor(c);
  updateFrames();
  if (r.focusPageView) picA4_->setFocus();
}

bool FormA4::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tz_[text::kProgram] && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1) {
      readCommandAtCursor(key->modifiers() & Qt::ControlModifier);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void FormA4::showPicture() {
  const Bitmap& b = ws_.image.bitmap;
  picA4_->setPicture(ws_.image.loaded ? &b : nullptr);
  const double d = ws_.shared.dotsPerMm;
  // The whole sheet: A4 at the resolution, twice as wide with two originals.
  const double sheetW = 210.0 * d * (ws_.params.check(Check::Ch2origin) ? 2 : 1);
  picA4_->setSheetSize(sheetW, 297.0 * d);
  if (ws_.image.loaded && !b.empty())
    ws_.params.setCaption(labId(55), dotsMmText(b.width, d, ws_.decimals()));
  updateFrames();
  updateStatusBar();
}

void FormA4::showPageImage() {
  picE4_->setPicture(ws_.page.empty() ? nullptr : &ws_.page);
  a3Preview_->setPicture(ws_.a3.empty() ? nullptr : &ws_.a3);
  if (views_->currentWidget() == picA3View_) picA3View_->setPicture(ws_.a3.empty() ? nullptr : &ws_.a3);
}

void FormA4::updateFrames() {
  const double d = ws_.shared.dotsPerMm;
  picA4_->setFrames(ws_.image.loaded ? copyZoneRect(ws_.params, d) : PixRect{},
                    ws_.image.loaded ? drawingRect(ws_.params, d) : PixRect{}, drawingMode());
}

void FormA4::updateFitMode() {
  picA4_->setFitMode(ws_.params.check(Check::ChBig) ? FitMode::Width : FitMode::Window);
}

void FormA4::applyTextFont() {
  const double size = ws_.params.tnValue(field::kEditFontSize);
  QFont f = font();
  if (size >= 6 && size <= 72) f.setPointSizeF(size);
  f.setBold(ws_.params.chb(check::kEditFontBold));
  for (QPlainTextEdit* e : tz_)
    if (e) e->setFont(f);
  listOpen_->setFont(f);
}

void FormA4::storeChanged(const ControlId& id) {
  if (id == checkId(Check::ChSelSize)) updateFrames();
  else if (id == checkId(Check::ChBig)) updateFitMode();
  else if (id == checkId(Check::ChMXSZ)) {
    if (ws_.params.check(Check::ChMXSZ)) showFullScreen();
    else showNormal();
  } else if (id == chbId(check::kMagnifier)) {
    if (ws_.params.chb(check::kMagnifier)) timerMagni_->start();
    else {
      timerMagni_->stop();
      picA4_->hideMagnifier();
      magnifier_.hide();
    }
  } else if (id.kind == Ctl::TN && ((id.index >= field::kFrameWidth && id.index <= field::kDrawHeight) ||
                                    id.index == field::kScaleX || id.index == field::kScaleY)) {
    updateFrames();
  } else if (id == tnId(field::kAcross) || id == tnId(field::kDown) || id == chbId(check::kMultiCopy)) {
    if (ws_.params.chb(check::kMultiCopy))
      showCopies(static_cast<int>(ws_.params.tnValue(field::kAcross) *
                                  std::max(1.0, ws_.params.tnValue(field::kDown))));
  } else if (id == namedLabelId(NamedLabel::ComCopy)) {
    comCopy_->setText(qs(ws_.params.caption(id)));
  } else if (id == windowId() && !syncingWindow_) {
    const WindowRect r = ws_.params.window();
    syncingWindow_ = true;
    setGeometry(r.left, r.top, r.width, r.height);
    fitToScreen();
    syncingWindow_ = false;
  } else if (id == checkId(Check::ChA3)) {
    comA3_->setEnabled(ws_.params.check(Check::ChA3));
  } else if (id == namedLabelId(NamedLabel::LabA4inA3)) {
    showPageImage();  // the sheet was filled, saved or erased
  } else if (id == heldId(Held::Threshold) || id == heldId(Held::Brightness)) {
    // The shared field shows whichever text the open mode uses; a program line or the
    // settings file that sets that text is seen in the field at once.
    const Held shown = ws_.params.chb(check::kOpenAs1Bit) ? Held::Threshold : Held::Brightness;
    if (id == heldId(shown)) ws_.params.setTn(field::kBrightnessOrThreshold, ws_.params.held(shown));
  }
  if (id == checkId(Check::ChSelSize)) updateStatusBar();
}

void FormA4::showCopies(int n) {
  ws_.params.setCaption(namedLabelId(NamedLabel::LabCopies), std::to_string(n) + " " + copiesNoun(n));
}

void FormA4::showPanel(PanelId p) {
  panels_->setCurrentIndex(static_cast<int>(p));
  dock_->show();
}

void FormA4::setProgramRunner(std::function<void()> run) {
  runProgram_ = std::move(run);
  comTabAll_->setEnabled(static_cast<bool>(runProgram_));
}

void FormA4::startPendingProgram(bool exitAfter) {
  startup_.programPending = true;
  startup_.exitAfterProgram = exitAfter;
  startup_.start();
  timerCom_->start();
}

bool FormA4::shutdownAllowed() {
  return requestShutdown(ws_);
}

void FormA4::settingsApplied() {
  binder_->refreshAll();
  applyTextFont();
  updateFitMode();
  updateFrames();
  if (panels_->currentIndex() == static_cast<int>(PanelId::Settings)) dock_->hide();
}

void FormA4::fileListChanged() {
  listOpen_->clear();
  for (const std::string& n : files_->entries()) listOpen_->addItem(qs(n));
  if (files_->selected() >= 0) listOpen_->setCurrentRow(files_->selected());
}

void FormA4::showField(int k) {
  showPanel(k == text::kProgram ? PanelId::Actions : PanelId::Text);
  if (k >= 0 && k < 8 && tz_[k]) tz_[k]->setFocus();
}

void FormA4::askFileName(int, const std::string&) {
  showPanel(PanelId::Save);
  textFileName_->setFocus();
}

void FormA4::printPanelChanged() {
  if (printPanel_) printPanel_->refresh();
}

void FormA4::printed() { comNextPage_->setFocus(); }

void FormA4::resultReported(const std::string& text) {
  statusResult_->setText(qs(text));
  statusResult_->setToolTip(qs(text));
}

void FormA4::automaticCopyWaiting() {
  startup_.autoCopyPending = true;
  startup_.start();
  timerCom_->start();
}

void FormA4::batchChanged(int form, int forms) {
  if (batchPanel_) batchPanel_->refresh();
  (void)form;  // the panel and the status label show the form
  (void)forms;
}


void FormA4::closeEvent(QCloseEvent* e) {
  if (shutdownAllowed()) e->accept();
  else e->ignore();
}

void FormA4::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (syncingWindow_ || isFullScreen() || isMaximized()) return;
  syncingWindow_ = true;
  ws_.params.setWindow({x(), y(), width(), height()});
  syncingWindow_ = false;
}

void FormA4::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (syncingWindow_ || isFullScreen() || isMaximized()) return;
  syncingWindow_ = true;
  ws_.params.setWindow({x(), y(), width(), height()});
  syncingWindow_ = false;
}

void FormA4::keyPressEvent(QKeyEvent* e) { dispatchKey(fromQt(e), e->text()); }

void FormA4::dispatchKey(const KeyPress& k, const QString& text) {
  KeyCommand c = commandForKey(k, drawingMode());
  if (c.cmd == Cmd::None && text.size() == 1) c.cmd = commandForChar(text.at(0).unicode(), drawingMode());
  if (c.cmd != Cmd::None) runCommand(c);
}

void FormA4::turn(TurnDirection d) {
  if (d == TurnDirection::Over) turnPictureOver(ws_);
  else if (d == TurnDirection::Right) turnPictureRight(ws_);
  else turnPictureLeft(ws_);
  showPicture();
}

void FormA4::maskWith(const std::string& pattern) {
  maskSelection(ws_, pattern);
  showPicture();
}

void FormA4::runOp(bool (*op)(Workspace&)) {
  op(ws_);
  showPicture();
}

void FormA4::pictureOperation(bool changed) {
  if (!changed) return;
  showPicture();
}

void FormA4::runCommand(const KeyCommand& c) {
  lastCommand_ = c.cmd;
  ParamStore& p = ws_.params;
  switch (c.cmd) {
    case Cmd::ToggleSelMode: p.setCheck(Check::ChSelSize, !p.check(Check::ChSelSize)); break;
    case Cmd::ToggleFitWidth: p.setCheck(Check::ChBig, !p.check(Check::ChBig)); break;
    case Cmd::WholeSheet: picA4_->setFitMode(FitMode::Sheet); break;
    case Cmd::ToggleMagnifier: p.setChb(check::kMagnifier, !p.chb(check::kMagnifier)); break;
    case Cmd::ZoomNormal:
      picA4_->hideMagnifier();
      magnifier_.hide();
      updateFitMode();
      break;
    case Cmd::ToggleFullScreen: p.setCheck(Check::ChMXSZ, !p.check(Check::ChMXSZ)); break;
    case Cmd::ToggleActions:
      if (dock_->isVisible() && panels_->currentIndex() == static_cast<int>(PanelId::Actions)) dock_->hide();
      else showPanel(PanelId::Actions);
      break;
    case Cmd::SettingsPanel: showPanel(PanelId::Settings); break;
    case Cmd::Imposition: showPanel(PanelId::Print); break;
    case Cmd::OpenSettingsFile: folderButton(2); break;
    case Cmd::ShowSource: views_->setCurrentWidget(picA4_); break;
    case Cmd::ReadCommand: readCommandAtCursor(false); break;
    case Cmd::ToggleSnapshot: toggleSnapshot(); break;
    case Cmd::ShowTextField:
      showPanel(PanelId::Text);
      tz_[text::kFile]->setFocus();
      break;
    case Cmd::FocusProgram:
      if (dock_->isVisible() && panels_->currentIndex() == static_cast<int>(PanelId::Actions))
        tz_[text::kProgram]->setFocus();
      break;
    case Cmd::ZoneFromRect:
      p.setTn(field::kFrameWidth, p.tn(field::kDrawWidth));
      p.setTn(field::kFrameHeight, p.tn(field::kDrawHeight));
      [[fallthrough]];
    case Cmd::ZoneFromRectOrigin:
      p.setTn(field::kZoneLeft, p.tn(field::kDrawLeft));
      p.setTn(field::kZoneTop, p.tn(field::kDrawTop));
      break;
    case Cmd::ToggleGrid: p.setChb(check::kGrid, !p.chb(check::kGrid)); break;
    case Cmd::TableOptions:
      for (Check ch : {Check::ChTabX0, Check::ChTabY0, Check::ChTabXSZ, Check::ChTabYSZ}) p.setCheck(ch, true);
      break;
    case Cmd::Mask: maskWith(ws_.params.held(Held::MaskPattern)); break;
    case Cmd::Erase:
      eraseByKey(ws_);
      showPicture();
      break;
    case Cmd::OpenPicture: folderButton(5); break;
    case Cmd::Reopen:
      if (!ws_.image.path.empty() && openPicture(ws_, ws_.image.path)) showPicture();
      break;
    case Cmd::TurnOver: turn(TurnDirection::Over); break;
    case Cmd::TurnLeft: turn(TurnDirection::Left); break;
    case Cmd::TurnRight: turn(TurnDirection::Right); break;
    case Cmd::Copy:
      copyPage(ws_);
      break;
    case Cmd::BrightnessContrast: runOp(brightnessContrastOp); break;
    case Cmd::DarkRelWhite: runOp(darkRelWhiteOp); break;
    case Cmd::DrawTable: drawTable(ws_); break;
    case Cmd::MergeCells: mergeCells(ws_); break;
    case Cmd::DrawText: case Cmd::RefreshAndDrawText:
      drawTextFromWindow(ws_, false);
      showPicture();
      break;
    case Cmd::TextDialog: showTextDialog(this, ws_, [this] { showPicture(); }); break;
    case Cmd::DenseThinPlus:
      denseThinOp(ws_, true);
      showPicture();
      break;
    case Cmd::LineWidthPlus: case Cmd::LineWidthMinus:
      lineWidthOp(ws_, c.cmd == Cmd::LineWidthPlus, false);
      showPicture();
      break;
    case Cmd::NextFile:
      normalFileMode();
      files_->nextPageButton();
      break;
    case Cmd::MoveZone: case Cmd::MoveRect: case Cmd::ResizeRect: stepRect(c); break;
    case Cmd::Undo:
      if (undoRestore(ws_)) showPicture();
      break;
    case Cmd::Help: openHelp(ws_); break;
    case Cmd::AutoFrame:
      if (autoPlaceZone(ws_, true)) updateFrames();
      break;
    default:
      // Operations that this build does not have yet do nothing.
      break;
  }
}

void FormA4::stepRect(const KeyCommand& c) {
  ParamStore& p = ws_.params;
  const int step = c.bigStep ? 10 : 1;
  int fx = field::kDrawLeft, fy = field::kDrawTop;
  if (c.cmd == Cmd::MoveZone) fx = field::kZoneLeft, fy = field::kZoneTop;
  else if (c.cmd == Cmd::ResizeRect) fx = field::kDrawWidth, fy = field::kDrawHeight;
  if (c.dx) p.setTn(fx, stepField(p.tn(fx), c.dx * step, ws_.decimals()));
  if (c.dy) p.setTn(fy, stepField(p.tn(fy), c.dy * step, ws_.decimals()));
  updateFrames();
}

void FormA4::toggleSnapshot() {
  if (views_->currentWidget() == picDubl_) {
    views_->setCurrentWidget(picA4_);
    return;
  }
  if (picDubl_->property("taken").toBool() == false) takeSnapshot();
  views_->setCurrentWidget(picDubl_);
}

void FormA4::takeSnapshot() {
  picDubl_->setStill(picA4_->grab());
  picDubl_->setProperty("taken", true);
}

bool FormA4::snapshotShown() const { return views_->currentWidget() == picDubl_; }

void FormA4::pointerAt(double x, double y) {
  const double d = ws_.shared.dotsPerMm;
  ParamStore& p = ws_.params;
  p.setCaption(labId(49), pointerMmText(x, d, ws_.decimals()));
  p.setCaption(labId(50), pointerMmText(y, d, ws_.decimals()));
  if (ws_.image.loaded) {
    const auto value = pointerValueText(ws_.image.bitmap, static_cast<int>(std::floor(x)),
                                        static_cast<int>(std::floor(y)));
    if (value) p.setCaption(labId(51), *value);
  }
}

void FormA4::mousePress(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m) {
  progress_->requestStop();
  ws_.params.setCaption(labId(51), "");
  if (!drawingMode()) {
    magniWasOn_ = timerMagni_->isActive();
    timerMagni_->stop();
  }
  if (!ws_.image.loaded) return;
  if (b == Qt::RightButton) {
    if (drawingMode() && !(m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
      popup_->popup(QCursor::pos());
    return;
  }
  if (b != Qt::LeftButton) return;
  dragging_ = true;
  dragX_ = x;
  dragY_ = y;
  dragStart_ = copyZoneRect(ws_.params, ws_.shared.dotsPerMm);
  // A handle of the mode's frame moves or sizes it; in copy mode a press anywhere else
  // moves the zone, in drawing mode it starts a new rectangle.
  dragRect_ = drawingMode() ? drawingRect(ws_.params, ws_.shared.dotsPerMm) : dragStart_;
  dragHandle_ = handleAt(dragRect_, x, y, picA4_->handleReach());
  if (!drawingMode() && dragHandle_ == Handle::None) dragHandle_ = Handle::Move;
  // Inside the drawing rectangle a press draws a new one; Ctrl moves the old one.
  if (drawingMode() && dragHandle_ == Handle::Move && !(m & Qt::ControlModifier)) dragHandle_ = Handle::None;
  if (drawingMode()) {
    const Cmd c = mousePressCommand(ws_.params.option(OptionGroup::Mouse), m & Qt::ShiftModifier);
    if (c != Cmd::None) runCommand({c});
  }
}

void FormA4::mouseMove(double x, double y, Qt::MouseButtons held) {
  lastPointer_ = picA4_->mapFromGlobal(QCursor::pos());
  if (held == Qt::NoButton) {
    pointerAt(x, y);
    // The pointer shows what a press on a handle would do.
    const PixRect r = drawingMode() ? drawingRect(ws_.params, ws_.shared.dotsPerMm)
                                    : copyZoneRect(ws_.params, ws_.shared.dotsPerMm);
    switch (ws_.image.loaded ? handleAt(r, x, y, picA4_->handleReach()) : Handle::None) {
      case Handle::Left: case Handle::Right: picA4_->setCursor(Qt::SizeHorCursor); break;
      case Handle::Top: case Handle::Bottom: picA4_->setCursor(Qt::SizeVerCursor); break;
      case Handle::TopLeft: case Handle::BottomRight: picA4_->setCursor(Qt::SizeFDiagCursor); break;
      case Handle::TopRight: case Handle::BottomLeft: picA4_->setCursor(Qt::SizeBDiagCursor); break;
      case Handle::Move:
        if (drawingMode()) picA4_->unsetCursor();  // a press draws anew (Ctrl moves)
        else picA4_->setCursor(Qt::SizeAllCursor);
        break;
      case Handle::None: picA4_->unsetCursor(); break;
    }
    return;
  }
  if (!dragging_) return;
  const double d = ws_.shared.dotsPerMm;
  if (dragHandle_ != Handle::None) {
    // The frame's handle follows the pointer; the fields show the frame as it goes.
    const PixRect r = dragHandle(dragRect_, dragHandle_, x - dragX_, y - dragY_, d);
    if (drawingMode()) setDrawingRect(ws_.params, r, d, ws_.decimals());
    else if (dragHandle_ == Handle::Move) setCopyZoneOrigin(ws_.params, r.x, r.y, d, ws_.decimals());
    else setCopyZone(ws_.params, r, d, ws_.decimals());
  } else if (drawingMode()) {
    // A new drawing rectangle from the press point to the pointer.
    PixRect r{std::min(dragX_, x), std::min(dragY_, y), std::abs(x - dragX_), std::abs(y - dragY_)};
    setDrawingRect(ws_.params, r, d, ws_.decimals());
  }
  updateFrames();
}

void FormA4::mouseRelease(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers) {
  const bool dragged = dragging_;
  dragging_ = false;
  dragHandle_ = Handle::None;
  progress_->clearStop();
  if (!drawingMode()) {
    if (magniWasOn_ && ws_.params.chb(check::kMagnifier)) timerMagni_->start();
    return;
  }
  if (b != Qt::LeftButton || !dragged || !ws_.image.loaded) return;
  const ParamStore& p = ws_.params;
  const Cmd c = mouseReleaseCommand(p.option(OptionGroup::Mouse), p.option(OptionGroup::MouseUp), dragX_, dragY_, x, y);
  if (c == Cmd::ToggleActions) showPanel(PanelId::Actions);  // the release only opens it
  else if (c != Cmd::None) runCommand({c});
}

void FormA4::magnifierTick() {
  if (!picA4_->isVisible() || !picA4_->underMouse()) return;
  const QPoint pos = picA4_->mapFromGlobal(QCursor::pos());
  const int units = ws_.shared.twipsPerPixel;
  if (magnifier_.tick(pos.x() * units, pos.y() * units)) picA4_->showMagnifier(pos);
}

void FormA4::normalFileMode() {
  listOpen_->hide();
  dirBox_->hide();
  chooserFolder_ = -1;
  comPath_[5]->setText(QStringLiteral("Открыть"));
  comCopy_->setText(QStringLiteral("Копировать"));
}

void FormA4::folderButton(int k) {
  const bool shown = listOpen_->isVisible() || dirBox_->isVisible();
  const int listIndex = k == 1 || k == 4 ? 5 : k;
  if (shown && chooserFolder_ == k) {
    normalFileMode();
    return;
  }
  files_->currentIndex = listIndex;
  if (listIndex == 5) files_->setPictureFolder();
  else files_->rebuild();
  listOpen_->show();
  showFolderChooser(k == 5 ? 1 : k);
  chooserFolder_ = k;
}

void FormA4::showFolderChooser(int k) {
  dirBox_->setProperty("folder", k);
  const std::string start = existingFolderOrParent(ws_.shared.folders[static_cast<std::size_t>(k)]);
  dirBox_->show();
  dir1_->setProperty("browse", qs(start));
  dirPath_->setText(qs(start));
  dir1_->clear();
  QDir dir(qs(start));
  auto add = [this](const QString& caption, const QString& path) {
    auto* it = new QListWidgetItem(caption, dir1_);
    it->setData(Qt::UserRole, path);
  };
  if (!dir.isRoot()) add(QStringLiteral(".."), QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(".."))));
  for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
    add(sub, dir.absoluteFilePath(sub));
}

void FormA4::enterFolder(const QString& path) {
  const int k = dirBox_->property("folder").toInt();
  if (k < 0 || k > 5) return;
  ws_.shared.folders[static_cast<std::size_t>(k)] = us(path);
  if (k == 1) files_->setPictureFolder();
  else if (listOpen_->isVisible() && files_->currentIndex == k) files_->rebuild();
  showFolderChooser(k);
}

}  // namespace quillaro
