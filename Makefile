# A thin front to CMake's presets: set-up, build, run and test in one word each.
# Everything here can also be done with `cmake --preset dev` and friends.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run run-tester test build setup asan-test fuzz bench format clean

run: build
	@scripts/run-gui.sh build/bin/quillon $(ARGS)

run-tester: build
	@scripts/run-gui.sh build/bin/probator $(ARGS)

test: build
	ctest --preset dev -j $(JOBS)

build: setup
	@[ -f build/CMakeCache.txt ] || cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

setup:
	@scripts/setup.sh

asan-test: setup
	@[ -f build/asan/CMakeCache.txt ] || cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

fuzz: setup
	@[ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	scripts/run-fuzzers.sh build/fuzz/bin $(or $(FUZZ_SECONDS),20)

bench: setup
	@[ -f build/release/CMakeCache.txt ] || cmake --preset release
	cmake --build --preset release -j $(JOBS)
	scripts/run-benchmarks.sh build/release/bin

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
