#include "ops/batch_run.h"

#include <memory>

#include "base/control_numbers.h"
#include "base/files.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/copy_engine.h"
#include "ops/new_sheet.h"
#include "ops/open.h"

namespace quillaro {
namespace {

std::string planImagePath(Workspace& ws, const std::string& name) {
  return joinPath(ws.shared.folders[kFolderSaved], name);
}

// The page number of the current half: without a turned original the lower A5 takes slot 0
// and the upper A5 slot 1; with it, the other way round.
int currentPage(Workspace& ws) {
  const BatchState& b = batchState(ws);
  const bool turned = ws.params.chb(check::kOriginalTurned);
  const int slot = (b.half == 1) != turned ? 1 : 0;
  return b.plan.formPages[static_cast<std::size_t>(b.form)][static_cast<std::size_t>(slot)];
}

void showProgress(Workspace& ws) {
  const BatchState& b = batchState(ws);
  ws.progress->status("Спуск полос: форма " + std::to_string(b.form + 1) + " из " + std::to_string(b.plan.forms));
  ws.view->batchChanged(b.form + 1, b.plan.forms);
}

}  // namespace

BatchState& batchState(Workspace& ws) {
  if (!ws.batch) ws.batch = std::make_shared<BatchState>();
  return *ws.batch;
}

bool batchRunning(Workspace& ws) { return copyState(ws).batchRunning; }

bool batchDepthSettled(Workspace& ws) { return batchRunning(ws) && batchState(ws).depthSettled; }

std::string batchButtonCaption(Workspace& ws) {
  return batchRunning(ws) ? kBatchStopCaption : kBatchStartCaption;
}

PlanInput planInputFromPanel(Workspace& ws) {
  const ParamStore& p = ws.params;
  PlanInput in;
  in.first = p.tnValue(field::kFromPage);
  in.last = p.tnValue(field::kToPage);
  in.sheetsMode = p.chb(check::kCopybookNumbering);
  in.sheets = p.tnValue(field::kCopybookSheets);
  const bool a3 = p.check(Check::ChA3) || p.chb(check::kFourInOne);
  in.kind = !a3 ? PlanKind::A4 : p.chb(check::kFoldA3) ? PlanKind::A3TwoFolds : PlanKind::A3OneFold;
  return in;
}

std::string findScan(Workspace& ws, int page) {
  const BatchState& b = batchState(ws);
  const std::string& folder = ws.shared.folders[kFolderPictures];
  for (const std::string& name : {singlePageScanName(b.scanPrefix, page), twoPageScanName(b.scanPrefix, page)})
    if (fileExists(joinPath(folder, name))) return name;
  return {};
}

bool calculateAndStart(Workspace& ws) {
  ParamStore& p = ws.params;
  if (batchRunning(ws)) {
    stopBatch(ws);
    return false;
  }
  if (p.check(Check::ChLand)) {
    ws.prompts->message(kBatchLandscapeMessage);
    return false;
  }
  BatchState& b = batchState(ws);
  ImpositionPlan plan = makePlan(planInputFromPanel(ws));
  if (!plan.error.empty()) {
    ws.prompts->message(plan.error);
    return false;
  }
  if (plan.oneFoldWarning) ws.prompts->message(kOneFoldWarning, Icon::Information);
  b.plan = std::move(plan);
  b.planned = true;
  {
    ParamStore::QuietScope quiet(p);
    p.setTn(field::kFromPage, std::to_string(b.plan.first));
    p.setTn(field::kToPage, std::to_string(b.plan.last));
  }
  CopyState& cs = copyState(ws);
  cs.quadrant = 0;
  if (!p.chb(check::kFourInOne)) p.setCheck(Check::Ch2in1, true);

  int start = -1;
  for (std::size_t i = 0; i < b.plan.names.size() && start < 0; ++i)
    if (!fileExists(planImagePath(ws, b.plan.names[i]))) start = static_cast<int>(i);
  b.form = 0;
  b.half = 0;
  b.depthSettled = false;
  ws.view->batchChanged(0, b.plan.forms);
  if (start < 0) {
    ws.prompts->message(kBatchAllExistMessage, Icon::Information);
    return false;
  }
  b.form = start * b.plan.formsPerImage();
  // A sheet begun before the batch would take the batch's first page as its second half.
  if (b.plan.formsPerImage() == 2 && cs.a3State != 0) {
    cs.a3State = 0;
    ws.a3.release();
    p.setCaption(namedLabelId(NamedLabel::LabA4inA3), "");
  }
  p.setCheck(Check::Ch2of2, false);
  ws.image.fileName.clear();
  // The batch is recorded as its one line; its openings and copies are not.
  ws.journal->batchStarted(ws);
  b.recordingWas = ws.recorder.recordingAllowed;
  ws.recorder.recordingAllowed = false;
  cs.batchRunning = true;
  p.setChb(check::kAutoCopy, true);
  batchStep(ws);
  return true;
}

void stopBatch(Workspace& ws) {
  if (batchRunning(ws)) ws.recorder.recordingAllowed = batchState(ws).recordingWas;
  copyState(ws).batchRunning = false;
  openState(ws).autoCopyPending = false;
  ws.params.setChb(check::kAutoCopy, false);
  ws.params.setCaption(namedLabelId(NamedLabel::ComCopy), kCopyButtonCopy);
  const BatchState& b = batchState(ws);
  ws.view->batchChanged(b.form + 1, b.plan.forms);
}

void batchStep(Workspace& ws) {
  if (!batchRunning(ws)) return;
  ParamStore& p = ws.params;
  BatchState& b = batchState(ws);
  if (p.check(Check::ChLand)) p.setCheck(Check::ChLand, false);
  p.setCheck(Check::Ch2of2, b.half == 1);
  showProgress(ws);
  // The finished page image is saved under the plan's name (an opening sets its own).
  const std::string saveName = b.plan.names[static_cast<std::size_t>(b.plan.imageOfForm(b.form))];

  const int page = currentPage(ws);
  const std::string scan = findScan(ws, page);
  if (!scan.empty()) {
    if (!openByName(ws, scan)) {
      stopBatch(ws);  // the opening told why
      return;
    }
    b.depthSettled = true;
    p.setHeld(Held::TextFileName, saveName);
    return;
  }
  const std::string question = "Файлы " + singlePageScanName(b.scanPrefix, page) + ", " +
                               twoPageScanName(b.scanPrefix, page) + " не существуют, создать пустой A5 ?";
  // No stops the batch: the scan can be added and the next start resumes at this page.
  if (ws.prompts->ask(question, Buttons::YesNo, Icon::Question, Answer::Yes) != Answer::Yes) {
    stopBatch(ws);
    return;
  }
  const int index = kSheetA5 | (ws.shared.bitDepth == 8 ? kSheetGrey : 0);
  ws.actions.newSheetIndex = -1;  // a blank made for an earlier half is made again
  if (!newSheet(ws, index, false)) {
    stopBatch(ws);
    return;
  }
  p.setHeld(Held::TextFileName, saveName);
  awaitAutomaticCopy(ws);
}

void batchAfterCopy(Workspace& ws) {
  if (!batchRunning(ws)) return;
  BatchState& b = batchState(ws);
  if (b.half == 0) {
    b.half = 1;
  } else {
    b.half = 0;
    ++b.form;
    // The batch makes only the page images whose files are missing.
    const int per = b.plan.formsPerImage();
    while (b.form < b.plan.forms && b.form % per == 0 &&
           fileExists(planImagePath(ws, b.plan.names[static_cast<std::size_t>(b.plan.imageOfForm(b.form))])))
      b.form += per;
  }
  if (b.form >= b.plan.forms) {
    stopBatch(ws);
    ws.progress->status("Спуск полос выполнен");
    return;
  }
  batchStep(ws);
}

bool runBatchLine(Workspace& ws) {
  ParamStore& p = ws.params;
  {
    ParamStore::QuietScope quiet(p);
    p.setChb(check::kToA3After, p.check(Check::ChA3) || p.chb(check::kFourInOne));
    p.setChb(check::kSaveAfter, true);
    p.setChb(check::kOpenAfterSave, false);
  }
  if (!calculateAndStart(ws)) return false;
  OpenState& st = openState(ws);
  while (batchRunning(ws)) {
    if (ws.progress->pump()) {
      stopBatch(ws);
      break;
    }
    st.autoCopyPending = true;
    // The copy ends with the next batch step; a copy refused stops the run.
    if (!runAutomaticCopy(ws)) stopBatch(ws);
  }
  return true;
}

}  // namespace quillaro
