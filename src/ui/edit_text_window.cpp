#include "ui/edit_text_window.h"

#include <QApplication>

#include <algorithm>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <QShortcut>

#include "model/workspace.h"
#include "ui/desktop_opener.h"
#include "ops/find_replace.h"

namespace quillaro {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }

// The store holds CR LF where the widget shows "\n"; positions in the store count code
// points, in the widget UTF-16 units. Both texts are walked side by side.
std::size_t storePosition(const QString& store, const QString& shown, int pos) {
  std::size_t chars = 0;
  qsizetype t = 0;
  for (qsizetype s = 0; s < pos && s < shown.size(); ++s) {
    if (shown[s] == QLatin1Char('\n') && t + 1 < store.size() && store[t] == QLatin1Char('\r') &&
        store[t + 1] == QLatin1Char('\n')) {
      chars += 2;
      t += 2;
      continue;
    }
    if (!shown[s].isLowSurrogate()) ++chars;
    ++t;
  }
  return chars;
}

int shownPosition(const QString& store, const QString& shown, std::size_t chars) {
  std::size_t c = 0;
  qsizetype t = 0;
  qsizetype s = 0;
  while (s < shown.size() && c < chars) {
    if (shown[s] == QLatin1Char('\n') && t + 1 < store.size() && store[t] == QLatin1Char('\r') &&
        store[t + 1] == QLatin1Char('\n')) {
      c += 2;
      t += 2;
    } else {
      if (!shown[s].isLowSurrogate()) ++c;
      ++t;
    }
    ++s;
  }
  while (s < shown.size() && shown[s].isLowSurrogate()) ++s;
  return static_cast<int>(s);
}

}  // namespace

EditTextWindow::EditTextWindow(Workspace& ws, std::function<QPlainTextEdit*(int)> field, QWidget* parent)
    : QDialog(parent), ws_(ws), field_(std::move(field)) {
  setObjectName(QStringLiteral("EditText"));
  setWindowTitle(QStringLiteral("Поиск и замена"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  const char* labels[3] = {"Найти", "Заменить на", "Окончание"};
  for (int i = 0; i < 3; ++i) {
    texts_[i] = new QLineEdit;
    texts_[i]->setObjectName(QStringLiteral("TextEdit_%1").arg(i));
    grid->addWidget(new QLabel(QString::fromUtf8(labels[i])), i, 0);
    grid->addWidget(texts_[i], i, 1, 1, 3);
  }
  texts_[2]->setToolTip(QStringLiteral("Если задано, найденное продолжается до этого текста включительно"));
  anyCase_ = new QCheckBox(QStringLiteral("Без учёта регистра"));
  anyCase_->setObjectName(QStringLiteral("ChAnyCase"));
  grid->addWidget(anyCase_, 3, 1, 1, 3);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption));
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* find = button("ComFindText", "Найти");
  QPushButton* replaceButton = button("ComReplaceText", "Заменить");
  QPushButton* allSets = button("Command1", "Заменить все наборы");
  QPushButton* undoButton = button("ComUndoReplace", "Отменить замену");
  find->setToolTip(QStringLiteral("Найти следующее - Enter"));
  replaceButton->setToolTip(QStringLiteral("Заменить выделенное, без выделения - всё; Ctrl+Enter"));
  allSets->setToolTip(QStringLiteral("Заменить во всём тексте по всем наборам поиска и замены"));
  undoButton->setToolTip(QStringLiteral("Вернуть текст, каким он был до последней замены"));
  auto* row = new QHBoxLayout;
  for (QPushButton* b : {find, replaceButton, allSets, undoButton}) row->addWidget(b);
  grid->addLayout(row, 4, 0, 1, 4);

  QPushButton* previous = button("ButB_0", "<");
  QPushButton* next = button("ButB_1", ">");
  previous->setToolTip(QStringLiteral("Предыдущий набор поиска и замены"));
  next->setToolTip(QStringLiteral("Следующий набор поиска и замены"));
  setLabel_ = new QLabel;
  auto* sets = new QHBoxLayout;
  sets->addWidget(previous);
  sets->addWidget(setLabel_);
  sets->addWidget(next);
  sets->addStretch(1);
  grid->addLayout(sets, 5, 0, 1, 4);

  connect(find, &QPushButton::clicked, this, [this] { findNext(); });
  connect(replaceButton, &QPushButton::clicked, this, [this] { replace(); });
  connect(allSets, &QPushButton::clicked, this, [this] { replaceAllSets(); });
  connect(undoButton, &QPushButton::clicked, this, [this] { undo(); });
  connect(previous, &QPushButton::clicked, this, [this] { showSet(-1); });
  connect(next, &QPushButton::clicked, this, [this] { showSet(1); });
  for (QLineEdit* t : texts_) connect(t, &QLineEdit::returnPressed, this, [this] {
      if (QApplication::keyboardModifiers() & Qt::ControlModifier) replace();
      else findNext();
    });
  // The field last used for editing is the one the window works on.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    for (int k = 0; k < kReplaceFields; ++k)
      if (now && field_(k) == now) findReplaceState(ws_).activeField = k;
  });
  showCurrentSet();
  if (parent) {
    auto* shortcut = new QShortcut(QKeySequence::Find, parent);
    connect(shortcut, &QShortcut::activated, this, [this] { openFor(-1); });
  }
}

QWidget* EditTextWindow::makeToolRow() {
  auto* row = new QWidget;
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  auto* find = new QPushButton(QStringLiteral("Поиск и замена"));
  find->setObjectName(QStringLiteral("ComEditText"));
  find->setToolTip(QStringLiteral("Ctrl+F"));
  auto* help = new QPushButton(QStringLiteral("Справка"));
  help->setObjectName(QStringLiteral("ComHelp"));
  help->setToolTip(QStringLiteral("Клавиша \"H\""));
  h->addWidget(find);
  h->addWidget(help);
  h->addStretch(1);
  connect(find, &QPushButton::clicked, this, [this] { openFor(-1); });
  connect(help, &QPushButton::clicked, this, [this] { openHelp(ws_); });
  return row;
}

void EditTextWindow::openFor(int field) {
  if (field >= 0 && field < kReplaceFields) findReplaceState(ws_).activeField = field;
  if (QPlainTextEdit* e = activeEdit()) {
    const QString selected = e->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) texts_[0]->setText(selected);
  }
  show();
  raise();
  activateWindow();
  texts_[0]->setFocus();
  texts_[0]->selectAll();
}

QPlainTextEdit* EditTextWindow::activeEdit() const { return field_(findReplaceState(ws_).activeField); }

ReplaceSet EditTextWindow::shownSet() const {
  return {us(texts_[0]->text()), us(texts_[1]->text()), us(texts_[2]->text())};
}

void EditTextWindow::findNext() {
  QPlainTextEdit* e = activeEdit();
  if (!e) return;
  const int k = findReplaceState(ws_).activeField;
  const QString store = qs(ws_.params.tz(k));
  const QString shown = e->toPlainText();
  const std::size_t from = storePosition(store, shown, e->textCursor().position());
  const auto m = findNextInField(ws_, k, from, shownSet(), anyCase_->isChecked());
  if (!m) return;
  QTextCursor c = e->textCursor();
  c.setPosition(shownPosition(store, shown, m->begin));
  c.setPosition(shownPosition(store, shown, m->end), QTextCursor::KeepAnchor);
  e->setTextCursor(c);
  e->ensureCursorVisible();
}

void EditTextWindow::replace() {
  QPlainTextEdit* e = activeEdit();
  if (!e) return;
  const int k = findReplaceState(ws_).activeField;
  const ReplaceSet set = shownSet();
  QTextCursor c = e->textCursor();
  if (!c.hasSelection()) {
    replaceAllInField(ws_, k, set, anyCase_->isChecked());
    return;
  }
  const QString store = qs(ws_.params.tz(k));
  const QString shown = e->toPlainText();
  const std::size_t begin = storePosition(store, shown, c.selectionStart());
  const std::size_t end = storePosition(store, shown, c.selectionEnd());
  const std::size_t start = replaceSelection(ws_, k, {begin, end}, set.replacement);
  // The cursor stays at the start of the replacement; the next match is looked for after it.
  const QString newStore = qs(ws_.params.tz(k));
  const QString newShown = e->toPlainText();
  const std::size_t after = start + static_cast<std::size_t>(qs(set.replacement).toUcs4().size());
  QTextCursor at = e->textCursor();
  at.setPosition(shownPosition(newStore, newShown, after));
  e->setTextCursor(at);
  findNext();
  if (!e->textCursor().hasSelection()) {
    at.setPosition(shownPosition(newStore, newShown, start));
    e->setTextCursor(at);
  }
}

void EditTextWindow::replaceAllSets() {
  storeShownSet();
  quillaro::replaceAllSets(ws_, findReplaceState(ws_).activeField, 0, kReplaceSets - 1, anyCase_->isChecked());
}

void EditTextWindow::undo() { undoReplace(ws_, findReplaceState(ws_).activeField); }

void EditTextWindow::storeShownSet() {
  FindReplaceState& s = findReplaceState(ws_);
  s.sets[static_cast<std::size_t>(s.currentSet)] = shownSet();
}

void EditTextWindow::showSet(int step) {
  storeShownSet();
  FindReplaceState& s = findReplaceState(ws_);
  s.currentSet = std::clamp(s.currentSet + step, 0, kReplaceSets - 1);
  showCurrentSet();
}

void EditTextWindow::showCurrentSet() {
  const FindReplaceState& s = findReplaceState(ws_);
  const ReplaceSet& set = s.sets[static_cast<std::size_t>(s.currentSet)];
  texts_[0]->setText(qs(set.find));
  texts_[1]->setText(qs(set.replacement));
  texts_[2]->setText(qs(set.ending));
  setLabel_->setText(QStringLiteral("Набор %1 из %2").arg(s.currentSet + 1).arg(kReplaceSets));
}

}  // namespace quillaro
