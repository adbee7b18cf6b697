// Every file of each fuzz target's corpus (seeds and the inputs of past findings) fed to the
// target's entry function, built without libFuzzer: a finding that comes back fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace quillaro::fuzz {
namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;  // folder of fuzz/corpus
  int (*entry)(const std::uint8_t*, std::size_t);
};

const Target kTargets[] = {
    {"bitmap", bitmapAndOpening}, {"settings", settingsRoundTrip}, {"runner", actionRunner},
    {"text", textAndNumbers},     {"copy_record", copyRecord},
};

class Replay : public ::testing::TestWithParam<Target> {};

TEST_P(Replay, EveryCorpusFileRunsCleanly) {
  const fs::path folder = fs::path(QUILLARO_FUZZ_CORPUS) / GetParam().name;
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << folder;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(GetParam().entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Replay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillaro::fuzz
