#pragma once
// Entry points of the fuzz targets. Each takes one input and returns 0; a fault shows as a
// sanitizer report or an abort. The libFuzzer build wraps each in LLVMFuzzerTestOneInput;
// the replay test feeds the corpus files to the same functions in the normal build.
#include <cstddef>
#include <cstdint>

namespace quillaro::fuzz {

// Bitmap reader in every mode, then the whole opening with options from the first byte.
int bitmapAndOpening(const std::uint8_t* data, std::size_t size);
// Settings text read, written and read again: the second writing equals the first.
int settingsRoundTrip(const std::uint8_t* data, std::size_t size);
// An action program run by the runner over the real operations in a temporary folder.
int actionRunner(const std::uint8_t* data, std::size_t size);
// Windows-1251 codec, number reader and writer, comma fields and key values.
int textAndNumbers(const std::uint8_t* data, std::size_t size);
// Copy record applied, written, applied again: the second record equals the first.
int copyRecord(const std::uint8_t* data, std::size_t size);

// Ends the process with the message when a property fails (a finding).
[[noreturn]] void fail(const char* what);
// A folder of its own for this process (made on first use), the current folder.
const char* scratchFolder();

}  // namespace quillaro::fuzz

#ifdef QUILLARO_LIBFUZZER
#define QUILLARO_FUZZ_ENTRY(fn)                                                        \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    return quillaro::fuzz::fn(data, size);                                             \
  }
#else
#define QUILLARO_FUZZ_ENTRY(fn)
#endif
