#pragma once
// A workspace with the copy handling registered and a picture loaded, for the copy tests.
#include <memory>
#include <string>

#include "automation/composition.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/copy_params.h"
#include "model/copy_state.h"
#include "image/bitmap.h"
#include "ops/save.h"
#include "support/scripted_prompts.h"

namespace quillaro::testing {

struct CopyFixture {
  ScriptedPrompts prompts;
  std::unique_ptr<Workspace> ws;

  CopyFixture() {
    ws = std::make_unique<Workspace>(&prompts);
    connectWorkspace(*ws);
    ws->params.setChb(30, false);  // nothing recorded unless a test asks
  }
  ParamStore& p() { return ws->params; }
  CopyState& st() { return copyState(*ws); }

  void load(Bitmap pic, const std::string& name = "scan.bmp") {
    ws->shared.bitDepth = pic.bits;
    ws->image.bitmap = std::move(pic);
    ws->image.loaded = true;
    ws->image.fileName = name;
    ws->image.path = name;
  }
  void frame(double left, double top, double width, double height) {
    ParamStore::QuietScope quiet(p());
    p().setTn(copyfield::kFrameLeft, ws->format(left));
    p().setTn(copyfield::kFrameTop, ws->format(top));
    p().setTn(copyfield::kFrameWidth, ws->format(width));
    p().setTn(copyfield::kFrameHeight, ws->format(height));
  }
};

// A 1-bit picture, white with a black block at (x, y, w, h).
inline Bitmap blockPicture(int width, int height, int bits, int x, int y, int w, int h) {
  Bitmap b = Bitmap::create(width, height, bits);
  for (int r = y; r < y + h; ++r)
    for (int c = x; c < x + w; ++c) {
      if (bits == 1) b.setWhite(c, r, false);
      else if (bits == 8) b.setGrey(c, r, 0);
      else b.setRgb(c, r, {0, 0, 0});
    }
  return b;
}

}  // namespace quillaro::testing
