# The two commands a newcomer needs: `make run` and `make test`. Everything else is below them.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: all deps configure build run test test-win install package screenshots format clean

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
	@JOBS=$(JOBS) scripts/run-win-tests.sh

# The Windows layer alone: cross-built with MinGW-w64 and run under Wine.
test-win:
	@JOBS=$(JOBS) scripts/run-win-tests.sh

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/varno-server_*.deb

# A picture of every page and window on the demo profile, for the README.
screenshots: build
	@scripts/take-screenshots.sh $(BUILD_DIR) docs/screenshots

format:
	find src tests tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-win
