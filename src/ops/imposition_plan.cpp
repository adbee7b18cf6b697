#include "ops/imposition_plan.h"

#include <cmath>

namespace quillaro {
namespace {

std::string num(int n) { return std::to_string(n); }

void planA4(ImpositionPlan& p) {
  int hi = p.last, lo = p.first;
  for (int f = 0; f < p.forms; f += 2, hi -= 2, lo += 2) {
    p.formPages.push_back({hi, lo});
    p.names.push_back(num(hi) + "+" + num(lo) + ".bmp");
    p.formPages.push_back({lo + 1, hi - 1});
    p.names.push_back(num(lo + 1) + "+" + num(hi - 1) + ".bmp");
  }
}

void planOneFold(ImpositionPlan& p) {
  p.oneFoldWarning = p.forms % 4 != 0;
  int a = p.first + p.forms - 1, b = p.first, c = p.last, d = p.first + p.forms;
  for (int s = 0; s < p.forms / 2; ++s) {
    p.formPages.push_back({a, b});
    p.formPages.push_back({c, d});
    p.names.push_back(num(a) + "+" + num(b) + "-" + num(c) + "+" + num(d) + ".bmp");
    const int e = s % 2 == 0 ? 1 : -1;
    const int na = b + e, nb = a - e, nc = d + e, nd = c - e;
    a = na, b = nb, c = nc, d = nd;
  }
}

void planTwoFolds(ImpositionPlan& p) {
  int hi = p.last, b = p.first;
  for (int s = 0; 2 * s < p.forms; ++s) {
    int c, d;
    if (s % 2 == 0) {
      const bool lastEvenPair = s + 1 == p.forms / 2;
      c = lastEvenPair ? b + 1 : b + 3;
      d = lastEvenPair ? hi - 1 : hi - 3;
    } else {
      c = b - 1;
      d = hi + 1;
    }
    p.formPages.push_back({hi, b});
    p.formPages.push_back({c, d});
    p.names.push_back(num(hi) + "+" + num(b) + "=" + num(c) + "+" + num(d) + ".bmp");
    b = d + 2;
    hi = c - 2;
  }
}

}  // namespace

ImpositionPlan makePlan(const PlanInput& in) {
  ImpositionPlan p;
  p.kind = in.kind;
  if (!std::isfinite(in.first) || !std::isfinite(in.last) || !std::isfinite(in.sheets) ||
      std::fabs(in.first) > 1e6 || std::fabs(in.last) > 1e6 || std::fabs(in.sheets) > 1e6) {
    p.error = "Неправильный номер страницы или число листов.";
    return p;
  }
  int first = static_cast<int>(std::lround(in.first));
  if (first < 1) first = 1;
  if (first % 2 == 0) --first;
  long long forms = 0;
  if (in.sheetsMode) {
    forms = std::llround(2 * in.sheets);
    if (forms % 2 != 0) ++forms;
  } else {
    long long last = std::llround(in.last);
    if (last % 2 != 0) ++last;
    if ((last - first + 1) % 4 != 0) last += 2;
    forms = (last - first + 1) / 2;
  }
  if (forms < 2) {
    p.error = in.sheetsMode ? "Число листов в тетради должно быть больше 0."
                            : "Последняя страница должна быть больше первой.";
    return p;
  }
  if (forms > kMaxPlanForms) {
    p.error = "Слишком много страниц: не больше " + std::to_string(2 * kMaxPlanForms) + ".";
    return p;
  }
  p.first = first;
  p.forms = static_cast<int>(forms);
  p.last = 2 * p.forms + first - 1;
  switch (in.kind) {
    case PlanKind::A4: planA4(p); break;
    case PlanKind::A3OneFold: planOneFold(p); break;
    case PlanKind::A3TwoFolds: planTwoFolds(p); break;
  }
  return p;
}

std::string singlePageScanName(const std::string& prefix, int page) {
  return prefix + std::to_string(page) + ".bmp";
}

std::string twoPageScanName(const std::string& prefix, int page) {
  const int m = page % 2 != 0 ? page : page - 1;
  return prefix + std::to_string(m) + "-" + std::to_string(m + 1) + ".bmp";
}

std::string numberingLabel(bool twoNumbers, double number) {
  if (!twoNumbers) return ".bmp ++";
  const long long n = std::isfinite(number) ? std::llround(number) : 0;
  return "-" + std::to_string(n + 1) + ".bmp ++";
}

}  // namespace quillaro
