// Decoding a UTF-8 text file and replacing all matches in texts of 100 KB to 1.6 MB, next to
// the plain Windows-1251 reading of the same bytes: the cost grows with the size, not faster.
#include <benchmark/benchmark.h>

#include <string>

#include "base/text_codec.h"
#include "base/text_decode.h"
#include "ops/find_replace.h"

namespace quillaro {
namespace {

std::string russianText(std::size_t bytes) {
  const std::string line = "Мама мыла раму, a Вася читал книгу\xC2\xADи писал в тетради.\r\n";
  std::string out;
  while (out.size() < bytes) out += line;
  return out;
}

void setBytes(benchmark::State& state, std::size_t perIteration) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(perIteration));
}

void BM_DecodeUtf8File(benchmark::State& state) {
  const std::string bytes = "\xEF\xBB\xBF" + russianText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(decodeTextFile(bytes, "a.txt", {}));
  setBytes(state, bytes.size());
}

void BM_ReadCp1251File(benchmark::State& state) {
  const std::string bytes = utf8ToCp1251(russianText(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(cp1251ToUtf8(bytes));
  setBytes(state, bytes.size());
}

void BM_ReplaceAllAnyCase(benchmark::State& state) {
  const std::string text = russianText(static_cast<std::size_t>(state.range(0)));
  const ReplaceSet set{"РАМУ", "окно", ""};
  for (auto _ : state) {
    std::string t = text;
    benchmark::DoNotOptimize(replaceAllMatches(t, set, true));
  }
  setBytes(state, text.size());
}

BENCHMARK(BM_DecodeUtf8File)->RangeMultiplier(4)->Range(100 << 10, 1600 << 10);
BENCHMARK(BM_ReadCp1251File)->RangeMultiplier(4)->Range(100 << 10, 1600 << 10);
BENCHMARK(BM_ReplaceAllAnyCase)->RangeMultiplier(4)->Range(100 << 10, 1600 << 10);

}  // namespace
}  // namespace quillaro
