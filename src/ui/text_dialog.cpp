#include "ui/text_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/controls.h"
#include "model/workspace.h"
#include "ops/draw_text.h"

namespace quillaro {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }

constexpr const char* kFamilies[] = {"Arial", "Courier New", "Tahoma", "Times New Roman"};
constexpr int kStyleBoxes[] = {check::kBold, check::kItalic, check::kUnderline, check::kStrikeOut};
constexpr const char* kStyleCaptions[] = {"Полужирный", "Курсив", "Подчёркнутый", "Зачёркнутый"};

// The widget keeps CR LF out; the store keeps the files' CR LF.
std::string withCrLf(const std::string& v) {
  std::string s;
  s.reserve(v.size() + v.size() / 16);
  for (const char c : v) {
    if (c == '\n') s += '\r';
    s += c;
  }
  return s;
}

QString withoutCr(const std::string& v) {
  QString s = qs(v);
  s.remove(QLatin1Char('\r'));
  return s;
}

}  // namespace

void drawTextFromWindow(Workspace& ws, bool continued) {
  const bool before = ws.actions.fontAttributesOnly;
  ws.actions.fontAttributesOnly = continued;
  drawText(ws);
  ws.actions.fontAttributesOnly = before;
}

TextDialog::TextDialog(Workspace& ws, std::function<void()> redraw, QWidget* parent)
    : QDialog(parent), ws_(ws), redraw_(std::move(redraw)) {
  setObjectName(QStringLiteral("TextDialog"));
  setWindowTitle(QStringLiteral("Текст"));
  setModal(false);
  auto* column = new QVBoxLayout(this);
  text_ = new QPlainTextEdit;
  text_->setObjectName(QStringLiteral("TextDialogBody"));
  column->addWidget(text_, 1);
  auto* form = new QFormLayout;
  font_ = new QComboBox;
  font_->setObjectName(QStringLiteral("TextDialogFont"));
  font_->setEditable(true);
  for (const char* f : kFamilies) font_->addItem(QString::fromUtf8(f));
  font_->setToolTip(QStringLiteral("Шрифт из списка или любой установленный"));
  form->addRow(QStringLiteral("Шрифт"), font_);
  size_ = new QLineEdit;
  size_->setObjectName(QStringLiteral("TextDialogSize"));
  form->addRow(QStringLiteral("Размер"), size_);
  column->addLayout(form);
  auto* row = new QHBoxLayout;
  for (int k = 0; k < 4; ++k) {
    styles_[k] = new QCheckBox(QString::fromUtf8(kStyleCaptions[k]));
    row->addWidget(styles_[k]);
    const int box = kStyleBoxes[k];
    connect(styles_[k], &QCheckBox::toggled, this, [this, box](bool on) {
      if (!updating_) ws_.params.setChb(box, on);
    });
  }
  column->addLayout(row);
  auto* buttons = new QHBoxLayout;
  auto* drawButton = new QPushButton(QStringLiteral("Нарисовать"));
  drawButton->setObjectName(QStringLiteral("ComDrawText"));
  drawButton->setToolTip(QStringLiteral("F9"));
  auto* continueButton = new QPushButton(QStringLiteral("Продолжить"));
  continueButton->setObjectName(QStringLiteral("ComContinueText"));
  continueButton->setToolTip(QStringLiteral("Текст продолжается там, где кончился предыдущий"));
  buttons->addWidget(drawButton);
  buttons->addWidget(continueButton);
  column->addLayout(buttons);
  connect(drawButton, &QPushButton::clicked, this, [this] { draw(false); });
  connect(continueButton, &QPushButton::clicked, this, [this] { draw(true); });

  connect(text_, &QPlainTextEdit::textChanged, this, [this] {
    if (!updating_) ws_.params.setTz(text::kBody, withCrLf(us(text_->toPlainText())));
  });
  connect(size_, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (!updating_) ws_.params.editTn(field::kFontSize, us(t), ws_.prompts);
  });
  connect(font_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (updating_) return;
    const std::string name = us(t.trimmed());
    int entry = -1;
    for (int k = 0; k < 4; ++k)
      if (name == kFamilies[k]) entry = k;
    updating_ = true;
    if (entry >= 0) ws_.params.setListIndex(ListSel::ListFontName, entry);
    ws_.params.setHeld(Held::FontFamily, entry >= 0 ? "" : name);
    updating_ = false;
  });
  token_ = ws_.params.subscribe([this](const ControlId&) {
    if (!updating_ && isVisible()) refresh();
  });
  refresh();
}

TextDialog::~TextDialog() { ws_.params.unsubscribe(token_); }

void TextDialog::refresh() {
  const ParamStore& p = ws_.params;
  updating_ = true;
  const QString body = withoutCr(p.tz(text::kBody));
  if (text_->toPlainText() != body) text_->setPlainText(body);
  const std::string& other = p.held(Held::FontFamily);
  const QString family = qs(other.empty() ? p.fontName() : other);
  if (font_->currentText() != family) font_->setEditText(family);
  if (size_->text() != qs(p.tn(field::kFontSize))) size_->setText(qs(p.tn(field::kFontSize)));
  for (int k = 0; k < 4; ++k) styles_[k]->setChecked(p.chb(kStyleBoxes[k]));
  updating_ = false;
}

void TextDialog::draw(bool continued) {
  drawTextFromWindow(ws_, continued);
  if (redraw_) redraw_();
  refresh();
}

void TextDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F9) {
    draw(false);
    return;
  }
  QDialog::keyPressEvent(e);
}

void showTextDialog(QWidget* owner, Workspace& ws, std::function<void()> redraw) {
  auto* dialog = owner->findChild<TextDialog*>(QStringLiteral("TextDialog"), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TextDialog(ws, std::move(redraw), owner);
  dialog->refresh();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

QWidget* makeTextButtons(std::function<void()> draw, std::function<void()> showDialog) {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto* drawButton = new QPushButton(QStringLiteral("Нарисовать"));
  drawButton->setObjectName(QStringLiteral("ComDrawText"));
  drawButton->setToolTip(QStringLiteral("Нарисовать текст в рамке рисования - клавиши \"Пробел\", \"E\""));
  auto* dialogButton = new QPushButton(QStringLiteral("Текст..."));
  dialogButton->setObjectName(QStringLiteral("ComShowDrawText"));
  dialogButton->setToolTip(QStringLiteral("Окно текста для рисования - клавиша \"X\""));
  row->addWidget(drawButton);
  row->addWidget(dialogButton);
  QObject::connect(drawButton, &QPushButton::clicked, box, std::move(draw));
  QObject::connect(dialogButton, &QPushButton::clicked, box, std::move(showDialog));
  return box;
}

}  // namespace quillaro
