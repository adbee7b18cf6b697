#include "ops/imposition_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace quillaro {
namespace {

using Forms = std::vector<std::array<int, 2>>;

std::string s(int n) { return std::to_string(n); }

// The forms that are printed on the two sides of one leaf: (front, back).
std::vector<std::pair<int, int>> leafPairs(const ImpositionPlan& p) {
  std::vector<std::pair<int, int>> out;
  if (p.kind == PlanKind::A4) {
    for (int f = 0; f + 1 < p.forms; f += 2) out.push_back({f, f + 1});
    return out;
  }
  // A3: two sheet sides of four forms; a last lone side of two forms is one A4 sheet.
  int f = 0;
  for (; f + 3 < p.forms; f += 4) out.insert(out.end(), {{f, f + 2}, {f + 1, f + 3}});
  if (f + 1 < p.forms && p.kind == PlanKind::A3TwoFolds) out.push_back({f, f + 1});
  return out;
}

// Checks every property of a plan: the pages first..last each exactly once; both pages of a
// side lie on either side of the spine of their booklet (they add up to its first + last);
// the slot under a page on the back of the leaf holds its neighbour (odd p and p + 1);
// names written from the formPages.
void checkPlan(const ImpositionPlan& p, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(p.error.empty()) << p.error;
  ASSERT_EQ(static_cast<int>(p.formPages.size()), p.forms);
  ASSERT_EQ(p.last - p.first + 1, 2 * p.forms);
  EXPECT_EQ((p.last - p.first + 1) % 4, 0);
  std::multiset<int> pages;
  for (const auto& f : p.formPages) pages.insert({f[0], f[1]});
  for (int n = p.first; n <= p.last; ++n) EXPECT_EQ(pages.count(n), 1u) << "page " << n;
  EXPECT_EQ(pages.size(), static_cast<std::size_t>(2 * p.forms));

  const int half = p.first + p.forms - 1;  // the one-fold plan's first booklet ends here
  for (int f = 0; f < p.forms; ++f) {
    const auto& x = p.formPages[static_cast<std::size_t>(f)];
    int spine = p.first + p.last;
    if (p.kind == PlanKind::A3OneFold) spine = x[0] <= half ? p.first + half : half + 1 + p.last;
    EXPECT_EQ(x[0] + x[1], spine) << "form " << f;
  }
  const bool cutByHand = p.kind == PlanKind::A3OneFold && p.oneFoldWarning;
  for (const auto& [front, back] : leafPairs(p)) {
    if (cutByHand && back >= p.forms - 2) continue;
    const auto& a = p.formPages[static_cast<std::size_t>(front)];
    const auto& b = p.formPages[static_cast<std::size_t>(back)];
    for (const auto& [u, v] : {std::pair{a[1], b[0]}, std::pair{a[0], b[1]}}) {
      const int lo = std::min(u, v);
      EXPECT_EQ(std::max(u, v), lo + 1) << "forms " << front << ", " << back;
      EXPECT_EQ((lo - p.first) % 2, 0) << "forms " << front << ", " << back;
    }
  }

  ASSERT_EQ(static_cast<int>(p.names.size()), p.forms / p.formsPerImage());
  for (std::size_t i = 0; i < p.names.size(); ++i) {
    const auto& a = p.formPages[i * static_cast<std::size_t>(p.formsPerImage())];
    std::string want = s(a[0]) + "+" + s(a[1]);
    if (p.kind != PlanKind::A4) {
      const auto& b = p.formPages[i * 2 + 1];
      want += (p.kind == PlanKind::A3OneFold ? "-" : "=") + s(b[0]) + "+" + s(b[1]);
    }
    EXPECT_EQ(p.names[i], want + ".bmp");
  }
  EXPECT_EQ(p.oneFoldWarning, p.kind == PlanKind::A3OneFold && p.forms % 4 != 0);
}

TEST(ImpositionPlan, EveryPageCountInBothModesAndAllPlans) {
  for (PlanKind kind : {PlanKind::A4, PlanKind::A3OneFold, PlanKind::A3TwoFolds}) {
    for (int first : {1, 2, 5}) {
      for (int count = 4; count <= 64; ++count) {
        PlanInput range{double(first), double(first + count - 1), false, 0, kind};
        const ImpositionPlan p = makePlan(range);
        checkPlan(p, "range " + s(first) + ".." + s(first + count - 1) + " kind " + s(int(kind)));
        EXPECT_GE(p.last, first + count - 1);
        EXPECT_LT(p.last - (first + count - 1), 4);
      }
      for (int sheets = 1; sheets <= 16; ++sheets) {
        const ImpositionPlan p = makePlan({double(first), 0, true, double(sheets), kind});
        checkPlan(p, "sheets " + s(sheets) + " kind " + s(int(kind)));
        EXPECT_EQ(p.forms, 2 * sheets);
        EXPECT_EQ(p.last - p.first + 1, 4 * sheets);
      }
    }
  }
}

TEST(ImpositionPlan, WorkedExamplesAndEdges) {
  const ImpositionPlan a4 = makePlan({1, 16, false, 0, PlanKind::A4});
  EXPECT_EQ(a4.formPages, (Forms{{16, 1}, {2, 15}, {14, 3}, {4, 13}, {12, 5}, {6, 11}, {10, 7}, {8, 9}}));
  EXPECT_EQ(a4.names[0], "16+1.bmp");
  EXPECT_EQ(a4.names[1], "2+15.bmp");
  const ImpositionPlan one = makePlan({1, 16, false, 0, PlanKind::A3OneFold});
  EXPECT_EQ(one.names, (std::vector<std::string>{"8+1-16+9.bmp", "2+7-10+15.bmp", "6+3-14+11.bmp",
                                                 "4+5-12+13.bmp"}));
  EXPECT_FALSE(one.oneFoldWarning);
  const ImpositionPlan two = makePlan({1, 16, false, 0, PlanKind::A3TwoFolds});
  EXPECT_EQ(two.names, (std::vector<std::string>{"16+1=4+13.bmp", "2+15=14+3.bmp", "12+5=8+9.bmp",
                                                 "6+11=10+7.bmp"}));
  // First page 2 is 1; 1-38 becomes 1-40; 3 sheets are 12 pages in 6 forms.
  EXPECT_EQ(makePlan({2, 16, false, 0, PlanKind::A4}).formPages, a4.formPages);
  EXPECT_EQ(makePlan({1, 38, false, 0, PlanKind::A4}).last, 40);
  const ImpositionPlan three = makePlan({1, 0, true, 3, PlanKind::A4});
  EXPECT_EQ(three.forms, 6);
  EXPECT_EQ(three.last, 12);
  // F = 6 in two folds: the last even pair steps by 1.
  EXPECT_EQ(makePlan({1, 12, false, 0, PlanKind::A3TwoFolds}).formPages,
            (Forms{{12, 1}, {4, 9}, {2, 11}, {10, 3}, {8, 5}, {6, 7}}));
  EXPECT_TRUE(makePlan({1, 12, false, 0, PlanKind::A3OneFold}).oneFoldWarning);
  // A half sheet is planned whole.
  EXPECT_EQ(makePlan({1, 0, true, 2.5, PlanKind::A3OneFold}).forms, 6);
}

TEST(ImpositionPlan, BadInputIsRefusedWithAMessage) {
  for (const PlanInput& in : {PlanInput{5, 2, false, 0, PlanKind::A4}, PlanInput{1, 0, true, 0, PlanKind::A4},
                              PlanInput{1, 0, true, -3, PlanKind::A3TwoFolds},
                              PlanInput{1, 1e9, false, 0, PlanKind::A4},
                              PlanInput{1, 100000, false, 0, PlanKind::A4},
                              PlanInput{std::nan(""), 4, false, 0, PlanKind::A4}}) {
    const ImpositionPlan p = makePlan(in);
    EXPECT_FALSE(p.error.empty());
    EXPECT_TRUE(p.formPages.empty());
  }
}

TEST(ImpositionPlan, ScanNamesAndNumberingLabel) {
  EXPECT_EQ(singlePageScanName("scan", 7), "scan7.bmp");
  EXPECT_EQ(twoPageScanName("scan", 7), "scan7-8.bmp");
  EXPECT_EQ(twoPageScanName("scan", 8), "scan7-8.bmp");
  EXPECT_EQ(numberingLabel(false, 5), ".bmp ++");
  EXPECT_EQ(numberingLabel(true, 5), "-6.bmp ++");
}

}  // namespace
}  // namespace quillaro
