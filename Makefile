# Quillaro: `make run` starts the editor, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench package clean

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

bench: build
	scripts/install-deps --bench
	$(BUILD)/quillaro_bench --benchmark_min_time=0.5

clean:
	rm -rf $(BUILD)
