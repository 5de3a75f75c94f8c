# A thin front to CMake's presets: set-up, build, run and test in one word each.
# Everything here can also be done with `cmake --preset dev` and friends.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run run-tester test build setup asan-test windows-test fuzz bench package package-check format clean

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

# The plain C++ layers cross-built for Windows, their suites run under Wine.
windows-test: setup
	@[ -f build/windows/CMakeCache.txt ] || cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	scripts/windows-test.sh

fuzz: setup
	@[ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	scripts/run-fuzzers.sh build/fuzz/bin $(or $(FUZZ_SECONDS),20)

bench: setup
	@[ -f build/release/CMakeCache.txt ] || cmake --preset release
	cmake --build --preset release -j $(JOBS)
	scripts/run-benchmarks.sh build/release/bin

# A Debian package of the three programs, in build/package/.
package: setup
	@[ -f build/package/CMakeCache.txt ] || cmake --preset package
	cmake --build --preset package -j $(JOBS) --target package

# The package through lintian and the desktop validators, as CI runs them.
package-check: package
	scripts/check-package.sh build/package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
