# Kestrel's two front doors: `make run` and `make test`.
# Both install what is missing (scripts/bootstrap), configure with CMake and build with Ninja.

BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_ARGS ?=
JOBS       ?= 2

.PHONY: all run test build bootstrap test-unit test-asan format format-check clean bench \
        lint fuzz fuzz-build fuzz-smoke package test-package windows test-windows

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja: | bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run $(BUILD)

# The whole suite, the Debian packages made from the same build and checked, then the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer in a separate build folder,
# and the Windows programs' suites under Wine.
test: bootstrap format-check lint test-unit test-package test-asan test-windows fuzz-smoke

test-unit: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The Debian packages kestrel and kestrel-cli, made by CPack from the build in $(BUILD) (its
# debugging information stripped) into $(BUILD)/packages.
package: build
	rm -f $(BUILD)/packages/*.deb
	cd $(BUILD) && cpack

# The packages checked with lintian and the desktop's validators, then unpacked into a scratch
# root, where the programs run and must find their data (see the script).
test-package: package
	tests/packaging/check_packages.py $(BUILD)

test-asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The Windows programs, cross-built with MinGW-w64 in their own build folder and packed into
# dist/kestrel-VERSION-windows-x64.zip; test-windows runs their tests under Wine (one Wine
# prefix inside the build folder, made on first use), among them the comparisons with the
# Linux programs of $(BUILD).
WINDOWS_BUILD ?= build-windows

windows: bootstrap
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DKESTREL_LINUX_BUILD=$(abspath $(BUILD)) $(CMAKE_ARGS)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

test-windows: windows build
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# Release build, GDAL-made data in a scratch folder, whole-process comparisons with hyperfine
# and the micro-benchmarks; prints a Markdown table (see docs/benchmarks.md).
bench: bootstrap
	@nice bench/run

FORMATTED = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

format:
	clang-format -i $(FORMATTED)

format-check: bootstrap
	@clang-format --dry-run --Werror $(FORMATTED)

# Static checks of the program's own code; findings fail the build. clang-tidy reads the
# build's compile database and the files the build generates, so the build comes first.
lint: build
	@BUILD=$(BUILD) JOBS=$(JOBS) scripts/lint

# The fuzz targets, in their own clang build. `make fuzz FUZZ_SECONDS=900` runs each target
# for that long ($(JOBS) at a time); `make test` runs each briefly so they keep building and
# running.
FUZZ_BUILD         ?= build-fuzz
FUZZ_SECONDS       ?= 900
FUZZ_SMOKE_SECONDS ?= 30

fuzz-build: bootstrap
	CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

fuzz-smoke: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SMOKE_SECONDS) $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) dist
