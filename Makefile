# make run   - install what is missing, build, open the editor on an example
# make test  - install what is missing, build (normal and sanitized), run every test;
#              a test that skips fails the run
# make bench - build and run the benchmarks
# make fuzz  - run every fuzz target for FUZZ_SECONDS (default 120)

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 120
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/diagram.tex

.PHONY: all deps build build-asan build-fuzz run test bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXILO_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD)

$(FUZZ_BUILD)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVEXILO_FUZZ=ON -DVEXILO_TESTS=OFF -DVEXILO_BENCH=OFF

build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD)

run: build
	@scripts/run-editor $(BUILD)/vexilo $(EXAMPLE)

# A skipped test fails the run (tests/run-ctest names it).
test: build build-asan build-fuzz
	tests/run-ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 300
	tests/run-ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) --timeout 600
	cmake -S . -B $(FUZZ_BUILD) -DVEXILO_FUZZ_SECONDS=7 -DVEXILO_FUZZ_SEED=1 >/dev/null
	tests/run-ctest --test-dir $(FUZZ_BUILD) --output-on-failure --timeout 120

# Runs each fuzz target for FUZZ_SECONDS, keeping what it finds in the
# build's work corpus.
fuzz: build-fuzz
	cmake -S . -B $(FUZZ_BUILD) -DVEXILO_FUZZ_SECONDS=$(FUZZ_SECONDS) -DVEXILO_FUZZ_SEED=0 >/dev/null
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure -V --timeout $$(( $(FUZZ_SECONDS) + 120 ))

bench: build
	@scripts/install-deps bench
	@bench/report $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
