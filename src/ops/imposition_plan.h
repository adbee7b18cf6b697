#pragma once
// Imposition of a copybook: which two page numbers go onto each form (one A4 page image
// holding two A5 pages), in which order the forms are printed, and the file name of every
// page image (a form in the A4 plan, a pair of forms on one A3 sheet side in the A3 plans).
// Pure functions over numbers; the batch run (ops/batch_run.h) uses them.
#include <array>
#include <string>
#include <vector>

namespace quillaro {

enum class PlanKind {
  A4,          // one A4 form per page image, sheets nested into one booklet
  A3OneFold,   // two A4 forms per A3 side, the two halves printed as two booklets
  A3TwoFolds,  // two A4 forms per A3 side, the A3 sheet folded twice ("2 сгиба A3")
};

struct PlanInput {
  double first = 1;          // "Страницы от"
  double last = 40;          // "до" (page range mode)
  bool sheetsMode = false;   // "листов в тетради"
  double sheets = 10;        // sheets of the copybook (sheets mode)
  PlanKind kind = PlanKind::A4;
};

struct ImpositionPlan {
  PlanKind kind = PlanKind::A4;
  int first = 1;
  int last = 0;
  int forms = 0;                          // F
  std::vector<std::array<int, 2>> formPages;  // per form: slot 0 (lower A5), slot 1 (upper A5)
  std::vector<std::string> names;         // per page image
  // An A3 one-fold plan whose form count is not a multiple of 4: its last two A4 page
  // images must be cut into A5 by hand.
  bool oneFoldWarning = false;
  std::string error;  // a refused input, in Russian; empty when the plan is made

  // Forms per page image: 1 in the A4 plan, 2 in the A3 plans.
  int formsPerImage() const { return kind == PlanKind::A4 ? 1 : 2; }
  // The page image that form f belongs to.
  int imageOfForm(int f) const { return f / formsPerImage(); }
};

// The largest plan made (forms); larger inputs are refused with a message.
inline constexpr int kMaxPlanForms = 2000;

inline constexpr const char* kOneFoldWarning =
    "В этом режиме при нечётном числе форм A3 последние 2 A4 надо делить на A5";

// Computes first, last and F by the page count rules and fills the plan. The first page is
// always odd (an even first is reduced by 1, one below 1 becomes 1). F is kept even: a half
// sheet in sheets mode is planned as a whole one, so that no page is left off the plan.
ImpositionPlan makePlan(const PlanInput& in);

// Source scan names of page n: prefix + n + ".bmp", and the two-page scan
// prefix + m + "-" + (m + 1) + ".bmp" with m the odd page of the pair.
std::string singlePageScanName(const std::string& prefix, int page);
std::string twoPageScanName(const std::string& prefix, int page);

// The numbering label beside the numbering field: ".bmp ++", or with "2 номера"
// "-" + (number + 1) + ".bmp ++".
std::string numberingLabel(bool twoNumbers, double number);

}  // namespace quillaro
