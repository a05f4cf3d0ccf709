# Convenience entry points; the real build is CMake.
BUILD ?= build
EXAMPLE ?= examples/blink.bas
# Extra CMake options for `make test`, e.g. -DVENNIK_BUILD_FUZZ=ON (.ci/run).
TEST_OPTIONS ?=
# The Windows build of the command-line tool, and where PCRE2 is built for it.
WINDOWS_BUILD ?= build-windows
WINDOWS_DEPS ?= $(WINDOWS_BUILD)/deps
WINDOWS_ZIP ?= dist/vennikplus-cli-windows-x86_64.zip

.PHONY: deps test-deps windows-deps run test bench windows test-windows clean

deps:
	./scripts/install-deps.sh

test-deps:
	./scripts/install-deps.sh --tests

windows-deps:
	./scripts/install-deps.sh --windows

# `make run` builds the two programs only. A build folder made by it has the
# tests switched off; `make test` switches them on in the same folder.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_TESTS=OFF -DVENNIK_BUILD_BENCH=OFF

# The desktop program on the example when there is a display; otherwise the
# same report from the command-line tool.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target vennikplus vennikplus-cli
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/src/desktop/qt/vennikplus $(EXAMPLE); \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): printing the report with vennikplus-cli instead."; \
	  $(BUILD)/src/cli/vennikplus-cli report $(EXAMPLE); \
	fi

test: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_TESTS=ON -DVENNIK_BUILD_BENCH=ON $(TEST_OPTIONS)
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure -j$$(nproc)

bench: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_BENCH=ON
	cmake --build $(BUILD) --target vennikplus-bench vennikplus-lsp-bench
	$(BUILD)/bench/vennikplus-bench

# The command-line tool for 64-bit Windows, cross-built with mingw-w64, and
# its zip. The desktop program is Linux-only.
windows: windows-deps
	./scripts/windows-deps.sh $(WINDOWS_DEPS)
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/windows-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVENNIK_WINDOWS_DEPS=$(abspath $(WINDOWS_DEPS)) -DVENNIK_HOST_BUILD=$(abspath $(BUILD))
	cmake --build $(WINDOWS_BUILD) --target vennikplus-cli
	./scripts/windows-zip.sh $(WINDOWS_BUILD)/src/cli/vennikplus-cli.exe $(WINDOWS_ZIP)

# Its tests under wine. They compare it with the Linux build's tool and run
# the Linux build's transfer tests on it, so those two are built first.
test-windows: windows test-deps
	cmake -S . -B $(BUILD) -G Ninja -DVENNIK_BUILD_TESTS=ON -DVENNIK_BUILD_BENCH=ON $(TEST_OPTIONS)
	cmake --build $(BUILD) --target vennikplus-cli vennik_board_tests
	cmake --build $(WINDOWS_BUILD)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j$$(nproc)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) dist
