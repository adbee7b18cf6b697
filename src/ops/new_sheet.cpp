#include "ops/new_sheet.h"

#include <cstdint>
#include <utility>

#include "ops/a3_sheet.h"
#include "model/workspace.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

void put32(std::vector<std::uint8_t>& h, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) h[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool isLastSheet(const Workspace& ws, int index) {
  return ws.image.loaded && ws.actions.newSheetIndex == index && ws.image.bitmap.data() != nullptr &&
         ws.actions.newSheetPixels == ws.image.bitmap.data();
}

}  // namespace

SheetSize sheetSize(int index, int resolution) {
  SheetSize s = (index & kSheetA5) ? SheetSize{3508, 4960} : SheetSize{4960, 7016};
  if (index & kSheetLandscape) std::swap(s.width, s.height);
  if (resolution == 1200) {
    s.width *= 2;
    s.height *= 2;
  }
  return s;
}

bool pictureChangedStop(Workspace& ws) {
  if (ws.params.chb(check::kRecordActions) || !ws.shared.messageSwitch || ws.image.modified == 0 ||
      !ws.params.chb(check::kRemind))
    return false;
  return ws.prompts->ask("Рисунок был изменён, не сохранять ?", Buttons::YesNo, Icon::Question,
                         Answer::No) == Answer::No;
}

bool newSheet(Workspace& ws, int index, bool byProgram) {
  index &= kSheetLandscape | kSheetA5 | kSheetGrey;
  ImageBuffer& image = ws.image;
  if (image.loaded && image.bitmap.bits == 24) return false;
  if (isLastSheet(ws, index)) {
    if (image.modified == 0) return false;
    if (pictureChangedStop(ws)) return false;
  } else {
    if (pictureChangedStop(ws)) return false;
    const int newBits = (index & kSheetGrey) ? 8 : 1;
    if (!checkComposition(ws, "создать", newBits, ws.shared.resolution == 1200 ? 1200 : 600)) return false;
  }

  const int resolution = ws.shared.resolution == 1200 ? 1200 : 600;
  const SheetSize size = sheetSize(index, resolution);
  const int bits = (index & kSheetGrey) ? 8 : 1;
  Bitmap sheet = Bitmap::create(size.width, size.height, bits);
  if (sheet.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка." + ws.shared.lineBreak + "Этот - " +
                            std::to_string(size.width) + " x " + std::to_string(size.height),
                        Icon::Stop);
    return false;
  }

  image.fileName.clear();
  ws.params.setHeld(Held::TextFileName, "");
  const std::int32_t ppm = resolution == 1200 ? kPixelsPerMetre1200 : kPixelsPerMetre600;
  buildHeaderTemplate(image.header, bits);
  const std::size_t headerSize = image.header.size();
  put32(image.header, 2, static_cast<std::uint32_t>(headerSize + sheet.byteCount()));
  put32(image.header, 18, static_cast<std::uint32_t>(sheet.width));
  put32(image.header, 22, static_cast<std::uint32_t>(sheet.height));
  put32(image.header, 34, static_cast<std::uint32_t>(sheet.byteCount()));
  put32(image.header, 38, static_cast<std::uint32_t>(ppm));
  put32(image.header, 42, static_cast<std::uint32_t>(ppm));
  image.xPixelsPerMetre = ppm;
  image.yPixelsPerMetre = ppm;
  image.bitmap = std::move(sheet);
  image.lastPath.clear();
  image.fileTime = 0;
  image.loaded = true;
  image.modified = 0;
  ws.shared.bitDepth = bits;
  ws.actions.newSheetIndex = index;
  ws.actions.newSheetPixels = image.bitmap.data();
  ws.view->pictureChanged();

  if (!byProgram) ws.journal->newSheet(ws, index);
  return true;
}


}  // namespace quillaro
