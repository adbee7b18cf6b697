# Quillaro: `make run` starts the editor, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test test-asan deps-fuzz fuzz-build fuzz-ci bench package clean

deps:
	@echo "make: checking the system packages (scripts/install-deps)"
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Only what the window needs: the editor and the sample-scan tool that makes its first page.
run: deps
	@[ -f $(BUILD)/build.ninja ] || { echo "make run: configuring the build in $(BUILD)/"; \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null; }
	@echo "make run: building the editor (quillaro, samplescan; tests and benchmarks are left for make test)"
	@cmake --build $(BUILD) -j $(JOBS) --target quillaro samplescan
	@echo "make run: starting the editor"
	@scripts/run-editor $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD) --target package

# The whole suite once more with AddressSanitizer and UBSan, in a build folder of its own.
# The CUPS print and the Xvfb screenshot are left to `make test` (the window's Qt tests run
# here offscreen). The tests of the pixel kernels' users run again at each lower vector
# level (the kernel tests themselves go through every supported level in one run).
ASAN_BUILD ?= build-asan
ASAN_SKIP := quillaro_cups_pdf|quillaro_ui_screenshot|quillaro_package
SIMD_TESTS := Opening|AdjustOps|Copy|ToOneBit|Tone|Mask|DenseThin|LineWidth|Turn|GreyReduction|ColourRow|DarkRelWhite|SimdLevels
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLARO_SANITIZE=ON -DQUILLARO_BENCH=OFF

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -E '$(ASAN_SKIP)'
	for level in scalar avx2; do \
	  (cd $(ASAN_BUILD) && QUILLARO_SIMD_LEVEL=$$level $(SANITIZER_ENV) \
	    ctest --output-on-failure -j $(JOBS) -R '$(SIMD_TESTS)' -E '$(ASAN_SKIP)') || exit 1; \
	done

# The libFuzzer targets (clang, AddressSanitizer and UBSan) in a build folder of their own;
# `make fuzz-ci` runs each for FUZZ_SECONDS over a copy of its corpus.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

deps-fuzz: deps
	@scripts/install-deps fuzz

$(FUZZ_BUILD)/build.ninja: | deps-fuzz
	CXX=clang++ CC=clang cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLARO_FUZZ=ON -DQUILLARO_GUI=OFF -DQUILLARO_TESTS=OFF -DQUILLARO_BENCH=OFF

fuzz-build: deps-fuzz $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) --target quillaro_fuzzers -j $(JOBS)

fuzz-ci: fuzz-build
	scripts/fuzz-run $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	scripts/install-deps --bench
	$(BUILD)/quillaro_bench --benchmark_min_time=0.5

clean:
	rm -rf $(BUILD)
