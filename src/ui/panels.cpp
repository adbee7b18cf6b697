#include "ui/panels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "model/param_store.h"
#include "presentation/panel_captions.h"

namespace quillaro {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }

bool in(int i, std::initializer_list<int> list) {
  return std::find(list.begin(), list.end(), i) != list.end();
}

// Controls that no operation reads and whose meaning is unknown. The store keeps their
// values (the settings file saves and loads some of them), but no panel shows them.
bool leftOut(ControlId id) {
  switch (id.kind) {
    case Ctl::ChB: return in(id.index, {check::kWrpp, check::kSpare});
    case Ctl::TN:
      // Those without a row in the control table, and the settings-only ones that have one.
      return !findControl(id) || in(id.index, {field::kSpeed, field::kAllMargins, field::kRound,
                                               field::kFrame11, field::kFrame12});
    case Ctl::TTB: return id.index >= 3;
    case Ctl::Check: return id.index == static_cast<int>(Check::ChAxis);
    default: return false;
  }
}

PanelId chbPanel(int i) {
  using namespace check;
  // The steps that follow one another without the user: copy after opening, save, print,
  // to A3, open the next file.
  if (in(i, {kAutoCopy, kSaveAfter, kPrintAfter, kToA3After, kOpenAfterSave, kOpenAfterPrint,
             kOpenAfterA5, kAfterA3}))
    return PanelId::Actions;
  if (i == kA4InA3Turned) return PanelId::Save;  // A3 and output
  // The copy's geometry, the automatic frame's even-page reversal and keeping the angle.
  if (in(i, {kMultiCopy, kByBytes, kAutoFrame, kScanMargins, kRememberZones,
             kMiddleByPaper, kTwoSides, kKeepAngle,
             kDensityPlusOnOpen, kFastCopy, kFourInOne, kCopyFitsWindow, kFrameByCopy,
             kEvenReverseLR, kEvenReverseTB}))
    return PanelId::Copy;
  if (in(i, {kOpenAs1Bit, kReadRgb, kCorrectBlack, kCorrectWhite, kAutoColour, kRelativeWhite,
             kToneOnOpen, kKeepColour}))
    return PanelId::Tone;
  if (in(i, {kMaskLines, kMaskOnCopy, kMaskOnGrey, kUnevenMask, kNotAboveMask}))
    return PanelId::Mask;
  if (in(i, {kAddToFileName})) return PanelId::Save;
  if (in(i, {kLoadOpened, kCopybookNumbering, kDateFolderUp, kOriginalTurned,
             kTwoNumbers, kNumberNext, kPageNumbers, kLoadSaved, kFitToPage,
             kKeepProportions, kFoldA3}))
    return PanelId::Print;
  if (in(i, {kTextIntoFrames, kCheckFrame, kRightClickFindsFrame, kFillFoundFrame, kBold, kItalic,
             kUnderline, kStrikeOut, kPasteIntoCell, kEnterDraws, kWin1251, kUtf8}))
    return PanelId::Text;
  if (in(i, {kDensityHorizontal, kDensityVertical, kLinesAfterRows, kTableAuto, kCellFit,
             kRearrange, kEqualLineWidths, kAltStepTen, kTableHorizontal, kTableVertical, kArrows,
             kCorners, kGrid}))
    return PanelId::Table;
  return PanelId::Settings;
}

PanelId tnPanel(int i) {
  using namespace field;
  if (in(i, {kAngle, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight, kZoneLeft, kZoneTop, kScale,
             kScanMargin, kQuadOffsetX, kQuadOffsetY, kMargin, kMiddleOffset, kScaleX, kScaleY,
             kPageWidth, kPageHeight}))
    return PanelId::Copy;
  if (in(i, {kBrightnessOrThreshold, kContrast, kContrastRelWhite})) return PanelId::Tone;
  if (in(i, {kMaskLeft, kMaskRight})) return PanelId::Mask;
  if (in(i, {kCopies, kFromPage, kToPage, kCopybookSheets})) return PanelId::Print;
  if (in(i, {kStretchLimit, kFontSize, kIndentX, kIndentY, kTabWidth, kLineSpacing, kCharSpacing}))
    return PanelId::Text;
  // The table fields; the counts and steps also serve the multiple copy.
  if (in(i, {kAcross, kDown, kRepeatAcross, kRepeatDown, kVerticalLineWidth, kHorizontalLineWidth,
             kInnerLineWidth, kDensityWidth, kDrawLeft, kDrawTop, kDrawWidth, kDrawHeight,
             kStepAcross, kStepDown, kRed, kGreen, kBlue}))
    return PanelId::Table;
  return PanelId::Settings;
}

PanelId checkPanel(Check c) {
  switch (c) {
    case Check::ChLand: case Check::Ch2in1: case Check::Ch2origin: case Check::ChMirror:
    case Check::Ch2of2: case Check::ChBackRotat: case Check::ChPaste: case Check::ChForm:
    case Check::Ch1200dpi:
      return PanelId::Copy;
    case Check::ChA3:
      return PanelId::Save;
    case Check::ChTabTab: case Check::ChDrawInCell: case Check::ChRowTab:
    case Check::ChTexBiasLine: case Check::ChTabX0: case Check::ChTabY0: case Check::ChTabXSZ:
    case Check::ChTabYSZ: case Check::ChAxis:
      return PanelId::Table;
    default:
      return PanelId::Settings;
  }
}

PanelId optionPanel(OptionGroup g) {
  switch (g) {
    case OptionGroup::Mouse: case OptionGroup::MouseUp: return PanelId::Settings;
    case OptionGroup::AutoTB: case OptionGroup::AutoLR: return PanelId::Copy;
    default: return PanelId::Text;
  }
}

// The title of an option group's box.
const char* groupTitle(OptionGroup g) {
  switch (g) {
    case OptionGroup::HAlign: return "Выравнивание по горизонтали";
    case OptionGroup::VAlign: return "Выравнивание по вертикали";
    case OptionGroup::Placement: return "Куда рисовать текст";
    case OptionGroup::SpacingUnit: return "Единица расстояний между строк и знаков";
    case OptionGroup::OffsetUnit: return "Единица отступов и табуляции";
    case OptionGroup::Mouse: return "Щелчок мыши при рисовании";
    case OptionGroup::MouseUp: return "Отпускание кнопки мыши при рисовании";
    case OptionGroup::AutoTB: return "Установка рамки: край по вертикали";
    case OptionGroup::AutoLR: return "Установка рамки: край по горизонтали";
    default: return "";
  }
}

// The text shown beside a control: its caption, else its tooltip, else its address (which
// no control of the table should need; see leftOut for those that are not shown).
std::string shownCaption(const ControlInfo* row, const char* name, int index) {
  if (row && *row->caption) return wholeCaption({row->kind, row->index}, row->caption);
  if (row && *row->tooltip) return row->tooltip;
  return std::string(name) + "(" + std::to_string(index) + ")";
}

int arrayCount(Ctl kind) {
  switch (kind) {
    case Ctl::ChB: return kChbCount;
    case Ctl::TN: return kTnCount;
    case Ctl::TTB: return kTtbCount;
    case Ctl::TextPrint: return kTextPrintCount;
    default: return 0;
  }
}

}  // namespace

PanelId panelOf(ControlId id) {
  switch (id.kind) {
    case Ctl::ChB: return chbPanel(id.index);
    case Ctl::TN: return tnPanel(id.index);
    case Ctl::TTB:
      return id.index <= 1 ? PanelId::Save : id.index == 2 ? PanelId::Actions : PanelId::Settings;
    case Ctl::TextPrint: return PanelId::Print;
    case Ctl::Check: return checkPanel(static_cast<Check>(id.index));
    case Ctl::Option: return optionPanel(static_cast<OptionGroup>(id.index));
    case Ctl::List: return PanelId::Text;
    case Ctl::Held:
      switch (static_cast<Held>(id.index)) {
        case Held::Threshold: case Held::Brightness: return PanelId::Tone;
        case Held::MaskPattern: return PanelId::Mask;
        case Held::TextFileName: return PanelId::Save;
        default: return PanelId::Settings;
      }
    case Ctl::TZ: return id.index == text::kProgram ? PanelId::Actions : PanelId::Text;
    default: return PanelId::Settings;
  }
}

const char* panelCaption(PanelId p) {
  // The groups as a user thinks of the work.
  static constexpr const char* kCaptions[] = {"Настройки", "Геометрия копии", "Открытие и тон",
                                              "Маски и плотность", "A3 и сохранение", "Автоматизация",
                                              "Печать", "Текст", "Таблицы"};
  return kCaptions[static_cast<int>(p)];
}

const char* panelName(PanelId p) {
  static constexpr const char* kNames[] = {"FrameSett", "FrameCopy", "FrameTone", "FrameMask",
                                           "FrameSave", "FrameAct", "FramePrint", "FrameText",
                                           "FrameTable"};
  return kNames[static_cast<int>(p)];
}

PanelBinder::PanelBinder(ParamStore& store, Prompts* prompts)
    : store_(store), prompts_(prompts), guard_(new QObject) {
  token_ = store_.subscribe([this](const ControlId& id) {
    if (!updating_) show(id);
  });
}

PanelBinder::~PanelBinder() {
  store_.unsubscribe(token_);
  delete guard_;
}

void PanelBinder::bind(ControlId id, int sub, QWidget* w) {
  widgets_[slot(id, sub)] = w;
  byControl_[id.key()].emplace_back(sub, w);
  QObject::connect(w, &QObject::destroyed, guard_, [this, id, sub, w] {
    widgets_.erase(slot(id, sub));
    auto& v = byControl_[id.key()];
    v.erase(std::remove_if(v.begin(), v.end(), [w](const auto& p) { return p.second == w; }), v.end());
  });
  showOne(id, sub, w);
}

QWidget* PanelBinder::widgetFor(ControlId id, int sub) const {
  const auto it = widgets_.find(slot(id, sub));
  return it == widgets_.end() ? nullptr : it->second;
}

void PanelBinder::show(ControlId id) {
  const auto it = byControl_.find(id.key());
  if (it == byControl_.end()) return;
  for (const auto& [sub, w] : it->second) showOne(id, sub, w);
}

void PanelBinder::refreshAll() {
  for (const auto& [key, list] : byControl_) {
    const ControlId id{static_cast<Ctl>(key >> 16), static_cast<int>(key & 0xFFFF)};
    for (const auto& [sub, w] : list) showOne(id, sub, w);
  }
}

void PanelBinder::showOne(ControlId id, int sub, QWidget* w) {
  const QSignalBlocker block(w);
  w->setEnabled(store_.enabled(id));
  const std::string tip = store_.tooltip(id, sub);
  w->setToolTip(qs(tip));
  switch (id.kind) {
    case Ctl::ChB:
      static_cast<QCheckBox*>(w)->setChecked(store_.chb(id.index));
      break;
    case Ctl::Check:
      static_cast<QCheckBox*>(w)->setChecked(store_.check(static_cast<Check>(id.index)));
      break;
    case Ctl::Option:
      static_cast<QRadioButton*>(w)->setChecked(store_.option(static_cast<OptionGroup>(id.index)) == sub);
      break;
    case Ctl::List:
      static_cast<QComboBox*>(w)->setCurrentIndex(store_.listIndex(static_cast<ListSel>(id.index)));
      break;
    case Ctl::TN: case Ctl::TTB: case Ctl::TextPrint: case Ctl::Held: {
      auto* e = static_cast<QLineEdit*>(w);
      const std::string& v = id.kind == Ctl::TN ? store_.tn(id.index)
                           : id.kind == Ctl::TTB ? store_.ttb(id.index)
                           : id.kind == Ctl::TextPrint ? store_.textPrint(id.index)
                                                       : store_.held(static_cast<Held>(id.index));
      if (e->text() != qs(v)) e->setText(qs(v));
      break;
    }
    case Ctl::TZ: {
      auto* e = static_cast<QPlainTextEdit*>(w);
      const QString v = qs(store_.tz(id.index)).replace(QLatin1String("\r\n"), QLatin1String("\n"));
      if (e->toPlainText() != v) e->setPlainText(v);
      break;
    }
    case Ctl::Lab: case Ctl::NamedLabel:
      static_cast<QLabel*>(w)->setText(qs(store_.caption(id, sub)));
      break;
    default:
      break;
  }
}

QWidget* PanelBinder::buildPanel(PanelId panel) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(panelName(panel));
  scroll->setWidgetResizable(true);
  auto* body = new QWidget;
  auto* column = new QVBoxLayout(body);
  auto* form = new QFormLayout;
  column->addLayout(form);

  auto addCheck = [&](ControlId id, const std::string& caption, bool named) {
    auto* box = new QCheckBox(qs(caption));
    box->setObjectName(named ? QString::fromUtf8(findControl(id)->name)
                             : QStringLiteral("ChB_%1").arg(id.index));
    form->addRow(box);
    QObject::connect(box, &QCheckBox::toggled, guard_, [this, id](bool on) {
      updating_ = true;
      if (id.kind == Ctl::ChB) store_.setChb(id.index, on);
      else store_.setCheck(static_cast<Check>(id.index), on);
      updating_ = false;
      show(id);  // the handling may have changed or refused the value
    });
    bind(id, 0, box);
  };
  auto addField = [&](ControlId id, const std::string& caption, const QString& objectName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    if (id == tnId(field::kBrightnessOrThreshold)) {
      // The shared tone field is captioned by Lab(7), which names what it holds now
      // ("Яркость" or "Порог Ч/Б"); the two texts behind it are not shown twice.
      auto* label = new QLabel;
      label->setObjectName(QStringLiteral("Lab_7"));
      form->addRow(label, edit);
      bind(labId(7), 0, label);
    } else {
      form->addRow(qs(caption), edit);
    }
    QObject::connect(edit, &QLineEdit::editingFinished, guard_, [this, id, edit] {
      const std::string v = us(edit->text());
      updating_ = true;
      switch (id.kind) {
        case Ctl::TN: store_.editTn(id.index, v, prompts_); break;
        case Ctl::TTB: store_.setTtb(id.index, v); break;
        case Ctl::TextPrint: store_.setTextPrint(id.index, v); break;
        case Ctl::Held: store_.setHeld(static_cast<Held>(id.index), v); break;
        default: break;
      }
      updating_ = false;
      show(id);  // clamped values are shown at once
    });
    bind(id, 0, edit);
  };

  // Control arrays, every index but those left out.
  for (Ctl kind : {Ctl::ChB, Ctl::TN, Ctl::TTB, Ctl::TextPrint}) {
    const char* name = kind == Ctl::ChB ? "ChB" : kind == Ctl::TN ? "TN" : kind == Ctl::TTB ? "TTB" : "TextPrint";
    for (int i = 0; i < arrayCount(kind); ++i) {
      const ControlId id{kind, i};
      if (leftOut(id) || panelOf(id) != panel) continue;
      const ControlInfo* row = findControl(id);
      const std::string caption = shownCaption(row, name, i);
      if (kind == Ctl::ChB) addCheck(id, caption, false);
      else addField(id, caption, QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
    }
  }
  // Named controls from the table.
  std::vector<QButtonGroup*> groups;
  for (const ControlInfo& row : controlTable()) {
    const ControlId id{row.kind, row.index};
    if (panelOf(id) != panel) continue;
    switch (row.kind) {
      case Ctl::Check:
        if (leftOut(id)) break;
        addCheck(id, shownCaption(&row, row.name, row.index), true);
        break;
      case Ctl::Option: {
        if (row.sub == 0) {
          const auto g = static_cast<OptionGroup>(row.index);
          auto* box = new QGroupBox(QString::fromUtf8(groupTitle(g)));
          box->setObjectName(QString::fromUtf8(row.name) + QStringLiteral("Group"));
          box->setLayout(new QVBoxLayout);
          form->addRow(box);
          groups.push_back(new QButtonGroup(box));
        }
        auto* group = groups.back();
        auto* radio = new QRadioButton(qs(row.caption));
        radio->setObjectName(QStringLiteral("%1_%2").arg(QString::fromUtf8(row.name)).arg(row.sub));
        group->addButton(radio);
        static_cast<QWidget*>(group->parent())->layout()->addWidget(radio);
        const int sub = row.sub;
        QObject::connect(radio, &QRadioButton::toggled, guard_, [this, id, sub](bool on) {
          if (!on) return;
          updating_ = true;
          store_.setOption(static_cast<OptionGroup>(id.index), sub);
          updating_ = false;
          show(id);
        });
        bind(id, sub, radio);
        break;
      }
      case Ctl::List: {
        if (row.sub != 0) break;
        auto* combo = new QComboBox;
        combo->setObjectName(QString::fromUtf8(row.name));
        for (int s = 0; const ControlInfo* entry = findControl(id, s); ++s)
          combo->addItem(qs(entry->caption));
        form->addRow(combo);
        QObject::connect(combo, &QComboBox::currentIndexChanged, guard_, [this, id](int i) {
          if (i < 0) return;
          updating_ = true;
          store_.setListIndex(static_cast<ListSel>(id.index), i);
          updating_ = false;
        });
        bind(id, 0, combo);
        break;
      }
      default:
        break;
    }
  }
  column->addStretch(1);
  scroll->setWidget(body);
  return scroll;
}

QLabel* PanelBinder::makeLabel(ControlId id) {
  auto* label = new QLabel;
  const ControlInfo* row = findControl(id);
  label->setObjectName(row ? (id.kind == Ctl::Lab ? QStringLiteral("Lab_%1").arg(id.index)
                                                 : QString::fromUtf8(row->name))
                           : QStringLiteral("Lab_%1").arg(id.index));
  bind(id, 0, label);
  return label;
}

QPlainTextEdit* PanelBinder::makeTextArea(int k) {
  auto* edit = new QPlainTextEdit;
  edit->setObjectName(QStringLiteral("TZ_%1").arg(k));
  const ControlId id = tzId(k);
  QObject::connect(edit, &QPlainTextEdit::textChanged, guard_, [this, k, edit] {
    std::string v = us(edit->toPlainText());
    // The store keeps CR LF line ends, as the files have them.
    std::string crlf;
    crlf.reserve(v.size() + v.size() / 16);
    for (char c : v) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    updating_ = true;
    store_.setTz(k, std::move(crlf));
    updating_ = false;
  });
  bind(id, 0, edit);
  return edit;
}

QLineEdit* PanelBinder::makeHeldField(Held h) {
  auto* edit = new QLineEdit;
  const ControlId id = heldId(h);
  edit->setObjectName(QString::fromUtf8(findControl(id)->name));
  QObject::connect(edit, &QLineEdit::textEdited, guard_, [this, h, edit] {
    updating_ = true;
    store_.setHeld(h, us(edit->text()));
    updating_ = false;
  });
  bind(id, 0, edit);
  return edit;
}

}  // namespace quillaro
