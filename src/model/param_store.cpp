#include "model/param_store.h"

#include <cmath>

#include "base/fields.h"
#include "base/numeric.h"

namespace quillaro {
namespace {

// Ranges of the fields that are brought into range when edited.
struct FieldRange {
  int index;
  double low;
  double high;
};
constexpr FieldRange kRanges[] = {
    {field::kDensityWidth, 2, 20},  // line width of the density operation
    {field::kAngle, -5000, 5000},   // angle, radians * 10000
    {field::kMargin, 0, 10},        // printer margin, mm
    {field::kMaskLeft, -32, 50},    // uneven mask, left edge level
    {field::kMaskRight, -32, 50},   // uneven mask, right edge level
};

std::string limitText(double v) { return std::to_string(static_cast<long long>(v)); }

}  // namespace

std::string normalizeField(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == '.') --n;
  return std::string(text.substr(0, n));
}

ParamStore::ParamStore() {
  loadInitialValues();
  installBuiltInHandlers();
}

void ParamStore::loadInitialValues() {
  chb_.fill(false);
  for (auto& s : tn_) s.clear();
  for (auto& s : ttb_) s.clear();
  for (auto& s : textPrint_) s.clear();
  for (auto& t : tz_) t = TextArea{};
  checks_.fill(false);
  options_.fill(0);
  lists_.fill(0);
  for (auto& s : held_) s.clear();
  for (auto& s : a3_) s.clear();
  window_ = WindowRect{};
  captions_.clear();
  tooltips_.clear();
  disabled_.clear();

  for (const ControlInfo& row : controlTable()) {
    const std::string_view init = row.initial;
    switch (row.kind) {
      case Ctl::ChB: chb_[row.index] = init == "1"; break;
      case Ctl::TN: tn_[row.index] = init; break;
      case Ctl::TTB: ttb_[row.index] = init; break;
      case Ctl::TextPrint: textPrint_[row.index] = init; break;
      case Ctl::Check: checks_[row.index] = init == "1"; break;
      case Ctl::Option:
        if (!init.empty()) options_[row.index] = row.sub;
        break;
      case Ctl::List:
        if (!init.empty()) lists_[row.index] = row.sub;
        break;
      case Ctl::Held: held_[row.index] = init; break;
      default: break;
    }
  }
}

void ParamStore::changed(ControlId id) {
  if (!observers_.empty()) {
    const auto snapshot = observers_;  // observers may unsubscribe while being told
    for (const auto& [token, obs] : snapshot) obs(id);
  }
  if (quiet_ > 0 || (running_ && *running_)) return;
  runHandler(id);
}

void ParamStore::runHandler(ControlId id) {
  auto it = handlers_.find(id.key());
  if (it == handlers_.end()) return;
  // A handler that changes its own control does not start itself again.
  if (!activeHandlers_.insert(id.key()).second) return;
  const Handler h = it->second;  // the handler may replace itself
  h(id);
  activeHandlers_.erase(id.key());
}

// --- values ---

void ParamStore::setChb(int i, bool v) {
  if (!valid(i, kChbCount) || chb_[i] == v) return;
  chb_[i] = v;
  changed(chbId(i));
}

void ParamStore::setTn(int i, std::string v) {
  if (!valid(i, kTnCount) || tn_[i] == v) return;
  tn_[i] = std::move(v);
  changed(tnId(i));
}

void ParamStore::editTn(int i, std::string v, Prompts* prompts) {
  if (!valid(i, kTnCount)) return;
  double low = 0, high = 0;
  bool ranged = false;
  if (i == field::kBrightnessOrThreshold) {
    ranged = true;
    if (chb(check::kOpenAs1Bit)) { low = 0; high = 255; } else { low = -2500; high = 2500; }
  } else {
    for (const FieldRange& r : kRanges)
      if (r.index == i) { ranged = true; low = r.low; high = r.high; }
  }
  if (ranged) {
    std::string comma = v;
    for (char& c : comma) if (c == ',') c = '.';
    const double x = parseNumber(comma, prompts);
    if (x < low) v = limitText(low);
    else if (x > high) v = limitText(high);
  }
  setTn(i, std::move(v));
}

double ParamStore::tnValue(int i, Prompts* prompts) const {
  std::string t = tn(i);
  for (char& c : t) if (c == ',') c = '.';
  return parseNumber(t, prompts);
}

void ParamStore::setTtb(int i, std::string v) {
  if (!valid(i, kTtbCount) || ttb_[i] == v) return;
  ttb_[i] = std::move(v);
  changed(ttbId(i));
}

void ParamStore::setTextPrint(int i, std::string v) {
  if (!valid(i, kTextPrintCount) || textPrint_[i] == v) return;
  textPrint_[i] = std::move(v);
  changed(textPrintId(i));
}

void ParamStore::setTz(int i, std::string v, bool markModified) {
  if (!valid(i, kTzCount) || tz_[i].text == v) return;
  tz_[i].text = std::move(v);
  if (markModified) tz_[i].modified = true;
  changed(tzId(i));
}

void ParamStore::setTzModified(int i, bool v) {
  if (!valid(i, kTzCount) || tz_[i].modified == v) return;
  tz_[i].modified = v;
  changed(tzId(i));
}

void ParamStore::setTzName(int i, std::string name) {
  if (!valid(i, kTzCount) || tz_[i].name == name) return;
  tz_[i].name = std::move(name);
  changed(tzId(i));
}

void ParamStore::setTzCursor(int i, std::size_t pos) {
  if (!valid(i, kTzCount) || tz_[i].cursor == pos) return;
  tz_[i].cursor = pos;
  changed(tzId(i));
}

void ParamStore::setCheck(Check c, bool v) {
  const int i = static_cast<int>(c);
  if (!valid(i, kCheckCount) || checks_[i] == v) return;
  checks_[i] = v;
  changed(checkId(c));
}

void ParamStore::setOption(OptionGroup g, int button) {
  const int i = static_cast<int>(g);
  if (!valid(i, kOptionGroupCount) || button < 0 || !findControl(optionId(g), button)) return;
  if (options_[i] == button) return;
  options_[i] = button;
  changed(optionId(g));
}

void ParamStore::setListIndex(ListSel l, int entry) {
  const int i = static_cast<int>(l);
  if (!valid(i, kListCount) || entry < 0 || !findControl(listId(l), entry)) return;
  if (lists_[i] == entry) return;
  lists_[i] = entry;
  changed(listId(l));
}

std::string ParamStore::fontName() const {
  const ControlInfo* row = findControl(listId(ListSel::ListFontName), listIndex(ListSel::ListFontName));
  return row ? row->caption : "";
}

void ParamStore::setHeld(Held h, std::string v) {
  const int i = static_cast<int>(h);
  if (!valid(i, kHeldCount) || held_[i] == v) return;
  held_[i] = std::move(v);
  changed(heldId(h));
}

void ParamStore::setA3Text(int i, std::string v) {
  if (!valid(i, kA3TextCount) || a3_[i] == v) return;
  a3_[i] = std::move(v);
  changed(a3TextId(i));
}

void ParamStore::setWindow(const WindowRect& r) {
  if (window_ == r) return;
  window_ = r;
  changed(windowId());
}

// --- captions, tooltips, enabled states ---

std::string ParamStore::caption(ControlId id, int sub) const {
  if (sub == 0) {
    auto it = captions_.find(id.key());
    if (it != captions_.end()) return it->second;
  }
  const ControlInfo* row = findControl(id, sub);
  return row ? row->caption : "";
}

void ParamStore::setCaption(ControlId id, std::string text) {
  if (caption(id) == text) return;
  captions_[id.key()] = std::move(text);
  changed(id);
}

std::string ParamStore::tooltip(ControlId id, int sub) const {
  if (sub == 0) {
    auto it = tooltips_.find(id.key());
    if (it != tooltips_.end()) return it->second;
  }
  const ControlInfo* row = findControl(id, sub);
  return row ? row->tooltip : "";
}

void ParamStore::setTooltip(ControlId id, std::string text) {
  if (tooltip(id) == text) return;
  tooltips_[id.key()] = std::move(text);
  changed(id);
}

void ParamStore::setEnabled(ControlId id, bool on) {
  if (enabled(id) == on) return;
  if (on) disabled_.erase(id.key());
  else disabled_.insert(id.key());
  changed(id);
}

// --- observers and handlers ---

int ParamStore::subscribe(Observer obs) {
  const int token = nextToken_++;
  observers_.emplace_back(token, std::move(obs));
  return token;
}

void ParamStore::unsubscribe(int token) {
  std::erase_if(observers_, [token](const auto& p) { return p.first == token; });
}

void ParamStore::setHandler(ControlId id, Handler h) {
  if (h) handlers_[id.key()] = std::move(h);
  else handlers_.erase(id.key());
}

void ParamStore::installBuiltInHandlers() {
  // Open as 1-bit switches the shared field TN(55) between the threshold and the
  // brightness text, and its label Lab(7) with it.
  setHandler(chbId(check::kOpenAs1Bit), [this](const ControlId&) {
    if (chb(check::kOpenAs1Bit)) {
      setTn(field::kBrightnessOrThreshold, held(Held::Threshold));
      setCaption(labId(7), "Порог Ч/Б");
      setTooltip(labId(7), "Если значение меньше, то чёрная точка");
    } else {
      setTn(field::kBrightnessOrThreshold, held(Held::Brightness));
      setCaption(labId(7), "Яркость");
      setTooltip(labId(7), "Значение из файла +");
    }
  });
  // An edit of the shared field goes into whichever text it shows.
  setHandler(tnId(field::kBrightnessOrThreshold), [this](const ControlId&) {
    setHeld(chb(check::kOpenAs1Bit) ? Held::Threshold : Held::Brightness, tn(field::kBrightnessOrThreshold));
  });
}

}  // namespace quillaro
