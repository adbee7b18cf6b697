#include "ops/open.h"

#include "ops/print.h"
#include "ops/picture_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "base/fields.h"
#include "kernels/to1bit.h"
#include "kernels/tone.h"
#include "base/files.h"
#include "base/numeric.h"
#include "base/text_codec.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/batch_run.h"
#include "ops/colour_scan.h"
#include "ops/copy_engine.h"
#include "model/copy_state.h"
#include "image/bmp_file.h"
#include "ops/new_sheet.h"

namespace quillaro {
namespace {

// Clears the busy flag on every way out of an opening.
class BusyScope {
public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
private:
  bool& flag_;
};

void refreshViews(Workspace& ws) { ws.view->pictureChanged(); }

// A text number to an integer by the number reader, held inside the int range.
int intFromText(const std::string& text) {
  return nearesti(clampv(parseNumber(text), -1e9, 1e9));
}

// The tone settings of one opening.
struct OpenTone {
  bool to1bit = false;     // the threshold is the value used
  int threshold = 140;
  int brightness = 0;
  float contrast = 1.0f;
  bool correction = false;
  ToneMap map = identityToneMap();
  long long usedValue() const { return to1bit ? threshold : brightness; }
};

// The tone of an opening. A colour file kept in colour is not converted even with
// open-as-1-bit on: it gets the tone map and the brightness, as a grey file would.
OpenTone toneFor(const Workspace& ws, bool keptInColour) {
  const ParamStore& p = ws.params;
  OpenTone t;
  t.to1bit = p.chb(check::kOpenAs1Bit) && !keptInColour;
  if (t.to1bit) {
    t.threshold = intFromText(p.held(Held::Threshold));
    return t;  // no tone map on the way to 1 bit
  }
  t.brightness = intFromText(p.held(Held::Brightness));
  t.contrast = static_cast<float>(p.tnValue(field::kContrast));
  t.correction = p.chb(check::kToneOnOpen) && !toneIsOff(t.contrast, t.brightness);
  if (t.correction)
    t.map = makeToneMap(t.contrast, t.brightness, p.chb(check::kCorrectBlack), p.chb(check::kCorrectWhite));
  return t;
}

// Reads the file into the picture (steps up to the pixels); false on any refusal, with the
// previous picture and depth untouched.
bool readAndTake(Workspace& ws, const std::string& path, const std::string& fileName) {
  ParamStore& p = ws.params;
  OpenState& st = openState(ws);
  Prompts* shown = ws.shared.messageSwitch ? ws.prompts : nullptr;

  if (pictureChangedStop(ws)) return false;
  const std::string saveName = saveNameFor(fileName, p.chb(check::kAddToFileName), p.ttb(1));

  const BitmapProbe probe = probeBitmap(path, shown);
  if (!probe.ok()) return false;
  const int fileBits = probe.info.bits;
  // "Авто - узнавать цвет": the sample decides whether a colour file stays in colour; in a
  // batch the first scan decides for the whole copybook, so that its halves match.
  if (fileBits == 24 && p.chb(check::kAutoColour) && !batchDepthSettled(ws)) {
    ParamStore::QuietScope quiet(p);
    p.setChb(check::kKeepColour, fileHasRealColour(path));
  }
  const bool to1 = p.chb(check::kOpenAs1Bit);
  const bool keep = p.chb(check::kKeepColour);
  // The depth of the result. A colour file kept in colour stays 24-bit even with
  // open-as-1-bit on, and the composition is checked against that depth.
  const int bits = fileBits == 1 ? 1 : fileBits == 24 && keep ? 24 : to1 ? 1 : 8;
  if (!checkComposition(ws, "открыть", bits, ws.shared.resolution)) return false;
  if (const std::string small = tooSmallMessage(probe.info); !small.empty()) {
    if (shown) shown->message(small);
    return false;
  }

  const std::string oldSaveName = p.held(Held::TextFileName);
  p.setHeld(Held::TextFileName, saveName);
  ws.progress->status("Открытие " + std::to_string(probe.info.pixelBytes / 1048576) + " MB");
  ws.progress->pump();

  OpenTone tone = toneFor(ws, bits == 24);
  if (fileBits == 1) tone.correction = false;
  const GreyReduction mode = p.chb(check::kReadRgb) ? GreyReduction::Weighted : GreyReduction::Green;

  ReadOptions options;
  options.progress = ws.progress;
  if (fileBits == 24 && bits != 24) {
    options.colour = ColourMode::Reduce;
    options.reducedBits = bits;
    if (bits == 1) {
      const int t = tone.threshold;
      options.convertRow = [mode, t](const std::uint8_t* bgr, int width, std::uint8_t* out) {
        bitRowFrom24(bgr, width, out, mode, t);
      };
    } else {
      const ToneMap* map = &tone.map;
      options.convertRow = [mode, map](const std::uint8_t* bgr, int width, std::uint8_t* out) {
        greyRowFrom24(bgr, width, out, mode, *map);
      };
    }
  }
  if (fileBits == 8 && tone.correction) options.byteMap = tone.map.grey.data();

  ReadResult r = readBitmap(path, options, shown);
  auto giveUp = [&] {
    p.setHeld(Held::TextFileName, oldSaveName);
    ws.progress->status("");
    return false;
  };
  if (!r.ok()) return giveUp();
  if (fileBits == 24 && bits == 24 && tone.correction) applyTone(r.image.bitmap, tone.map);
  if (fileBits == 8 && bits == 1) {
    Bitmap converted = to1bit(r.image.bitmap, tone.threshold);
    if (converted.empty()) {
      if (shown) shown->message("Не хватает памяти для рисунка.");
      return giveUp();
    }
    r.image.bitmap = std::move(converted);
  }

  ws.progress->status(utf8Length(path) >= 25 ? fileName : path);
  // The new picture replaces the old one; the opening is still in progress.
  r.image.busy = true;
  r.image.path = path;
  r.image.lastPath = path;
  ws.image = std::move(r.image);
  ws.shared.bitDepth = bits;
  matchPageToDepth(ws);
  ws.progress->pump();
  ws.image.loaded = true;

  if (!p.chb(check::kKeepAngle) && !ws.readingMode) p.setTn(field::kAngle, "0");
  CopyState& cs = copyState(ws);
  if (!cs.copyMade) p.setCheck(Check::Ch2of2, false);

  st.saveName = saveName;
  st.pageParity = pageParityOf(fileName);
  restoreRememberedZone(ws);
  if (p.chb(check::kTwoSides) && !p.check(Check::Ch2in1)) {
    applyParityFrame(ws, st.pageParity);
  } else if (!ws.readingMode && !st.followUpsDue) {
    refreshViews(ws);
  }

  p.setCheck(Check::ChSelSize, false);
  refreshSizeLabels(ws);
  ws.image.modified = 0;
  clearEditLists(ws);

  if (p.chb(check::kLoadOpened)) {
    loadForPrint(ws, path);
    cs.printEnabled = true;
  }
  ws.journal->opened(ws, path, fileBits, tone.correction, tone.usedValue());
  return true;
}

// The copy line recorded after this file's Open line is applied.
void applyCopyLineFor(Workspace& ws, const std::string& fileName) {
  ParamStore& p = ws.params;
  if (!p.chb(check::kFindCopyLine)) return;
  const std::string& program = p.tz(text::kProgram);
  const std::size_t at =
      findCopyLineFor(program, fileName, p.check(Check::Ch2origin), p.check(Check::Ch2of2));
  if (at == std::string::npos) return;
  const std::size_t cursor = utf8Length(std::string_view(program).substr(0, at));
  p.setTzCursor(text::kProgram, cursor);
  ws.automation->readCommandAt(ws, cursor);
}

}  // namespace

void awaitAutomaticCopy(Workspace& ws) {
  if (ws.actions.runDepth > 0 || !ws.params.chb(check::kAutoCopy)) return;
  OpenState& st = openState(ws);
  st.autoCopyPending = true;
  ws.params.setCaption(namedLabelId(NamedLabel::ComCopy), "Стоп");
  ws.view->automaticCopyWaiting();
}

OpenState& openState(Workspace& ws) {
  if (!ws.openState) ws.openState = std::make_shared<OpenState>();
  return *ws.openState;
}

bool openPicture(Workspace& ws, const std::string& path) {
  ImageBuffer& img = ws.image;
  if (path.empty() || img.busy) return false;
  BusyScope busy(img.busy);
  img.path = path;
  ws.params.setCaption(ControlId{Ctl::Lab, 51}, "");
  const std::string fileName = bitmapFileName(path);
  if (!fileExists(path)) {
    if (ws.shared.messageSwitch) ws.prompts->message("Нет файла " + path);
    return false;
  }
  const bool unchanged = img.loaded && !img.bitmap.empty() && path == img.lastPath &&
                         fileTimeOf(path) == img.fileTime && img.modified == 0;
  if (unchanged) refreshViews(ws);
  else if (!readAndTake(ws, path, fileName)) return false;
  applyCopyLineFor(ws, fileName);
  awaitAutomaticCopy(ws);
  return true;
}

bool openByName(Workspace& ws, const std::string& name) {
  OpenState& st = openState(ws);
  if (name.empty() || st.byNameInProgress) return false;
  st.byNameInProgress = true;
  ParamStore& p = ws.params;
  const std::string path = joinPath(ws.shared.folders[kFolderPictures], name);
  const long long number = std::max(0LL, trailingNumber(name));
  const int page = static_cast<int>(std::min<long long>(number, 1000000000));
  const std::string actions = perPageActionText(ws, page, /*emptyForZero=*/false);
  const int quadrant = copyState(ws).quadrant;
  const bool turnOver = (quadrant == 0 || quadrant == 1) && p.chb(check::kA4InA3Turned) && p.chb(check::kFourInOne);
  const bool densityPlus = p.chb(check::kDensityPlusOnOpen);
  const bool followUps = !actions.empty() || turnOver || densityPlus;

  st.followUpsDue = followUps;
  const bool opened = openPicture(ws, path);
  st.followUpsDue = false;
  if (opened) {
    if (!actions.empty()) ws.automation->runText(ws, actions);
    if (turnOver) turnPictureOver(ws);
    if (densityPlus) {
      const auto& scale = ws.shared.scale;
      const double w = scale[0] != 0 ? p.tnValue(field::kFrameWidth) / scale[0] : 0.0;
      const double h = scale[1] != 0 ? p.tnValue(field::kFrameHeight) / scale[1] : 0.0;
      const std::string line = "DenseThin, " + normalizeField(p.tn(field::kZoneLeft)) + ", " +
                               normalizeField(p.tn(field::kZoneTop)) + ", " + ws.format(w) + ", " + ws.format(h) +
                               ", W=" + normalizeField(p.tn(field::kDensityWidth)) + ", Plus=1";
      ws.automation->runText(ws, line);
    }
    if (followUps && !turnOver) {
      ws.view->copyFrameChanged();
    }
  }
  st.byNameInProgress = false;
  return opened;
}

std::string saveNameFor(std::string_view fileName, bool addSuffix, std::string_view suffix) {
  if (!addSuffix) return std::string(fileName);
  // The last 4 characters (".bmp") give way to the suffix.
  const std::size_t cut = utf8OffsetFromEnd(fileName, 4);
  return std::string(fileName.substr(0, cut)) + std::string(suffix) + ".bmp";
}

long long trailingNumber(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name = name.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  std::size_t b = name.size();
  while (b > 0 && std::isdigit(static_cast<unsigned char>(name[b - 1]))) --b;
  if (b == name.size()) return -1;
  std::string_view digits = name.substr(b);
  if (digits.size() > 15) digits = digits.substr(digits.size() - 15);  // parity is kept
  long long n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

int pageParityOf(std::string_view name) {
  const long long n = trailingNumber(name);
  if (n < 0) return 0;
  return n % 2 == 1 ? 1 : 2;
}

std::string sizeLabel(char axis, int dots, double dotsPerMm) {
  const long long mm = dotsPerMm > 0 ? dotsToMm(dots, dotsPerMm) : 0;
  return std::string(" ") + axis + " = " + std::to_string(mm) + " :  " + std::to_string(dots);
}

void refreshSizeLabels(Workspace& ws) {
  OpenState& st = openState(ws);
  const Bitmap& pic = ws.image.bitmap;
  st.sizeX = sizeLabel('X', pic.width, ws.shared.dotsPerMm);
  st.sizeY = sizeLabel('Y', pic.height, ws.shared.dotsPerMm);
  ws.view->sizeLabelsChanged();
}

void clearEditLists(Workspace& ws) {
  ws.view->editListsCleared();
  undoClear(ws);
}

void matchPageToDepth(Workspace& ws) {
  const int bits = ws.shared.bitDepth;
  if (ws.page.empty() || ws.page.bits == bits) return;
  ws.page = Bitmap::create(ws.page.width, ws.page.height, bits);
}

std::string perPageActionText(const Workspace& ws, int pageNumber, bool emptyForZero) {
  const ParamStore& p = ws.params;
  bool flag = p.check(Check::Ch2in1) ? p.check(Check::Ch2of2) : pageNumber % 2 == 1;
  if (p.check(Check::ChBackRotat)) flag = !flag;
  std::string text = flag ? p.tz(text::kOddPageActions) : p.tz(text::kEvenPageActions);
  const std::string number = pageNumber == 0 && emptyForZero ? std::string() : std::to_string(pageNumber);
  for (std::size_t at = text.find("N##"); at != std::string::npos; at = text.find("N##", at + number.size()))
    text.replace(at, 3, number);
  return text;
}

std::size_t findCopyLineFor(std::string_view program, std::string_view fileName, bool twoOrigins, bool upper) {
  if (fileName.empty()) return std::string_view::npos;
  const std::string up = upperUtf8(program);
  const std::size_t at = up.find(upperUtf8(fileName));
  if (at == std::string::npos) return std::string_view::npos;
  std::size_t end = program.find("\r\nOpen", at);
  if (end == std::string_view::npos) end = program.size();
  const std::string_view segment = program.substr(0, end);
  std::size_t from = at;
  for (int tries = 0; tries < 2; ++tries) {
    const std::size_t mark = segment.find("\r\nCopy", from);
    if (mark == std::string_view::npos) return std::string_view::npos;
    const std::size_t start = mark + 2;
    std::size_t stop = segment.find("\r\n", start);
    if (stop == std::string_view::npos) stop = segment.size();
    const std::string_view line = segment.substr(start, stop - start);
    const bool marked = line.find("2of2=1") != std::string_view::npos;
    if (!twoOrigins || marked == upper) return start;
    from = stop;
  }
  return std::string_view::npos;
}

}  // namespace quillaro
