# make run   - install what is missing, build, open the editor on an example
# make test  - install what is missing, build (normal and sanitized), run every test
# make bench - build and run the benchmarks

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/diagram.tex

.PHONY: all deps build build-asan run test bench clean

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

run: build
	@scripts/run-editor $(BUILD)/vexilo $(EXAMPLE)

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 300
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) --timeout 600

bench: build
	@bench/report $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
