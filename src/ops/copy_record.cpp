#include "ops/copy_record.h"

#include <vector>

#include "base/fields.h"
#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/copy_engine.h"
#include "ops/copy_params.h"
#include "model/copy_state.h"

namespace quillaro {
namespace {

namespace F = field;
namespace C = check;

// A panel text as the record writes it: trailing point removed; an empty field is written
// as the value the copy takes for it.
std::string fieldText(const ParamStore& p, int i, const char* ifEmpty) {
  // Commas first: "3," is "3." and loses its point like any other trailing one. A field
  // of points alone is not empty: the copy reads it as 0.
  std::string t = p.tn(i);
  if (t.empty()) return ifEmpty;
  for (char& c : t)
    if (c == ',') c = '.';
  t = normalizeField(t);
  return t.empty() ? std::string("0") : t;
}

// A value written between quotes as it reads back: a quote inside would end it early, so
// it is an apostrophe; control characters (a line break would end the record) and "=" (the
// key reader would take " Key=" inside for a key) are blanks; blanks at the ends, which the
// reader drops, and the trailing points they hid go.
std::string quotable(std::string t) {
  for (char& c : t)
    if (c == '"') c = '\'';
    else if (static_cast<unsigned char>(c) < ' ' || c == '=') c = ' ';
  std::size_t b = t.find_first_not_of(' ');
  if (b == std::string::npos) return "0";
  std::size_t e = t.size();
  while (e > b && (t[e - 1] == ' ' || t[e - 1] == '.')) --e;
  return e > b ? t.substr(b, e - b) : "0";
}

std::string trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

// The positional pieces after the command word: at most 14, each numeric (an empty piece
// reads as "0"), up to the first piece that is not a number.
std::vector<std::string> positionalFields(std::string_view record) {
  std::vector<std::string> out;
  std::size_t pos = record.find(',');
  if (pos == std::string_view::npos) return out;
  ++pos;
  while (out.size() < 14 && pos <= record.size()) {
    const std::size_t comma = record.find(',', pos);
    const std::string piece =
        trim(record.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
    if (piece.empty()) out.push_back("0");
    else if (isNumeric(piece)) out.push_back(piece);
    else break;
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return out;
}

}  // namespace

std::string buildCopyRecord(Workspace& ws, int lastCopies) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  std::string pos = "Copy, " + fieldText(p, F::kZoneLeft, "0") + ", " + fieldText(p, F::kZoneTop, "0") +
                    ", " + fieldText(p, F::kFrameWidth, "202") + ", " +
                    fieldText(p, F::kFrameHeight, "289") + ", " + fieldText(p, F::kFrameLeft, "4") +
                    ", " + fieldText(p, F::kFrameTop, "4") + ", " + fieldText(p, F::kScale, "100") +
                    ", " + fieldText(p, F::kAngle, "0");
  std::string opt;
  const CopyValues v = readCopyValues(ws);
  if (v.scaleX != v.scale) opt += " ScaleX=" + fieldText(p, F::kScaleX, "100");
  if (v.scaleY != v.scale) opt += " ScaleY=" + fieldText(p, F::kScaleY, "100");
  if (p.check(Check::ChLand)) opt += " Land=1";
  if (p.chb(C::kFourInOne)) opt += " 4in1=" + std::to_string(clampv(st.quadrant, 0, 3) + 1);
  if (p.check(Check::Ch2in1)) {
    opt += " 2in1=1";
    if (v.middleOffset != 0 && !p.chb(C::kMiddleByPaper))
      opt += " Mid=\"" + quotable(fieldText(p, F::kMiddleOffset, "0")) + "\"";
  }
  if (p.check(Check::Ch2origin)) opt += " 2origin=1";
  if (p.check(Check::ChMirror)) opt += " Mirror=1";
  if (p.check(Check::Ch2of2)) opt += " 2of2=1";
  if (p.check(Check::ChBackRotat)) opt += " BackRotat=1";
  if (p.check(Check::ChPaste)) opt += " Paste=1";
  if (p.check(Check::ChForm)) opt += " Form=1";
  if (p.chb(C::kMaskOnCopy) && !p.held(Held::MaskPattern).empty())
    opt += " Mask=" + p.held(Held::MaskPattern);
  const bool multi = p.chb(C::kMultiCopy) && lastCopies > 1;
  if (multi) {
    opt += " MultiCopy=1";
    pos += ", " + fieldText(p, F::kAcross, "1") + ", " + fieldText(p, F::kDown, "1") + ", " +
           normalizeField(p.tn(F::kStepAcross)) + ", " + normalizeField(p.tn(F::kStepDown));
  }
  if (!isPageImageStandard(ws)) {
    const PaperSize s = standardPageImage(p);
    pos += ", " + fieldText(p, F::kPageWidth, ws.format(s.width).c_str()) + ", " +
           fieldText(p, F::kPageHeight, ws.format(s.height).c_str());
  }
  return opt.empty() ? pos : pos + "," + opt;
}

void applyCopyRecord(Workspace& ws, std::string_view recordText) {
  // The reader's key copies are rebuilt below from the record, which may be one of them
  // (the interpreter hands over its own key copy): read from a copy of our own.
  const std::string record(recordText);
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  FieldReader& r = ws.reader;
  const std::vector<std::string> fields = positionalFields(record);
  r.prepareKeys(record);
  auto flag = [&](const char* key) { r.prepareKeys(record); return r.getFlag(key) != 0; };
  auto value = [&](const char* key) { r.prepareKeys(record); return r.getKey(key); };
  {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChLand, flag("Land"));
    const std::string quad = value("4in1");
    const int quadValue = quad.empty() ? 0 : nearesti(parseNumber(quad, ws.prompts));
    st.quadrantValue = quadValue;
    p.setChb(C::kFourInOne, quadValue > 0);
    if (quadValue <= 0) st.quadrant = 0;
    p.setCheck(Check::Ch2in1, flag("2in1"));
    p.setCheck(Check::Ch2origin, flag("2origin"));
    p.setCheck(Check::ChMirror, flag("Mirror"));
    p.setCheck(Check::Ch2of2, flag("2of2"));
    p.setCheck(Check::ChBackRotat, flag("BackRotat"));
    p.setCheck(Check::ChPaste, flag("Paste"));
    p.setCheck(Check::ChForm, flag("Form"));
    p.setChb(C::kMultiCopy, flag("MultiCopy"));

    if (p.check(Check::Ch2in1) && !p.chb(C::kMiddleByPaper)) p.setTn(F::kMiddleOffset, value("Mid"));

    if (!st.maskLocked) {
      const std::string mask = value("Mask");
      if (!mask.empty()) {
        p.setChb(C::kMaskOnCopy, true);
        ws.setMaskPattern(mask);
      } else {
        const int bits = ws.image.loaded ? ws.image.bitmap.bits : ws.shared.bitDepth;
        if (bits == 1) p.setChb(C::kMaskOnCopy, false);
      }
    }

    auto field = [&](std::size_t k, const char* fallback) {
      return k < fields.size() ? fields[k] : std::string(fallback);
    };
    const bool multi = p.chb(C::kMultiCopy);
    if (!p.check(Check::ChForm)) {
      const PaperSize s = standardPageImage(p);
      const std::size_t first = multi ? 12 : 8;
      const std::string w = field(first, ws.format(s.width).c_str());
      const std::string h = field(first + 1, ws.format(s.height).c_str());
      if (w != p.tn(F::kPageWidth)) p.setTn(F::kPageWidth, w);
      if (h != p.tn(F::kPageHeight)) p.setTn(F::kPageHeight, h);
    }
    p.setTn(F::kZoneLeft, field(0, "0"));
    p.setTn(F::kZoneTop, field(1, "0"));
    p.setTn(F::kFrameWidth, field(2, "202"));
    p.setTn(F::kFrameHeight, field(3, "289"));
    p.setTn(F::kFrameLeft, field(4, "4"));
    p.setTn(F::kFrameTop, field(5, "4"));
    const std::string scale = field(6, "100");
    setScaleText(ws, scale);
    const std::string angle = field(7, "0");
    p.setTn(F::kAngle, ws.format(clampv(static_cast<double>(nearest(parseNumber(angle))), -5000.0, 5000.0)));
    const std::string sx = value("ScaleX");
    if (!sx.empty()) p.setTn(F::kScaleX, sx);
    const std::string sy = value("ScaleY");
    if (!sy.empty()) p.setTn(F::kScaleY, sy);
    if (multi) {
      p.setTn(F::kAcross, field(8, "1"));
      p.setTn(F::kDown, field(9, "1"));
      p.setTn(F::kStepAcross, field(10, ""));
      p.setTn(F::kStepDown, field(11, ""));
    }
  }
  normalizeCopyFrame(ws, true);
  refreshCopyEnables(ws);
  if (st.quadrantValue > 0) st.quadrant = clampv(st.quadrantValue - 1, 0, 3);
  ws.view->copyFrameChanged();
}

std::string copyAsIsRecord(bool landscape) {
  return landscape ? "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1" : "Copy, 0, 0, 202, 289, 4, 4, 100, 0";
}

bool copyAsIs(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  const bool batchWasRunning = st.batchRunning;
  {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChForm, false);
  }
  const std::string saved = buildCopyRecord(ws, st.copyCounter);
  const bool wasStandard = isPageImageStandard(ws);
  const bool landscape = p.check(Check::ChLand);
  applyCopyRecord(ws, copyAsIsRecord(landscape));
  st.copyAsIsRunning = true;
  const bool done = copyPage(ws);
  st.copyAsIsRunning = false;
  if (done) ws.journal->copiedAsIs(ws, landscape);
  if (wasStandard) applyCopyRecord(ws, saved);
  if (batchWasRunning) st.batchRunning = true;
  st.printEnabled = true;
  st.saveEnabled = true;
  return done;
}

}  // namespace quillaro
