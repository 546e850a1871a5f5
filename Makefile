# Front door: `make run` builds and starts the program, `make test` builds and
# runs every test; each installs missing Debian packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-native bench clean

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

test: test-native

bench: build
	scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) build-win32 build-win64
