# Front door: `make run` builds and starts the program, `make test` builds and
# runs every test; each installs missing Debian packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-native bench clean deps-windows windows test-windows check deps-fuzz fuzz

# The Windows build: cross-compiled with mingw-w64, 32-bit and 64-bit, tests run
# under Wine (scripts/wine-run).
WIN_BUILDS = build-win32 build-win64
WIN_CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

all: build

deps:
	scripts/install-deps qt

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/ui/qt/portwright

test-native: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Native tests first, then the same suites under Wine.
test:
	$(MAKE) test-native
	$(MAKE) test-windows

deps-windows:
	scripts/install-deps windows

build-win32/CMakeCache.txt:
	cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake $(WIN_CMAKE_FLAGS)

build-win64/CMakeCache.txt:
	cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake $(WIN_CMAKE_FLAGS)

windows: deps-windows $(addsuffix /CMakeCache.txt,$(WIN_BUILDS))
	cmake --build build-win32 -j$(JOBS)
	cmake --build build-win64 -j$(JOBS)

# The 32-bit runs go natively where the kernel runs 32-bit x86 code, else
# through qemu-i386 (scripts/wine32-route); the first line says which.
test-windows: windows
	@status=0; \
	for dir in $(WIN_BUILDS); do \
	  echo "== Wine tests in $$dir"; \
	  [ $$dir != build-win32 ] || scripts/wine32-route describe || status=1; \
	  (cd $$dir && ctest --output-on-failure -j$(JOBS)) || status=1; \
	done; \
	exit $$status

# The native suites again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# the first fault fails its test.
CHECK_BUILD ?= build-check
CHECK_ENV = QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

$(CHECK_BUILD)/CMakeCache.txt:
	cmake -S . -B $(CHECK_BUILD) $(CMAKE_FLAGS) -DPORTWRIGHT_SANITIZE=ON -DPORTWRIGHT_BENCH=OFF

check: deps $(CHECK_BUILD)/CMakeCache.txt
	cmake --build $(CHECK_BUILD) -j$(JOBS)
	cd $(CHECK_BUILD) && $(CHECK_ENV) ctest --output-on-failure -j$(JOBS)

# libFuzzer targets of tests/fuzz (clang), each run FUZZ_SECONDS from its corpus.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30

deps-fuzz:
	scripts/install-deps fuzz

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DPORTWRIGHT_FUZZ=ON -DPORTWRIGHT_QT=OFF -DPORTWRIGHT_BENCH=OFF

fuzz: deps-fuzz $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j$(JOBS)
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) build-win32 build-win64 $(CHECK_BUILD) $(FUZZ_BUILD)

# Delivery: dist/portwright-<version>-windows.zip and the Debian package
# dist/portwright_<version>_amd64.deb (scripts/make-dist). test-dist checks
# both, and installs, starts and removes the package: it needs root and apt,
# so it is not part of `make test`.
.PHONY: dist test-dist
dist: build windows
	scripts/install-deps dist
	scripts/make-dist $(BUILD)

test-dist: dist
	scripts/test-dist $(BUILD)
