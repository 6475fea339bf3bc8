# The two commands a newcomer needs: `make run` and `make test`. Everything else is below them.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test test-win test-asan fuzz bench install package package-win screenshots format clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-panel.sh $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 60
	@JOBS=$(JOBS) scripts/run-win-tests.sh $(BUILD_DIR)
	@scripts/run-fuzz.sh 5

# The Windows build alone: the programs cross-built with MinGW-w64 (against Qt for Windows, built once per
# machine), their tests and the installer, run under Wine.
test-win: build
	@JOBS=$(JOBS) scripts/run-win-tests.sh $(BUILD_DIR)

# The whole suite once more, built with the address and undefined-behaviour sanitizers.
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) --timeout 120

# Every fuzz target for FUZZ_SECONDS seconds (clang's libFuzzer, with the address and UB sanitizers).
fuzz: deps
	scripts/run-fuzz.sh $(FUZZ_SECONDS)

# The micro-benchmarks, then the whole program's figures.
bench: build
	scripts/run-bench.sh
	scripts/measure-panel.sh $(BUILD_DIR)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/varno-server_*.deb

# The Windows installer, build-win/VarnoServer-<version>-setup.exe (NSIS).
package-win: build
	@JOBS=$(JOBS) scripts/package-win.sh $(BUILD_DIR) build-win

# A picture of every page and window on the demo profile, for the README.
screenshots: build
	@scripts/take-screenshots.sh $(BUILD_DIR) docs/screenshots

format:
	find src tests tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-win build-fuzz build-bench build-asan
