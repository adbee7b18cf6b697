#pragma once
// The imposition batch: plans a copybook (ops/imposition_plan.h) from the automation panel
// and runs it through the automation chain of the copy: each batch step opens the scan of
// the next half of the current form, the automatic copy copies it into its A5 half, and the
// copy's follow-ups put the finished page into the A3 sheet, save it under the plan's name
// and print it; the copy then calls the next batch step. In the window the start-up timer
// starts each automatic copy; a program line ("Batch", runBatchLine) runs the same chain
// to its end without the timer.
#include <string>

#include "ops/imposition_plan.h"
#include "ops/rename_scans.h"

namespace quillaro {

class Workspace;

struct BatchState {
  ImpositionPlan plan;     // stays after the run until the next calculation
  int form = 0;            // the current form
  int half = 0;            // 0: the lower A5 of the form is next, 1: the upper A5
  bool planned = false;    // a plan exists (the plan view shows it)
  bool depthSettled = false;
  bool recordingWas = true;   // the recorder's state before the run  // the first scan of the run decided colour or grey
  std::string scanPrefix;  // the common name part of the scans ("Префикс сканов")
  RenameRecord renamed;    // the last renaming, for its undo
};

BatchState& batchState(Workspace& ws);

// Captions of BTN 1.
inline constexpr const char* kBatchStartCaption = "Рассчитать и запустить";
inline constexpr const char* kBatchStopCaption = "Остановить спуск";
inline constexpr const char* kBatchLandscapeMessage = "Спуск полос выполняется только в книжной ориентации A4.";
inline constexpr const char* kBatchAllExistMessage = "Все файлы с именами копий существуют.";

bool batchRunning(Workspace& ws);
// While the batch runs, the colour scan runs for its first scan only.
bool batchDepthSettled(Workspace& ws);
// The caption BTN 1 shows now.
std::string batchButtonCaption(Workspace& ws);

// The plan input read from the panel: first and last page, sheets mode and sheets, and the
// plan kind (A3 plans with ChA3 or "4 в 1", two folds with "2 сгиба A3").
PlanInput planInputFromPanel(Workspace& ws);

// BTN 1: while the batch runs it stops it; otherwise it plans (landscape refused, the
// one-fold warning shown), starts at the first page image whose file is missing from the
// folder for saved files and runs the first batch step. True when a batch was started.
bool calculateAndStart(Workspace& ws);

// Stops the batch: not running, "Автоматически копировать," off, a waiting automatic copy
// dropped, BTN 1 and the copy button back to their idle captions.
void stopBatch(Workspace& ws);

// Opens the scan of the current half (the missing-source question may make a blank A5
// instead) and lets the automatic copy follow. Nothing when the batch does not run.
void batchStep(Workspace& ws);

// Called by the copy when it ends while the batch runs: moves to the other half or the
// next form and runs its step; the batch stops after the last form.
void batchAfterCopy(Workspace& ws);

// The program line "Batch": the panel was set from the line; the chain's options are set
// for the run (automatic copy, A3 for the A3 plans, saving; printing with Print=1) and
// the batch runs to its end (printing as "печатать" is set), each automatic copy started at once. False when nothing ran.
bool runBatchLine(Workspace& ws);

// The name of the source scan of `page` in the picture folder: the single-page scan, else
// the two-page scan; empty when neither exists.
std::string findScan(Workspace& ws, int page);

}  // namespace quillaro
