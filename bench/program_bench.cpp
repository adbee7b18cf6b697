// Reading a program line by line as the runner does, over 1, 4 and 16 MB of text lines
// whose text blocks are never closed: the time per megabyte stays the same when reading is
// linear in the size of the program.
#include <benchmark/benchmark.h>

#include <string>

#include "automation/runner.h"
#include "base/fields.h"

namespace quillaro {
namespace {

void BM_ProgramLinesOfUnclosedTexts(benchmark::State& state) {
  const std::size_t megabytes = static_cast<std::size_t>(state.range(0));
  std::string program;
  while (program.size() < megabytes * 1048576) program += "X, 1, 2, 3, 4, <TEXT>abc\r\nOver\r\n";
  const std::string upper = upperUtf8(program);
  const std::size_t lastClose = upper.rfind("</TEXT>");
  for (auto _ : state) {
    std::size_t lines = 0;
    for (std::size_t at = 0; at < program.size(); ++lines)
      at = nextProgramLine(program, upper, at, lastClose).next;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * program.size()));
}
BENCHMARK(BM_ProgramLinesOfUnclosedTexts)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillaro
