#include "ops/a3_sheet.h"

#include <algorithm>

#include "base/numeric.h"
#include "model/param_store.h"
#include "base/tables.h"
#include "model/workspace.h"
#include "ops/copy_engine.h"
#include "model/copy_state.h"
#include "ops/save.h"

namespace quillaro {
namespace {

namespace C = check;

void showProgress(Workspace& ws, const char* what, int r, int height) {
  if (r % 32 != 0 || r == 0) return;
  const int pct = static_cast<int>(static_cast<double>(r) / height * 100.0);
  ws.progress->status(std::string(what) + " " + std::to_string(pct) + " %");
  ws.progress->pump();
}

void setCaption(Workspace& ws, int state) {
  ws.params.setCaption(namedLabelId(NamedLabel::LabA4inA3), a3Caption(state));
}

void firstPage(Workspace& ws) {
  CopyState& st = copyState(ws);
  const Bitmap& page = ws.page;
  const bool turned = ws.params.chb(C::kA4InA3Turned);
  st.a3Dpi = st.pageDpi != 0 ? st.pageDpi : ws.shared.resolution;
  st.a3HalfWidth = page.width;
  st.a3Gap = nearesti(2.0 * static_cast<double>(ws.shared.printerMarginDots));
  ws.progress->status("Создание массива A3");
  ws.progress->pump();
  Bitmap sheet = Bitmap::create(2 * page.width + st.a3Gap, page.height, page.bits);
  if (sheet.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.", Icon::Stop);
    return;
  }
  const int half = page.width;
  const int h = page.height;
  const bool byteCopy = !(page.bits == 1 && turned && !ws.params.chb(C::kByBytes) && page.width % 8 >= 2);
  const auto& rev = tables().bitReverse;
  for (int r = 0; r < h; ++r) {
    const std::uint8_t* src = page.row(r);
    std::uint8_t* dst = sheet.row(turned ? h - 1 - r : r);
    if (byteCopy) {
      for (int k = 0; k < page.rowBytes; ++k) {
        const std::uint8_t b = src[k];
        if (b == 255) continue;
        if (!turned) dst[k] = b;
        else if (page.bits == 1) dst[page.rowBytes - 1 - k] = rev[b];
        else dst[page.rowBytes - 1 - k] = b;
      }
    } else {
      for (int x = 0; x < page.width; ++x)
        if (!bitIsWhite(src, x)) setBitWhite(dst, half - 1 - x, false);
    }
    showProgress(ws, "1-й A4", r, h);
  }
  ws.a3 = std::move(sheet);
  st.freshCopy = false;
  st.a3State = 1;
  ws.journal->toA3Half(ws, 1);
}

void secondPage(Workspace& ws) {
  CopyState& st = copyState(ws);
  const Bitmap& page = ws.page;
  Bitmap& sheet = ws.a3;
  const int w = std::min(page.width, st.a3HalfWidth);
  const int h = std::min(page.height, sheet.height);
  const int x0 = w + st.a3Gap;
  for (int r = 0; r < h; ++r) {
    const std::uint8_t* src = page.row(r);
    std::uint8_t* dst = sheet.row(r);
    if (page.bits == 1) {
      if (x0 % 8 >= 2) {
        for (int x = 0; x < w && x0 + x < sheet.width; ++x)
          if (!bitIsWhite(src, x)) setBitWhite(dst, x0 + x, false);
      } else {
        const int n = std::min((w + 7) / 8, sheet.rowBytes - x0 / 8);
        std::copy(src, src + std::max(0, n), dst + x0 / 8);
      }
    } else {
      const int n = std::min(w, sheet.width - x0);
      std::copy(src, src + std::max(0, n), dst + x0);
    }
    showProgress(ws, "2-й A4", r, h);
  }
  // The fresh-copy flag stays: the full sheet on view is what printing takes.
  st.a3State = 2;
  ws.journal->toA3Half(ws, 2);
  st.saveEnabled = true;
  if (ws.params.chb(C::kSaveAfter)) savePanel(ws);
}

}  // namespace

std::string a3Caption(int state) { return state == 0 ? std::string() : std::to_string(state) + " A4 в A3"; }

std::string a3DepthMessage(Workspace& ws, int pictureBits, int pageBits) {
  const CopyState& st = copyState(ws);
  if (st.a3State != 1 || !ws.params.check(Check::ChA3)) return {};
  const std::string& br = ws.shared.lineBreak;
  const int sheetBits = ws.a3.bits;
  if (sheetBits == 1 && pageBits == 8)
    return "В буфере A3 чёрно-белый 1-битный рисунок." + br + "Второй рисунок A4 должен быть таким же, а не серым 8-бит.";
  if (sheetBits == 8 && pageBits == 1)
    return "В буфере A3 8-битный рисунок." + br + "Второй рисунок A4 должен быть таким же, а не чёрно-белым 1-бит.";
  if (pictureBits != pageBits) return "Несовпадение количества цветовых битов.";
  return {};
}

std::string a3ResolutionMessage(Workspace& ws, int dpi) {
  const CopyState& st = copyState(ws);
  if (st.a3State != 1 || !ws.params.check(Check::ChA3) || st.a3Dpi == dpi) return {};
  const std::string& br = ws.shared.lineBreak;
  if (st.a3Dpi == 1200)
    return "В буфере A3 рисунок 1200 dpi." + br + "Второй рисунок A4 должен быть таким же, а не 600 dpi.";
  return "В буфере A3 рисунок 600 dpi." + br + "Второй рисунок A4 должен быть таким же, а не 1200 dpi.";
}

bool toA3(Workspace& ws) {
  CopyState& st = copyState(ws);
  if (ws.page.bits == 24) return false;
  const int pictureBits = ws.image.loaded ? ws.image.bitmap.bits : ws.page.bits;
  std::string m = a3DepthMessage(ws, pictureBits, ws.page.bits);
  if (m.empty()) m = a3ResolutionMessage(ws, st.pageDpi != 0 ? st.pageDpi : ws.shared.resolution);
  if (!m.empty()) {
    ws.prompts->message(m);
    return false;
  }
  if (!st.freshCopy || ws.page.empty()) {
    if (st.a3State == 1 && !ws.page.empty()) {
      if (ws.params.chb(C::kRemind) &&
          ws.prompts->ask("Новый рисунок не копировался." + ws.shared.lineBreak +
                              "Скопировать во вторую половину A3 тот же A4 ?",
                          Buttons::YesNo, Icon::Question, Answer::Yes) == Answer::No)
        return false;
      st.freshCopy = true;
    } else {
      ws.prompts->message("Новый рисунок не копировался.");
      return false;
    }
  }
  bool done = false;
  if (st.a3State == 2) {
    ws.prompts->message("A3 заполнен");
  } else if (st.a3State == 0) {
    firstPage(ws);
    done = st.a3State == 1;
  } else {
    if (ws.page.bits != ws.a3.bits) {
      ws.prompts->message("Несовпадение количества цветовых битов.");
    } else {
      secondPage(ws);
      done = true;
    }
  }
  setCaption(ws, st.a3State);
  ws.progress->status("");
  return done;
}

void selectA3Half(Workspace& ws, int half) {
  CopyState& st = copyState(ws);
  if (half == 1) {
    if (st.a3State != 0) eraseA3(ws);
    return;
  }
  if (half != 2 || st.a3State != 2 || ws.a3.empty()) return;
  // Everything right of the first page's bytes (the gap and the second page) turns white,
  // so that the next page replaces the old one instead of mixing with it.
  Bitmap& sheet = ws.a3;
  const int from = std::min(sheet.rowBytes, sheet.bits == 1 ? (st.a3HalfWidth + 7) / 8 : st.a3HalfWidth);
  for (int r = 0; r < sheet.height; ++r) std::fill(sheet.row(r) + from, sheet.row(r) + sheet.rowBytes, 255);
  st.a3State = 1;
  setCaption(ws, 1);
}

bool eraseA3(Workspace& ws) {
  CopyState& st = copyState(ws);
  if (ws.params.chb(C::kRemind) &&
      ws.prompts->ask("Стереть A3 ?", Buttons::YesNo, Icon::Question, Answer::Yes) == Answer::No)
    return false;
  st.a3State = 0;
  ws.a3.release();
  setCaption(ws, 0);
  return true;
}

bool checkComposition(Workspace& ws, const std::string& verb, int newBits, int newDpi) {
  CopyState& st = copyState(ws);
  const std::string depth = copyDepthMessage(ws, newBits, verb);
  if (!depth.empty()) {
    if (ws.prompts->ask(depth, Buttons::OkCancel, Icon::Stop, Answer::Ok) != Answer::Ok) return false;
    // The copy is given up: the next copy begins a new page.
    ws.page.release();
    st.pageDpi = 0;
    st.freshCopy = false;
    st.copyMade = false;
    ws.shared.copySaved = true;
  }
  std::string m = a3DepthMessage(ws, newBits, newBits);
  if (m.empty()) m = copyResolutionMessage(ws, newDpi);
  if (m.empty()) m = a3ResolutionMessage(ws, newDpi);
  if (!m.empty()) {
    ws.prompts->message(m, Icon::Stop);
    return false;
  }
  return true;
}

}  // namespace quillaro
